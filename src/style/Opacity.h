#pragma once

#include <QColor>

#include <algorithm>

namespace kolu {

// `color` drawn at `opacity` of its own alpha (0–1), as a view's opacity
// modifier multiplies it.
inline QColor withAlpha(QColor color, qreal opacity)
{
    color.setAlphaF(float(std::clamp(color.alphaF() * opacity, qreal(0), qreal(1))));
    return color;
}

} // namespace kolu
