#pragma once

#include "model/Enums.h"
#include "shell/rules/CollapsedRailRules.h"

#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace kolu {

// Where the expanded rail puts its parts. Every value is a plain function of
// the scale s, the edge and the visible modules, so the panel's frame, the
// views and the tests agree. Lengths are logical points; canvas coordinates
// grow rightwards and downwards from the canvas's top-left corner.
namespace expandedrail {

// Columns of the side canvas: margin, tool strip, gap, card, margin.
inline constexpr double outerMargin = 16;       // ×s
inline constexpr double stripWidth = 74;        // ×s
inline constexpr double columnGap = 17;         // ×s
inline constexpr double cardWidth = 318;        // ×s
inline constexpr double cardHeight = 500;       // ×s
inline constexpr double canvasHeight = 620;     // ×s
inline constexpr double alertColumnWidth = 354; // ×s
inline constexpr double alertGap = 12;          // not scaled

// The tool strip's button column, shared by the strip's layout and by the
// icon positions the connector and the card follow, so both agree.
inline constexpr double stripVerticalPadding = 12;   // not scaled
inline constexpr double stripHorizontalPadding = 8;  // not scaled
inline constexpr double buttonHeight = 42;           // ×s
inline constexpr double buttonWidth = 54;            // not scaled
inline constexpr double buttonSpacing = 8;           // ×s
inline constexpr double actionSpacerMinimum = 8;     // not scaled
inline constexpr double actionButtonHeight = 26;     // not scaled
inline constexpr double actionButtonSpacing = 8;     // not scaled
inline constexpr double minimumStripHeight = 430;    // ×s
inline constexpr double heightPerMissingModule = 48; // not scaled

// Notification frames (never scaled).
inline constexpr double shortAlertWidth = 318, shortAlertHeight = 76;
inline constexpr double wideAlertWidth = 332, wideAlertHeight = 82;

struct Canvas {
    RailEdge edge = RailEdge::left;
    double scale = 1.0;
    bool hasExpandedAlert = false; // a prayer or reminder notification widens the canvas
    // The height the panel gives the canvas on a short screen; 0 when it
    // has all the canvas asks for.
    double room = 0;
};

double width(const Canvas &c);
// 620s, or less where the panel has less room.
double height(const Canvas &c);
// The card's height: 500s, or what keeps it 10 points clear of the top and
// bottom of a shorter canvas (its content scrolls).
double detailCardHeight(const Canvas &c);

double toolStripCenterX(const Canvas &c);
double detailCardCenterX(const Canvas &c);
double expandedAlertCenterX(const Canvas &c, double alertWidth);

// The strip's height for `visibleCount` modules: max(430s, 620s − 48·missing).
double stripHeight(int visibleCount, double scale);
// The height the strip's content needs: padding, buttons, the least spacer,
// the action buttons (two, or three with minimise).
double stripContentHeight(int visibleCount, bool showsMinimize, double scale);

// How the side strip's column fits a canvas. Where the canvas is shorter
// than the strip wants, the strip takes the canvas's height and its padding
// and spacings close up; where that is not enough the leading actions go
// (minimise, then refresh), so that Settings, the last action, stays, and
// at last the trailing module buttons go. Room left over opens the padding
// and the spacings again, up to their usual sizes.
struct SideStripFit {
    double height;        // the strip's height, centred on the canvas
    double padding;       // above the first button and below the last action
    double moduleSpacing; // between module buttons
    double actionSpacing; // between actions
    int shownModules;     // the leading ones
    int shownActions;     // the trailing ones
    double contentHeight;
};
inline constexpr double minimumSidePadding = 7; // not scaled
inline constexpr double minimumSideSpacing = 4; // not scaled
SideStripFit sideStripFit(const Canvas &c, int visibleCount, int actionCount);

// Vertical centre of the button at `index` on the canvas; an index past the
// buttons shown gives the last one shown.
double moduleIconY(int index, const SideStripFit &fit, const Canvas &c);
// The same on a canvas with all its room (0 for a module not shown).
double moduleIconY(int index, int visibleCount, double scale);
double moduleIconY(RailModule module, const std::vector<RailModule> &visible, double scale);

// The card follows its button but keeps 10 points clear of top and bottom.
double detailCardCenterY(double iconY, const Canvas &c);
double detailCardCenterY(double iconY, double scale);

// The small line between the selected button and the card. Its ends follow
// the card, also when a notification column widens the canvas at the right.
struct Connector {
    double startX;
    double endX;
    double width; // at least 18
    double midX;
};
Connector connector(const Canvas &c);

// One notification of the side rail: its centre on the canvas and its frame
// (never scaled).
struct PlacedNotification {
    EdgeAlertKind kind;
    QPointF centre;
    QSizeF size;
};
// Every pending alert has its notification at the height of its module's
// button: focus and calendar over the card's column, prayer and reminder in
// the column that widens the canvas, on the side away from the edge.
// On a canvas `room` high (0: all it asks for) whose strip has
// `actionCount` actions; a notification stays whole on the canvas.
std::vector<PlacedNotification> sideNotifications(const RailViewInput &in, const std::vector<RailModule> &visible,
                                                  double room = 0, int actionCount = 3);

// How the parts come and go. A notification enters from 14 points to the
// right and leaves 8 points to the right, fading, at every edge.
inline constexpr double notificationEntryOffset = 14;
inline constexpr double notificationExitOffset = 8;
// The card enters from the rail's own edge, a card's length away, fading.
QPointF cardEntryOffset(RailEdge edge, double scale);

// A horizontal swipe across the side rail that collapses it.
inline constexpr double swipeMinimumDistance = 20;
bool sideSwipeCollapses(double dx);
// An upward swipe across the top rail that collapses it.
bool topSwipeCollapses(double dy);

} // namespace expandedrail

