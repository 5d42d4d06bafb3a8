#include "model/TextCut.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace kolu {

qsizetype wholeCharacterCut(QStringView text, qsizetype maxUnits)
{
    if (text.size() <= maxUnits)
        return text.size();
    if (maxUnits <= 0)
        return 0;
    // Whether a boundary falls at `maxUnits` depends on what follows it: the
    // whole code point there is looked at, nothing further, so that a long
    // text costs no more than its kept part.
    const qsizetype seen = std::min(text.size(), maxUnits + 2);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.constData(), seen);
    graphemes.setPosition(maxUnits);
    qsizetype cut = graphemes.isAtBoundary() ? maxUnits : graphemes.toPreviousBoundary();
    if (cut <= 0) {
        cut = maxUnits;
        if (text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate())
            --cut;
    }
    return cut;
}

void cutWhole(QString &text, qsizetype maxUnits)
{
    text.truncate(wholeCharacterCut(text, maxUnits));
}

} // namespace kolu
