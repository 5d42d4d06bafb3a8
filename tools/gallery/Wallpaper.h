#pragma once

#include <QImage>
#include <QSize>

namespace kolu::gallery {

// A busy, photograph-like test wallpaper drawn from a fixed seed: a dusk sky
// with a bright sun, layered mountain ridges, saturated out-of-focus light
// discs, a sharp striped foreground and fine grain, so that glass is seen
// over light, dark, colourful and high-contrast detail at once.
QImage makeWallpaper(QSize size);

} // namespace kolu::gallery
