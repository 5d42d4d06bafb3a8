#include "style/ContinuousCorners.h"

#include <algorithm>

namespace kolu {

namespace {

// How far along each side the eased corner reaches, in radii.
constexpr qreal kReach = 1.52866483;

} // namespace

QPainterPath continuousRoundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    if (rect.isEmpty())
        return path;
    const qreal halfShort = std::min(rect.width(), rect.height()) / 2;
    radius = std::max<qreal>(0, radius);
    if (radius <= 0) {
        path.addRect(rect);
        return path;
    }
    if (radius * kReach > halfShort) {
        const qreal r = std::min(radius, halfShort);
        path.addRoundedRect(rect, r, r);
        return path;
    }

    const qreal l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    const qreal k = radius;
    // One corner, drawn from the end of a horizontal side to the start of a
    // vertical one, in a frame where (cx, cy) is the corner and (dx, dy)
    // point back along the sides.
    const auto corner = [&path, k](qreal cx, qreal cy, qreal dx, qreal dy, bool horizontalFirst) {
        const auto pt = [&](qreal along, qreal across) {
            return horizontalFirst ? QPointF(cx + dx * along, cy + dy * across)
                                   : QPointF(cx + dx * across, cy + dy * along);
        };
        path.cubicTo(pt(1.08849323 * k, 0), pt(0.86840689 * k, 0), pt(0.66993427 * k, 0.06549600 * k));
        path.lineTo(pt(0.63149399 * k, 0.07491100 * k));
        path.cubicTo(pt(0.37282392 * k, 0.16905899 * k), pt(0.16906013 * k, 0.37282401 * k),
                     pt(0.07491176 * k, 0.63149399 * k));
        path.lineTo(pt(0.06549569 * k, 0.66993493 * k));
        path.cubicTo(pt(0, 0.86840701 * k), pt(0, 1.08849299 * k), pt(0, kReach * k));
    };

    path.moveTo(l + kReach * k, t);
    path.lineTo(r - kReach * k, t);
    corner(r, t, -1, 1, true); // top right: from the top side down the right
    path.lineTo(r, b - kReach * k);
    corner(r, b, -1, -1, false); // bottom right: from the right side along the bottom
    path.lineTo(l + kReach * k, b);
    corner(l, b, 1, -1, true); // bottom left: from the bottom side up the left
    path.lineTo(l, t + kReach * k);
    corner(l, t, 1, 1, false); // top left: from the left side along the top
    path.closeSubpath();
    return path;
}

} // namespace kolu
