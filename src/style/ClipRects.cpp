#include "style/ClipRects.h"

#include <QPaintEngine>
#include <QTransform>

#include <cmath>

namespace kolu {

namespace {

// Up to this many rectangles each is drawn alone; past it, runs of them.
constexpr int kMostRects = 16;
// Device rows of a run of rectangles drawn in one pass: well under what the
// raster engine hands to its pool of threads (96 spans).
constexpr int kMostRows = 64;

bool isWhole(qreal value)
{
    return value == std::floor(value);
}

} // namespace

std::vector<QRegion> clipPieces(const QPainter &painter, const QRegion &region)
{
    const int count = region.rectCount();
    if (count < 2 || painter.hasClipping())
        return {};
    const QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return {};
    // A move by whole pixels, or a scale by a whole factor (2x screens):
    // rectangles land on whole pixels, and disjoint ones stay disjoint.
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || !isWhole(device.m11()) || !isWhole(device.m22()) || device.m11() <= 0
        || device.m22() <= 0 || !isWhole(device.dx()) || !isWhole(device.dy()))
        return {};
    if (count <= kMostRects)
        return {region.begin(), region.end()};
    // Each rectangle is as many spans as it has rows; a run stops before it
    // would pass the bound (a taller rectangle goes alone, as a rectangle).
    std::vector<QRegion> pieces;
    QRegion run;
    int rows = 0;
    for (const QRect &rect : region) {
        const int height = int(std::ceil(rect.height() * device.m22()));
        if (rows > 0 && rows + height > kMostRows) {
            pieces.push_back(run);
            run = QRegion();
            rows = 0;
        }
        run += rect;
        rows += height;
    }
    if (!run.isEmpty())
        pieces.push_back(run);
    return pieces;
}

} // namespace kolu
