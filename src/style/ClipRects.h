#pragma once

#include <QPainter>
#include <QRect>
#include <QRegion>

#include <vector>

namespace kolu {

// Qt's raster engine blends a picture, or fills, inside a clip of several
// rectangles span by span, and hands a blend of more than about a hundred
// spans (rows of the clip) to a pool of threads, whose waking costs more
// than the blend itself; inside a single rectangle it works row by row on
// the calling thread. A repaint of what changed in a frame is clipped to a
// few rectangles, or to many thin ones (what a window shape newly shows),
// so a large picture is cheaper drawn once per piece of the region.
//
// The pieces of `region` (what a paint event asks for, in the painter's
// logical coordinates) to draw in one at a time: each rectangle of a region
// of a few, or runs of rectangles with fewer rows in all than the pool
// takes; empty when one pass through the whole region is as good: a region
// of one rectangle, a clip the painter itself set, or a transform under
// which rectangles that do not overlap could overlap once rounded to
// pixels.
std::vector<QRegion> clipPieces(const QPainter &painter, const QRegion &region);

// Runs `draw` once for each of those pieces with the painter clipped to it,
// or once as it is. Each pixel is painted by one pass only, so a
// translucent blend looks the same either way.
template<typename Draw>
void drawPerRect(QPainter &painter, const QRegion &region, Draw &&draw)
{
    const std::vector<QRegion> pieces = clipPieces(painter, region);
    if (pieces.empty()) {
        draw();
        return;
    }
    for (const QRegion &piece : pieces) {
        painter.save();
        if (piece.rectCount() == 1)
            painter.setClipRect(piece.boundingRect());
        else
            painter.setClipRegion(piece);
        draw();
        painter.restore();
    }
}

} // namespace kolu
