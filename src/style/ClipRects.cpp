#include "style/ClipRects.h"

#include <QPaintEngine>
#include <QRegion>
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

std::vector<QRectF> clipRectsToDrawIn(const QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || painter.hasClipping())
        return {};
    const QRegion clip = engine->systemClip();
    const int count = clip.rectCount();
    if (count < 2 || count > kMostRects)
        return {};
    // A move, or a scale by a whole factor (2x screens): rectangles map back
    // to the device exactly, and disjoint ones stay disjoint.
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || !isWhole(device.m11()) || !isWhole(device.m22()) || device.m11() <= 0
        || device.m22() <= 0)
        return {};
    const QTransform toLogical = device.inverted();
    std::vector<QRectF> rects;
    rects.reserve(std::size_t(count));
    for (const QRect &rect : clip)
        rects.push_back(toLogical.mapRect(QRectF(rect)));
    return rects;
}

} // namespace kolu
