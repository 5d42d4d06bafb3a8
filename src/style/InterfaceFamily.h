#pragma once

#include <QFuture>
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

// The same in two steps, so that fontconfig's first load (its configuration
// and caches, some milliseconds) runs beside the launch's other work rather
// than before the rail's first frame, which draws no text: the family is
// looked up on a worker as soon as the application exists, and taken by the
// application font on the main thread before any text is laid out.
QFuture<QString> lookUpInterfaceFamily();
void settleInterfaceFamily(QFuture<QString> lookUp);

} // namespace kolu
