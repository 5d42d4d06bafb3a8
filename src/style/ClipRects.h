#pragma once

#include <QPainter>
#include <QRect>
#include <QRegion>

#include <vector>

namespace kolu {

// Qt's raster engine blends a picture, or fills, inside a clip of several
// rectangles span by span on a pool of threads, whose waking costs more
// than the blend itself; inside a single rectangle it works row by row on
// the calling thread. A repaint of what changed in a frame is clipped to a
// few rectangles, so a large picture is cheaper drawn once per rectangle.
//
// The rectangles of `region` (what a paint event asks for, in the
// painter's logical coordinates) to draw in one at a time; empty when one
// pass through the whole region is as good: a region of one rectangle or
// of very many, a clip the painter itself set, or a transform under which
// rectangles that do not overlap could overlap once rounded to pixels.
std::vector<QRect> rectsToDrawIn(const QPainter &painter, const QRegion &region);

// Runs `draw` once for each of those rectangles with the painter clipped to
// it, or once as it is. Each pixel is painted by one pass only, so a
// translucent blend looks the same either way.
template<typename Draw>
void drawPerRect(QPainter &painter, const QRegion &region, Draw &&draw)
{
    const std::vector<QRect> rects = rectsToDrawIn(painter, region);
    if (rects.empty()) {
        draw();
        return;
    }
    for (const QRect &rect : rects) {
        painter.save();
        painter.setClipRect(rect);
        draw();
        painter.restore();
    }
}

} // namespace kolu
