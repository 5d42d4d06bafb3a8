#pragma once

#include "model/Enums.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kolu {

// What the rail panel's frame depends on, read from the application state.
// Plain values, so the frame rules can be checked without a window.
struct RailFrameInput {
    RailEdge edge = RailEdge::right;
    RailVerticalPosition position = RailVerticalPosition::center;
    bool expanded = false;
    int visibleModuleCount = 1;
    bool showsMinimizeAllAppsButton = false;
    bool clipboardPulseActive = false;
    bool pomodoroAlertVisible = false;
    bool calendarAlert = false;
    bool prayerAlert = false;
    bool reminderAlert = false;
    double scale = 1.0; // 1.25 for the large rail
};

// The rail's frame rules. Screen coordinates grow downwards, as in Qt; the
// visible frame is the screen's available geometry (outside panels and docks).
// Sizes are logical pixels; fractional sizes are rounded up.
namespace railframe {

// The collapsed rail's thickness, max(18s, 14).
double handleThickness(double scale);

// Width of the top tool strip's content for `moduleCount` visible modules.
double topToolbarContentWidth(int moduleCount, bool showsMinimizeAllAppsButton, double scale);

// The clipboard pulse or any pending alert shows at the edge.
bool hasEdgeNotification(const RailFrameInput &in);
// Only the clipboard pulse shows: no alert is pending.
bool isPulseOnly(const RailFrameInput &in);

// Extra width the expanded top rail needs for the notification beside its
// card; 0 when none shows.
double topExpandedContentWidth(const RailFrameInput &in);

// Width of the top rail's glass: the tool strip plus its 16s side paddings,
// never narrower than the 350s card column.
double topRailWidth(const RailFrameInput &in);

QSize size(const RailFrameInput &in, const QRect &visibleFrame);
QPoint origin(const RailFrameInput &in, const QRect &visibleFrame, const QSize &size);
inline QRect frame(const RailFrameInput &in, const QRect &visibleFrame)
{
    const QSize s = size(in, visibleFrame);
    return {origin(in, visibleFrame, s), s};
}

// The collapsed top rail lets every click through; reveal there comes from
// the hover poll alone. A collapsed side rail keeps its clicks (the handle
// takes file drops).
bool passesClicksThrough(const RailFrameInput &in);

// A relayout slides only from one side edge to a side edge; anything that
// involves the top edge jumps.
bool animatesBetween(RailEdge from, RailEdge to);

// Whether a slide that shows `shown` (logical pixels) has moved far enough,
// at `next`, to show that: a side of it moves by `least` pixels or more, or
// `next` is empty, or was, or is where the slide ends (`end`). A slide that
// changes the picture's shape costs a compositor a blend of the whole part
// shown, blurred behind where it blurs; its slow tail need not pay that for
// every pixel.
bool slideStepShows(const QRect &shown, const QRect &next, const QRect &end, int least);

// `rect` (logical pixels) in device pixels at `ratio`: each side is rounded
// on its own rather than the origin and the size, so a frame that ends at
// the screen's edge ends at its last device pixel at any scale, neither a
// pixel short of it nor one past it.
QRect deviceRect(const QRect &rect, double ratio);

} // namespace railframe

} // namespace kolu
