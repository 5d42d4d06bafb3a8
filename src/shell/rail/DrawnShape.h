#pragma once

#include <QEvent>
#include <QRegion>

class QRectF;
class QWidget;

namespace kolu {

// A rail widget that paints less than its rectangle says what it paints:
// only that takes clicks and, where nothing composites the panel over the
// desktop, only that shows.
class DrawnShape {
public:
    virtual ~DrawnShape();
    // In the widget's own coordinates.
    virtual QRegion drawnShape() const = 0;
    // What it shows besides and lets every press through (rings drawn solid
    // where nothing composites): it changes with every picture, and what
    // takes clicks need not follow it. In the widget's own coordinates.
    virtual QRegion ornamentShape() const { return {}; }
};

namespace drawnshape {

// What the visible children of `container` draw, in its coordinates: a child
// that says what it draws adds that; one that lets every press through
// (a fading picture) adds nothing; any other adds its
// rectangle, rounded by its `cornerRadiusProperty` when it has one.
QRegion ofChildren(const QWidget *container);
// What the visible children of `container` show besides, taking no clicks
// (DrawnShape::ornamentShape), in its coordinates.
QRegion ornamentsOfChildren(const QWidget *container);

// Tells the container `widget` stands in that its ornament shape changed
// while what it draws stayed: only the ornaments are asked for again, at
// the loop's next turn.
void ornamentChanged(QWidget *widget);
// The event that posts to the container.
QEvent::Type ornamentChangedEvent();

// A widget property for surfaces built elsewhere: the corner radius of the
// rounded rectangle the widget fills; a negative radius rounds the short
// side fully (a capsule).
inline constexpr const char *cornerRadiusProperty = "drawnCornerRadius";

// A property of the rail's window, true while nothing composites it and
// only what its widgets say they draw shows: what would blend over the
// desktop (a glow, a fading ring) then has no desktop to blend over, and is
// drawn solid within a shape of its own, or left out.
inline constexpr const char *shapedWindowProperty = "showsOnlyDrawnShape";
bool inShapedWindow(const QWidget *widget);
// The opacity `widget` is drawn at part way through a fade: `opacity` where
// a compositor blends the window over the desktop; whole where nothing
// does, since there a fade could only blend with the window's own colour,
// lighter or darker than both the desktop and the finished picture.
double fadeOpacity(const QWidget *widget, double opacity);

// A rounded rectangle to the pixel, as the window shapes take it.
QRegion rounded(const QRectF &rect, qreal radius);

} // namespace drawnshape

} // namespace kolu
