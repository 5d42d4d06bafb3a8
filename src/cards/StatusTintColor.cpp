#include "cards/StatusTintColor.h"

#include "style/OrlixStyle.h"

namespace kolu {

QColor statusTintColor(StatusTint tint, const QColor &accent)
{
    const OrlixStyle &style = OrlixStyle::current();
    switch (tint) {
    case StatusTint::secondary: break;
    case StatusTint::green: return style.readable(QColor(52, 168, 83));
    case StatusTint::orange: return style.readable(QColor(232, 130, 30));
    case StatusTint::accent: return style.readable(accent);
    }
    return style.secondaryText();
}

} // namespace kolu
