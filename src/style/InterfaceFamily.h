#pragma once

#include <QString>

namespace kolu {

// The family fontconfig picks for `family` in a text of `language` (an
// RFC 3066 tag such as "en"): a generic name ("Sans Serif") becomes the
// installed family it stands for, a real family stays itself. Empty when
// fontconfig finds nothing.
QString fontFamilyFor(const QString &family, const QByteArray &language);

// A generic interface family resolves by the locale's language, so under an
// Arabic locale the whole interface moved to a wider face, and labels sized
// for the usual one were cut. The application font takes the family the
// desktop's generic name stands for in English, as in every other locale;
// the glyphs that family lacks still come from Qt's per-script fallback.
void settleInterfaceFamily();

} // namespace kolu