// The top rail's tool strip: module buttons, a separator and the action
// buttons in a row, 10 apart, between 14-point paddings.
namespace toprail {

inline constexpr double stripPadding = 14;    // each side, not scaled
inline constexpr double moduleRowPadding = 4; // each side of the module buttons
inline constexpr double itemSpacing = 10;     // between modules, separator and actions
inline constexpr double actionWidth = 30;
inline constexpr double separatorWidth = 1;
// How far the row gives way on a narrow screen. The padding can shrink to
// where the strip's rounded ends still hold the buttons.
inline constexpr double minimumItemSpacing = 4;
inline constexpr double minimumActionWidth = 24;
inline constexpr double minimumStripPadding = 7;
inline constexpr double minimumModuleSpacing = 4;

// The row in a strip `stripWidth` wide. The module buttons keep their width;
// when the row does not fit, in this order: the spacing after them shrinks,
// then the action buttons, the strip's padding and the spacing between the
// module buttons; then the leading actions go (minimise, then refresh), so
// that Settings, the last action, stays reachable at every width; at last
// the trailing module buttons go. `overflow` is what still does not fit.
struct StripFit {
    double padding;       // each side of the row inside the strip
    double moduleSpacing; // between module buttons
    double moduleRowWidth;
    double spacing; // before the separator and before each action
    double actionWidth;
    int shownModules; // the leading ones
    int shownActions; // the trailing ones
    double contentWidth;
    double overflow;
};
StripFit stripFit(double stripWidth, int moduleCount, int actionCount, double scale);

} // namespace toprail

// The rules of one module button.
namespace toolstrip {

inline constexpr int hoverOpenDelayMs = 80;
inline constexpr int reorderPressMs = 280;
inline constexpr double reorderPressTolerance = 10;
inline constexpr int clipboardWobbleResetMs = 650;

// The tray's count badge: none below 1, "99+" above 99.
std::optional<QString> badgeText(int count);

// The visible index a reorder drag of `displacement` points (along the
// strip's axis) from `startIndex` aims at; the step is 42s + 8s on both axes.
int reorderTarget(int startIndex, double displacement, int visibleCount, double scale);

} // namespace toolstrip

} // namespace kolu
