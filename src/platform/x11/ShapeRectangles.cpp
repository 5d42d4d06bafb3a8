#include "platform/x11/ShapeRectangles.h"

namespace kolu {

namespace {

xcb_rectangle_t toXcb(const QRect &r)
{
    return {static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()), static_cast<uint16_t>(r.width()),
            static_cast<uint16_t>(r.height())};
}

} // namespace

// Reparenting window managers copy a client's shape to the frame they put
// around it only when the shape has more than one rectangle; with none or
// one they leave the frame whole. So "nothing" is said with two points
// outside the window, and a single rectangle gives up one corner pixel to
// become two.
std::vector<xcb_rectangle_t> shapeRectangles(const QRegion &region)
{
    std::vector<xcb_rectangle_t> rects;
    if (region.isEmpty())
        return {toXcb(QRect(-8, -8, 1, 1)), toXcb(QRect(-4, -4, 1, 1))};
    QRegion shaped = region;
    if (region.rectCount() == 1) {
        const QRect only = region.boundingRect();
        if (only.width() > 1 || only.height() > 1)
            shaped -= QRect(only.bottomRight(), QSize(1, 1));
    }
    rects.reserve(static_cast<std::size_t>(shaped.rectCount()));
    for (const QRect &r : shaped)
        rects.push_back(toXcb(r));
    return rects;
}

} // namespace kolu
