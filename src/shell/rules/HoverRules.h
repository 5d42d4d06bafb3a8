#pragma once

#include "model/Enums.h"

#include <QPoint>
#include <QList>
#include <QRect>

#include <chrono>

namespace kolu {

// One look at the pointer and the rail, for the hover poll.
struct HoverInput {
    QPoint pointer;
    QRect visibleFrame; // of the panel's screen
    // The whole frames of the other monitors: where one adjoins the rail's
    // edge, the band stops at the edge rather than reach onto it.
    QList<QRect> otherScreens;
    QRect panelFrame;
    RailEdge edge = RailEdge::right;
    RailVerticalPosition position = RailVerticalPosition::center;
    bool expanded = false;
    bool dockRevealed = false;
    bool edgeNotification = false;
    bool holdRunning = false; // a status-menu command keeps the rail out
    double scale = 1.0;
};

enum class HoverAction {
    keep,         // leave the rail out; cancel a pending hide
    reveal,       // the pointer touched the band: expand, and keep
    scheduleHide, // start the hide after hideDelay, unless one is pending
    none,         // nothing to hide
};

struct HoverDecision {
    HoverAction action = HoverAction::none;
    std::chrono::milliseconds hideDelay{0};

    friend bool operator==(const HoverDecision &, const HoverDecision &) = default;
};

// The hover rules: where the pointer reveals the rail, how long the rail
// stays out, how often to look. Rectangles are half-open: a point on the
// left or top line is inside, one on the right or bottom line is outside.
namespace hover {

// How deep the band reaches into the visible frame: 24 at every rail size.
int bandDepth(double scale);

// The 132-long strip along the edge next to the parked panel that reveals
// it; it reaches 3 beyond the visible frame, so a pointer pushed against the
// screen's edge is in it, unless another monitor lies there: a pointer on
// the neighbour, or crossing to it, opens nothing.
QRect revealBand(const HoverInput &in);
// Near the panel: its frame grown by 22 (expanded) or 16 at the sides and by
// 20 at the top and bottom.
QRect insideZone(const HoverInput &in);

bool contains(const QRect &rect, const QPoint &point);

HoverDecision decide(const HoverInput &in);

// How long a rail that the pointer has left stays out.
std::chrono::milliseconds hideDelay(RailEdge edge, bool expanded);

// The poll's period: short while the rail is out or something shows at the
// edge, long while it is parked.
std::chrono::milliseconds pollInterval(RailEdge edge, bool active);

} // namespace hover

} // namespace kolu
