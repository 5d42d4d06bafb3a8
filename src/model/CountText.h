#pragma once

#include <QString>

namespace kolu {

// A count with its noun: "1 link", "0 links", "2 links". Exactly one takes
// the singular.
QString countText(qint64 count, const QString &singular, const QString &plural);

} // namespace kolu
