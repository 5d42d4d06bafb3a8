#include "shell/rules/RailFrame.h"

#include "shell/rules/ExpandedRailGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kolu::railframe {

namespace {

int roundUp(double length)
{
    // A tiny tolerance keeps 441.0000000001 from becoming 442.
    return static_cast<int>(std::ceil(length - 1e-9));
}

bool sideAlert(const RailFrameInput &in)
{
    return in.calendarAlert || in.prayerAlert || in.reminderAlert || in.pomodoroAlertVisible;
}

} // namespace

double handleThickness(double scale)
{
    return std::max(18.0 * scale, 14.0);
}

double topToolbarContentWidth(int moduleCount, bool showsMinimizeAllAppsButton, double scale)
{
    const int n = std::max(moduleCount, 1);
    // Module buttons are 54 wide at every scale; only the gaps between them scale.
    return 54.0 * n + 8.0 * scale * (n - 1) + 8.0 + (showsMinimizeAllAppsButton ? 91.0 : 61.0)
           + (showsMinimizeAllAppsButton ? 40.0 : 30.0) + 28.0;
}

bool hasEdgeNotification(const RailFrameInput &in)
{
    return in.clipboardPulseActive || in.pomodoroAlertVisible || in.calendarAlert || in.prayerAlert || in.reminderAlert;
}

bool isPulseOnly(const RailFrameInput &in)
{
    return in.clipboardPulseActive && !sideAlert(in);
}

double topExpandedContentWidth(const RailFrameInput &in)
{
    const double s = in.scale;
    if (in.prayerAlert || in.reminderAlert)
        return 332.0 + 318.0 * s + 12.0 + 16.0 * s + 16.0 * s;
    if (in.calendarAlert || in.pomodoroAlertVisible)
        return 318.0 + 318.0 * s + 12.0 + 16.0 * s + 16.0 * s;
    return 0.0;
}

double topRailWidth(const RailFrameInput &in)
{
    const double s = in.scale;
    // The strip's glass holds the toolbar between two 16s paddings; without
    // them the end buttons would stand out of the glass.
    const double toolbar = topToolbarContentWidth(in.visibleModuleCount, in.showsMinimizeAllAppsButton, s);
    return std::max(350.0 * s, toolbar + 32.0 * s);
}

QSize size(const RailFrameInput &in, const QRect &visibleFrame)
{
    const double s = in.scale;
    const double W = visibleFrame.width();
    const double H = visibleFrame.height();
    const double handle = handleThickness(s);
    double width = 0;
    double height = 0;
    if (in.edge == RailEdge::top) {
        const double a = topRailWidth(in);
        if (in.expanded) {
            width = std::min(std::max(a, topExpandedContentWidth(in)), W - 72.0);
            height = std::min(610.0 * s, H - 36.0);
        } else if (hasEdgeNotification(in)) {
            width = std::min(isPulseOnly(in) ? a : std::max(a, 380.0 * s), W - 72.0);
            height = 112.0 * s;
        } else {
            width = std::min(a, W - 72.0);
            height = handle;
        }
    } else {
        height = std::min(680.0 * s, H - 72.0);
        if (in.expanded)
            width = expandedrail::width({in.edge, s, in.prayerAlert || in.reminderAlert});
        else if (sideAlert(in))
            width = 430.0 * s;
        else if (in.clipboardPulseActive)
            width = 116.0 * s;
        else
            width = handle;
    }
    // A visible frame smaller than the rail would give a negative or empty
    // window; the panel never gets smaller than its handle.
    return {roundUp(std::max(width, handle)), roundUp(std::max(height, handle))};
}

QPoint origin(const RailFrameInput &in, const QRect &visibleFrame, const QSize &size)
{
    const int left = visibleFrame.x();
    const int top = visibleFrame.y();
    const int W = visibleFrame.width();
    const int H = visibleFrame.height();
    const int w = size.width();
    const int h = size.height();
    if (in.edge == RailEdge::top)
        return {left + (W - w) / 2, top};
    const int x = in.edge == RailEdge::left ? left : left + W - w;
    // Placed as if the panel were no taller than the frame, so a panel that
    // does not fit keeps its top on screen when aligned to the top.
    const int fitted = std::min(h, H);
    int y = top;
    switch (in.position) {
    case RailVerticalPosition::top: y = top; break;
    case RailVerticalPosition::center: y = top + (H - fitted) / 2; break;
    case RailVerticalPosition::bottom: y = top + H - fitted; break;
    }
    return {x, y};
}

bool passesClicksThrough(const RailFrameInput &in)
{
    return in.edge == RailEdge::top && !in.expanded && !hasEdgeNotification(in);
}

bool slideStepShows(const QRect &shown, const QRect &next, const QRect &end, int least)
{
    if (next == end || shown.isEmpty() || next.isEmpty())
        return next != shown;
    const int moved = std::max({std::abs(next.left() - shown.left()), std::abs(next.top() - shown.top()),
                                std::abs(next.right() - shown.right()), std::abs(next.bottom() - shown.bottom())});
    return moved >= least;
}

QRect deviceRect(const QRect &rect, double ratio)
{
    const auto side = [ratio](int logical) { return static_cast<int>(std::lround(logical * ratio)); };
    const int left = side(rect.x());
    const int top = side(rect.y());
    return {left, top, side(rect.x() + rect.width()) - left, side(rect.y() + rect.height()) - top};
}

bool animatesBetween(RailEdge from, RailEdge to)
{
    return from != RailEdge::top && to != RailEdge::top;
}

} // namespace kolu::railframe
