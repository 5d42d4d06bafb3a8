#pragma once

#include "style/Theme.h"

#include <QColor>

namespace kolu::linkcard {

// A brand icon is read at no less than 3:1 on its tile; it is shaded to
// this, which leaves room for a desktop showing through the glass.
inline constexpr double brandIconContrastTarget = 3.5;

// The contrast ratio of two opaque colours, from 1 to 21 (relative
// luminance of linear sRGB, the lighter plus 0.05 over the darker plus 0.05).
double contrastRatio(const QColor &a, const QColor &b);

// What a brand icon drawn in `color` sits on in `theme` and `scheme`: the
// card's glass in its own colour, the tile's raised surface over it,
// and the icon's back layer, `color` at opacity 0.12.
QColor brandIconBackdrop(const QColor &color, OrlixTheme theme, ColorScheme scheme);

// `brand` as the icon is drawn: unchanged where it reads at the target
// contrast on its backdrop, otherwise shaded towards white or black
// (whichever stands further from the backdrop) just as far as it takes.
QColor brandIconColor(const QColor &brand, OrlixTheme theme, ColorScheme scheme);

} // namespace kolu::linkcard
