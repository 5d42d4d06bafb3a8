#include "shell/rules/HoverRules.h"

#include <algorithm>
#include <cmath>

namespace kolu::hover {

using std::chrono::milliseconds;

namespace {
constexpr int kBandLength = 132;
constexpr int kBeyondEdge = 3;
} // namespace

int bandDepth(double scale)
{
    return static_cast<int>(std::ceil(std::max({18.0 * scale, 14.0, 24.0})));
}

QRect revealBand(const HoverInput &in)
{
    const int t = bandDepth(in.scale);
    const QRect &v = in.visibleFrame;
    const QRect &f = in.panelFrame;
    QRect band;
    QRect beyond; // the part past the visible frame's edge
    if (in.edge == RailEdge::top) {
        const int centreX = f.x() + f.width() / 2;
        band = {centreX - kBandLength / 2, v.y() - kBeyondEdge, kBandLength, t + kBeyondEdge};
        beyond = {band.x(), band.y(), kBandLength, kBeyondEdge};
    } else {
        int y = f.y();
        switch (in.position) {
        case RailVerticalPosition::top: y = f.y(); break;
        case RailVerticalPosition::center: y = f.y() + f.height() / 2 - kBandLength / 2; break;
        case RailVerticalPosition::bottom: y = f.y() + f.height() - kBandLength; break;
        }
        const bool left = in.edge == RailEdge::left;
        const int x = left ? v.x() - kBeyondEdge : v.x() + v.width() - t;
        band = {x, y, t + kBeyondEdge, kBandLength};
        beyond = {left ? band.x() : v.x() + v.width(), y, kBeyondEdge, kBandLength};
    }
    for (const QRect &other : in.otherScreens) {
        if (other.intersects(beyond))
            return band.marginsRemoved(QMargins(in.edge == RailEdge::left ? kBeyondEdge : 0,
                                                in.edge == RailEdge::top ? kBeyondEdge : 0,
                                                in.edge == RailEdge::right ? kBeyondEdge : 0, 0));
    }
    return band;
}

QRect insideZone(const HoverInput &in)
{
    const int side = in.expanded ? 22 : 16;
    return in.panelFrame.adjusted(-side, -20, side, 20);
}

bool contains(const QRect &rect, const QPoint &point)
{
    return point.x() >= rect.x() && point.x() < rect.x() + rect.width() && point.y() >= rect.y()
           && point.y() < rect.y() + rect.height();
}

HoverDecision decide(const HoverInput &in)
{
    const bool inBand = !in.expanded && !in.edgeNotification && contains(revealBand(in), in.pointer);
    if (in.holdRunning || in.edgeNotification || inBand || contains(insideZone(in), in.pointer))
        return {inBand ? HoverAction::reveal : HoverAction::keep, milliseconds(0)};
    if (!in.expanded && !in.dockRevealed)
        return {HoverAction::none, milliseconds(0)};
    return {HoverAction::scheduleHide, hideDelay(in.edge, in.expanded)};
}

milliseconds hideDelay(RailEdge edge, bool expanded)
{
    if (edge == RailEdge::top)
        return milliseconds(100);
    return milliseconds(expanded ? 550 : 280);
}

milliseconds pollInterval(RailEdge edge, bool active)
{
    if (edge == RailEdge::top)
        return milliseconds(active ? 50 : 200);
    return milliseconds(active ? 120 : 350);
}

} // namespace kolu::hover
