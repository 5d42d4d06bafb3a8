#pragma once

#include <QRegion>

class QImage;

namespace kolu::picture {

// The parts of a window's picture that show anything: the pixels of `image`
// (the window's backing store, in device pixels, `ratio` of them a logical
// pixel) within `area` (logical) whose alpha reaches `least` (at least 1),
// as a logical region. Rows with the same runs are joined into one band, so
// a rounded surface costs a rectangle a row only where its corners curve.
// An image without an alpha channel shows all of `area`.
QRegion drawnParts(const QImage &image, const QRect &area, qreal ratio = 1.0, int least = 1);

// Above this alpha a pixel is no shadow's: the glass casts none deeper
// than about a quarter.
inline constexpr int kDeeperThanShadows = 64;

// `region` without its parts narrower than `width` across: what a slide cuts
// down to a sliver at its moving side would stand alone as a line.
QRegion withoutSlivers(const QRegion &region, int width);

} // namespace kolu::picture
