#include "shell/rules/CollapsedRailRules.h"

#include "shell/rules/RailFrame.h"

#include <algorithm>

namespace kolu::railview {

RailViewLayout layout(RailEdge edge, bool expanded)
{
    if (edge == RailEdge::top)
        return expanded ? RailViewLayout::topExpanded : RailViewLayout::topDock;
    return expanded ? RailViewLayout::expanded : RailViewLayout::dock;
}

std::optional<EdgeAlertKind> pendingAlert(const RailViewInput &in)
{
    if (in.calendarAlert)
        return EdgeAlertKind::calendar;
    if (in.prayerAlert)
        return EdgeAlertKind::prayer;
    if (in.reminderAlert)
        return EdgeAlertKind::reminder;
    if (in.focusAlert)
        return EdgeAlertKind::focus;
    return std::nullopt;
}

CollapsedContent collapsedContent(const RailViewInput &in)
{
    CollapsedContent content;
    content.alert = pendingAlert(in);
    if (content.alert)
        return content;
    if (in.edge == RailEdge::top) {
        content.handle = true;
        content.pulse = in.clipboardPulseActive;
    } else {
        content.pulse = in.clipboardPulseActive;
        content.handle = !content.pulse;
    }
    return content;
}

double handleThickness(double scale)
{
    return railframe::handleThickness(scale);
}

QSizeF handleSize(RailEdge edge, double scale)
{
    const double t = handleThickness(scale);
    if (edge == RailEdge::top)
        return {96.0 * scale, t};
    return {t, 96.0};
}

QSizeF notificationSize(EdgeAlertKind kind)
{
    switch (kind) {
    case EdgeAlertKind::prayer:
    case EdgeAlertKind::reminder: return {332, 82};
    case EdgeAlertKind::calendar:
    case EdgeAlertKind::focus: break;
    }
    return {318, 76};
}

QSizeF pulseSize()
{
    return {106, 92};
}

double pulseScreenPadding(RailEdge edge)
{
    return edge == RailEdge::top ? 0.0 : 10.0;
}

QSizeF alertTileSize()
{
    return {88, 92};
}

QSizeF alertRingsSize()
{
    return {104, 92};
}

EdgeAlertGeometry edgeAlertGeometry(EdgeAlertKind kind, RailEdge edge, double scale)
{
    EdgeAlertGeometry g;
    g.frame = QSizeF(430.0 * scale, 112.0);
    const QSizeF tile = alertTileSize();
    const QSizeF note = notificationSize(kind);
    const double tileY = (g.frame.height() - tile.height()) / 2.0;
    const double noteY = (g.frame.height() - note.height()) / 2.0;
    if (edge == RailEdge::right) {
        const double right = g.frame.width();
        g.tile = QRectF(QPointF(right - tile.width(), tileY), tile);
        g.notification = QRectF(QPointF(g.tile.left() - note.width(), noteY), note);
    } else {
        g.tile = QRectF(QPointF(0, tileY), tile);
        g.notification = QRectF(QPointF(tile.width(), noteY), note);
    }
    return g;
}

QRectF placeAtEdge(const QRectF &area, const QSizeF &item, RailEdge edge, RailVerticalPosition position)
{
    if (edge == RailEdge::top)
        return {QPointF(area.left() + (area.width() - item.width()) / 2.0, area.top()), item};
    const double x = edge == RailEdge::left ? area.left() : area.right() - item.width();
    double y = area.top() + (area.height() - item.height()) / 2.0;
    if (position == RailVerticalPosition::top)
        y = area.top();
    else if (position == RailVerticalPosition::bottom)
        y = area.bottom() - item.height();
    return {QPointF(x, y), item};
}

} // namespace kolu::railview
