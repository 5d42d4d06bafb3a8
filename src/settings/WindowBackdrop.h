#pragma once

#include "style/Theme.h"

#include <QPalette>

class QPainter;
class QRect;

namespace kolu {

// The background the settings and onboarding windows share: an opaque base
// in the window's scheme (most Linux desktops blur nothing behind a normal
// window) under the style's app chrome colour, so the window is never
// see-through.
void paintWindowBackdrop(QPainter &painter, const QRect &rect, ColorScheme scheme);

// The window's palette in `scheme`, for the few stock widgets it holds
// (scroll bars, tooltips, focus frames).
QPalette windowPalette(ColorScheme scheme);

} // namespace kolu
