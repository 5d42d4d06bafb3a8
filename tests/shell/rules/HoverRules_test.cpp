#include "shell/rules/HoverRules.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace std::chrono_literals;

namespace {
const QRect kScreen(0, 0, 1440, 900);

// The parked right rail of a 1440 x 900 screen, centred: 18 x 680 at 1422, 110.
HoverInput parkedRight(QPoint pointer)
{
    HoverInput in;
    in.pointer = pointer;
    in.visibleFrame = kScreen;
    in.panelFrame = QRect(1422, 110, 18, 680);
    return in;
}

HoverAction actionAt(HoverInput in, QPoint pointer)
{
    in.pointer = pointer;
    return hover::decide(in).action;
}

} // namespace

TEST(HoverRulesTest, BandStopsAtAnEdgeAnotherMonitorAdjoins)
{
    // The rail at the right edge of the left monitor; a second one to its right.
    HoverInput in = parkedRight({});
    const QRect neighbour(1440, 0, 1920, 1080);
    EXPECT_EQ(actionAt(in, {1441, 450}), HoverAction::reveal) << "alone, the band reaches past the edge";
    in.otherScreens = {neighbour};
    EXPECT_EQ(hover::revealBand(in), QRect(1416, 384, 24, 132));
    for (const int x : {1440, 1441, 1442})
        EXPECT_NE(actionAt(in, {x, 450}), HoverAction::reveal) << x;
    EXPECT_EQ(actionAt(in, {1439, 450}), HoverAction::reveal) << "the monitor's own last column still does";

    // A monitor elsewhere (below) leaves the band as it was.
    in.otherScreens = {QRect(0, 900, 1440, 900)};
    EXPECT_EQ(hover::revealBand(in), QRect(1416, 384, 27, 132));

    // The mirror case at a left edge, and a monitor above a top rail.
    in = parkedRight({});
    in.edge = RailEdge::left;
    in.panelFrame = QRect(0, 110, 18, 680);
    in.otherScreens = {QRect(-1920, 0, 1920, 1080)};
    EXPECT_EQ(hover::revealBand(in), QRect(0, 384, 24, 132));
    EXPECT_NE(actionAt(in, {-1, 450}), HoverAction::reveal);
    EXPECT_EQ(actionAt(in, {0, 450}), HoverAction::reveal);
    in.edge = RailEdge::top;
    in.panelFrame = QRect(454, 0, 531, 18);
    in.otherScreens = {QRect(0, -1080, 1920, 1080)};
    EXPECT_EQ(hover::revealBand(in), QRect(653, 0, 132, 24));
}

TEST(HoverRulesTest, RightBandIs27WideAnd132HighAroundThePanelsMiddle)
{
    const HoverInput in = parkedRight({});
    EXPECT_EQ(hover::revealBand(in), QRect(1416, 384, 27, 132));

    // Against the screen edge, 24 in, just outside the band but inside the
    // zone, the band's top and bottom rows, 100 above the middle (near, but
    // no reveal), outside the 16 zone and above the 20 zone (nothing to hide).
    const std::tuple<QPoint, HoverAction> cases[] = {
        {{1439, 450}, HoverAction::reveal}, {{1416, 450}, HoverAction::reveal}, {{1415, 450}, HoverAction::keep},
        {{1416, 384}, HoverAction::reveal}, {{1416, 383}, HoverAction::keep},   {{1416, 515}, HoverAction::reveal},
        {{1416, 516}, HoverAction::keep},   {{1439, 350}, HoverAction::keep},   {{1405, 450}, HoverAction::none},
        {{1439, 89}, HoverAction::none}};
    for (const auto &[pointer, action] : cases)
        EXPECT_EQ(actionAt(in, pointer), action) << pointer.x() << "," << pointer.y();
}

TEST(HoverRulesTest, BandFollowsTheEdgeAndPosition)
{
    HoverInput in = parkedRight({});
    in.position = RailVerticalPosition::top;
    EXPECT_EQ(hover::revealBand(in), QRect(1416, 110, 27, 132));
    in.position = RailVerticalPosition::bottom;
    EXPECT_EQ(hover::revealBand(in), QRect(1416, 658, 27, 132));

    in.edge = RailEdge::left;
    in.panelFrame = QRect(0, 110, 18, 680);
    EXPECT_EQ(hover::revealBand(in), QRect(-3, 658, 27, 132));

    // Top: 132 wide centred on the panel, 27 deep from 3 above the frame.
    in.edge = RailEdge::top;
    in.panelFrame = QRect(314, 0, 811, 18);
    EXPECT_EQ(hover::revealBand(in), QRect(653, -3, 132, 27));
    for (const QPoint p : {QPoint(653, 0), QPoint(700, 23), QPoint(700, 24), QPoint(652, 0)})
        EXPECT_EQ(actionAt(in, p), p.x() == 653 || p.y() == 23 ? HoverAction::reveal : HoverAction::keep) << p.x();

    // Large rail: the band keeps its depth of 24.
    in.scale = 1.25;
    EXPECT_EQ(hover::bandDepth(1.25), 24);
    EXPECT_EQ(hover::revealBand(in).height(), 27);
}

TEST(HoverRulesTest, ExpandedRailStaysWhileThePointerIsNearAndHidesAfterItLeaves)
{
    HoverInput in = parkedRight({});
    in.expanded = true;
    in.dockRevealed = true;
    in.panelFrame = QRect(999, 110, 441, 680);
    // The zone reaches 22 beside the panel and 20 above and below it.
    EXPECT_EQ(hover::insideZone(in), QRect(977, 90, 485, 720));
    for (const QPoint near : {QPoint(977, 450), QPoint(1000, 90), QPoint(1000, 809)})
        EXPECT_EQ(actionAt(in, near), HoverAction::keep) << near.x() << "," << near.y();
    in.pointer = {976, 450};
    EXPECT_EQ(hover::decide(in), (HoverDecision{HoverAction::scheduleHide, 550ms}));
    // A status-menu command's hold keeps the rail out wherever the pointer is.
    in.holdRunning = true;
    EXPECT_EQ(hover::decide(in), (HoverDecision{HoverAction::keep, 0ms}));
    in.holdRunning = false;
    in.pointer = {1000, 810};
    EXPECT_EQ(hover::decide(in).action, HoverAction::scheduleHide);
    // The band does not act on an expanded rail: the pointer is in the zone anyway.
    EXPECT_EQ(actionAt(in, {1439, 450}), HoverAction::keep);

    in.edge = RailEdge::top;
    in.panelFrame = QRect(314, 0, 811, 610);
    in.pointer = {100, 700};
    EXPECT_EQ(hover::decide(in), (HoverDecision{HoverAction::scheduleHide, 100ms}));

    // Revealed but not expanded: the shorter side delay.
    in.edge = RailEdge::right;
    in.expanded = false;
    in.panelFrame = QRect(1422, 110, 18, 680);
    EXPECT_EQ(hover::decide(in), (HoverDecision{HoverAction::scheduleHide, 280ms}));
}
