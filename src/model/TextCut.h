#pragma once

#include <QString>
#include <QStringView>

namespace kolu {

// Where to cut `text` to keep at most `maxUnits` UTF-16 units without
// splitting what a reader sees as one character: a letter and its combining
// marks, a flag's two halves, an emoji joined from several. The end of the
// last whole character that fits; when even the first does not fit, the end
// of the last whole code point that does. `text.size()` when it fits whole.
qsizetype wholeCharacterCut(QStringView text, qsizetype maxUnits);

// `text` cut so, in place.
void cutWhole(QString &text, qsizetype maxUnits);

} // namespace kolu
