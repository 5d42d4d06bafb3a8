#pragma once

#include <QPainter>
#include <QRectF>

#include <vector>

namespace kolu {

// Qt's raster engine blends a picture, or fills, inside a clip of several
// rectangles span by span on a pool of threads, whose waking costs more
// than the blend itself; inside a single rectangle it works row by row on
// the calling thread. A repaint of what changed in a frame is clipped to a
// few rectangles, so a large picture is cheaper drawn once per rectangle.
//
// The rectangles (in the painter's logical coordinates) to draw once each;
// empty when one pass through the whole clip is as good: a clip of one
// rectangle, a clip the painter itself set, or a transform under which
// rectangles that do not overlap on the device could overlap once rounded.
std::vector<QRectF> clipRectsToDrawIn(const QPainter &painter);

// Runs `draw` once for each of those rectangles with the painter clipped to
// it, or once as it is. Each pixel is painted by one pass only, so a
// translucent blend is the same either way.
template<typename Draw>
void drawPerClipRect(QPainter &painter, Draw &&draw)
{
    const std::vector<QRectF> rects = clipRectsToDrawIn(painter);
    if (rects.empty()) {
        draw();
        return;
    }
    for (const QRectF &rect : rects) {
        painter.save();
        painter.setClipRect(rect);
        draw();
        painter.restore();
    }
}

} // namespace kolu
