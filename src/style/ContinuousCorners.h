#pragma once

#include <QPainterPath>
#include <QRectF>

namespace kolu {

// A rounded rectangle with continuous corners: each corner eases from the
// straight side into the arc (curvature grows smoothly instead of jumping),
// spread over about 1.53 x `radius` of each side. Where the sides are too
// short for that, the corners fall back to plain circular arcs of at most
// half the shorter side, so small pills stay capsules. Every rounded
// rectangle of the kit goes through here.
QPainterPath continuousRoundedRect(const QRectF &rect, qreal radius);

} // namespace kolu
