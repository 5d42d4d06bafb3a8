#pragma once

#include "model/Enums.h"

#include <QRectF>
#include <QSizeF>

#include <optional>

namespace kolu {

// The four layouts the rail view chooses from.
enum class RailViewLayout { topDock, dock, topExpanded, expanded };

// The alert sources, in the order in which one slot picks among them.
enum class EdgeAlertKind { calendar, prayer, reminder, focus };

// What the rail view reads from the application state to choose its content.
struct RailViewInput {
    RailEdge edge = RailEdge::right;
    RailVerticalPosition position = RailVerticalPosition::center;
    bool expanded = false;
    bool calendarAlert = false;
    bool prayerAlert = false;
    bool reminderAlert = false;
    bool focusAlert = false;
    bool clipboardPulseActive = false;
    double scale = 1.0;
};

// What fills a collapsed rail's slot.
struct CollapsedContent {
    std::optional<EdgeAlertKind> alert; // shown instead of everything else
    bool handle = false;
    bool pulse = false;
};

namespace railview {

RailViewLayout layout(RailEdge edge, bool expanded);

// The first pending alert in the order calendar, prayer, reminder, focus.
std::optional<EdgeAlertKind> pendingAlert(const RailViewInput &in);

// At the top edge the pulse shows below the handle; at a side edge it takes
// the handle's place. An alert replaces both.
CollapsedContent collapsedContent(const RailViewInput &in);

// The handle's thickness, max(18s, 14).
double handleThickness(double scale);
// Top: 96s along the edge; sides: 96 along the edge (unscaled).
QSizeF handleSize(RailEdge edge, double scale);

// The fixed frame every caller gives a notification.
QSizeF notificationSize(EdgeAlertKind kind);

// The clipboard pulse: its rings' frame, and the gap it keeps from a side
// edge (none at the top).
QSizeF pulseSize();
double pulseScreenPadding(RailEdge edge);

// One side edge alert: its frame (430s x 112), the glowing tile at the
// screen edge and the notification beside it, towards the screen. Spare
// width stays on the screen side. Rectangles are in frame coordinates.
struct EdgeAlertGeometry {
    QSizeF frame;
    QRectF tile;
    QRectF notification;
};
EdgeAlertGeometry edgeAlertGeometry(EdgeAlertKind kind, RailEdge edge, double scale);
// The tile's frame and the rings behind it (wider than the tile).
QSizeF alertTileSize();
QSizeF alertRingsSize();

// Places `item` inside `area` against the screen edge: left/right/top by
// `edge`, and along a side edge at the top, centre or bottom by `position`.
// At the top edge the item is centred horizontally.
QRectF placeAtEdge(const QRectF &area, const QSizeF &item, RailEdge edge, RailVerticalPosition position);

} // namespace railview

} // namespace kolu
