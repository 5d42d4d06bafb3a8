#include "style/ClipRects.h"

#include <QPaintEngine>
#include <QTransform>

#include <cmath>

namespace kolu {

namespace {

// Past this many rectangles one pass is cheaper again.
constexpr int kMostRects = 16;

bool isWhole(qreal value)
{
    return value == std::floor(value);
}

} // namespace

std::vector<QRect> rectsToDrawIn(const QPainter &painter, const QRegion &region)
{
    const int count = region.rectCount();
    if (count < 2 || count > kMostRects || painter.hasClipping())
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
    return {region.begin(), region.end()};
}

} // namespace kolu
