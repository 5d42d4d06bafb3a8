#include "cards/StatusTintColor.h"

#include "style/OrlixStyle.h"

namespace kolu {

QColor statusTintColor(StatusTint tint, const QColor &accent)
{
    switch (tint) {
    case StatusTint::secondary:
        break;
    case StatusTint::green:
        return QColor(52, 168, 83);
    case StatusTint::orange:
        return QColor(232, 130, 30);
    case StatusTint::accent:
        return accent;
    }
    return OrlixStyle::current().secondaryText();
}

} // namespace kolu
