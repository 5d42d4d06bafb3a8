#pragma once

#include <QString>

#include <functional>

namespace kolu {

// How wide a piece of text is drawn, in pixels.
using TextWidth = std::function<qreal(const QString &)>;

// `path` fitted into `width`: whole when it fits, else its middle replaced by
// "…" so that its start and its last folder or file name stay readable. The
// last name is only cut when "…/name" alone does not fit: then the whole path
// is cut in its middle, keeping its start and the end of that name.
QString elidePathMiddle(const QString &path, qreal width, const TextWidth &measure);

} // namespace kolu
