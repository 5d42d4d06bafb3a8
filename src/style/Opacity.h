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

// The colour `t` (0–1) of the way from `from` to `to`, each component moved
// in a straight line: how a changing colour looks part way.
inline QColor blend(const QColor &from, const QColor &to, qreal t)
{
    t = std::clamp(t, qreal(0), qreal(1));
    const auto mix = [t](float a, float b) { return float(a + (b - a) * t); };
    const QColor a = from.toRgb(), b = to.toRgb();
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()),
                            mix(a.alphaF(), b.alphaF()));
}

} // namespace kolu
