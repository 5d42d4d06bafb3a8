#pragma once

#include <QColor>

namespace kolu {

// Contrast floors for what is drawn on a surface: body text, and large text,
// symbols and control boundaries.
inline constexpr double kBodyTextContrast = 4.5;
inline constexpr double kLargeInkContrast = 3.0;

// The contrast ratio, 1 to 21, between two colours, each taken as opaque.
double contrastBetween(const QColor &a, const QColor &b);

// `ink` (a module tint, a status colour) as text or a symbol on `surface`:
// unchanged when it already reaches `floor`, otherwise the same hue darkened
// (on a light surface) or lightened (on a dark one) until it does. A
// see-through ink counts as it lands on the surface, and a mended one comes
// back opaque; the surface is taken as opaque.
QColor readableOn(const QColor &ink, const QColor &surface, double floor = kBodyTextContrast);

// `over` composited over the opaque `below`.
QColor composited(const QColor &over, const QColor &below);

} // namespace kolu
