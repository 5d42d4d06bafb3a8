#include "shell/rules/RailFrame.h"

#include <gtest/gtest.h>

using namespace kolu;

namespace {
const QRect kScreen(0, 0, 1440, 900);

RailFrameInput side(double scale, RailEdge edge = RailEdge::right)
{
    RailFrameInput in;
    in.edge = edge;
    in.scale = scale;
    return in;
}

} // namespace

TEST(RailFrameTest, SideFramesOnA1440By900Screen)
{
    // At s = 1.25 the 850 height does not fit (900 - 72 = 828).
    const std::tuple<const char *, double, bool, bool, bool, bool, QRect> cases[] = {
        {"collapsed", 1.0, false, false, false, false, {1422, 110, 18, 680}},
        {"expanded", 1.0, true, false, false, false, {999, 110, 441, 680}},
        {"expanded with a prayer alert", 1.0, true, false, true, false, {645, 110, 795, 680}},
        {"expanded with a calendar alert", 1.0, true, true, false, false, {999, 110, 441, 680}},
        {"collapsed with an alert", 1.0, false, true, false, true, {1010, 110, 430, 680}},
        {"collapsed with the pulse", 1.0, false, false, false, true, {1324, 110, 116, 680}},
        {"large collapsed", 1.25, false, false, false, false, {1417, 36, 23, 828}},
        {"large collapsed with an alert", 1.25, false, false, true, false, {902, 36, 538, 828}}};
    for (const auto &[what, scale, expanded, calendar, prayer, pulse, frame] : cases) {
        RailFrameInput in = side(scale);
        in.expanded = expanded;
        in.calendarAlert = calendar;
        in.prayerAlert = prayer;
        in.clipboardPulseActive = pulse;
        EXPECT_EQ(railframe::frame(in, kScreen), frame) << what;
        in.edge = RailEdge::left;
        EXPECT_EQ(railframe::frame(in, kScreen), QRect(0, frame.y(), frame.width(), frame.height())) << what;
    }
}

TEST(RailFrameTest, SidePositionsAndShortScreens)
{
    RailFrameInput in = side(1.0);
    // A visible frame below a 30 high top panel.
    const QRect belowPanel(0, 30, 1440, 870);
    const std::pair<RailVerticalPosition, int> positions[] = {
        {RailVerticalPosition::top, 30}, {RailVerticalPosition::center, 125}, {RailVerticalPosition::bottom, 220}};
    for (const auto &[position, y] : positions) {
        in.position = position;
        EXPECT_EQ(railframe::frame(in, belowPanel), QRect(1422, y, 18, 680));
    }

    // Short screen: the height is H - 72 and the centre stays the centre.
    in.position = RailVerticalPosition::center;
    EXPECT_EQ(railframe::frame(in, QRect(0, 0, 1024, 400)), QRect(1006, 36, 18, 328));
    // A frame smaller than the rail: never an empty or negative window.
    for (const QRect &tiny : {QRect(0, 0, 10, 40), QRect(0, 0, 0, 0)}) {
        const QSize size = railframe::size(in, tiny);
        EXPECT_GE(size.width(), 18);
        EXPECT_GE(size.height(), 18);
    }
}

TEST(RailFrameTest, TopWidthKeepsTheStripPaddingInsideTheGlass)
{
    // The glass adds 16 on each side of the toolbar.
    EXPECT_DOUBLE_EQ(railframe::topToolbarContentWidth(0, false, 1.0), railframe::topToolbarContentWidth(1, false, 1.0))
        << "counts at least one module";

    RailFrameInput in = side(1.0, RailEdge::top);
    in.visibleModuleCount = 6;
    in.showsMinimizeAllAppsButton = true;
    for (const double scale : {1.0, 1.25}) {
        in.scale = scale;
        const QRect frame = railframe::frame(in, kScreen);
        EXPECT_EQ(frame.width(), qRound(railframe::topToolbarContentWidth(6, true, scale) + 32 * scale));
        EXPECT_EQ(frame.center().x(), kScreen.center().x());
    }

    // Two modules without the button: the 350 card column is wider.
    in.scale = 1.0;
    in.visibleModuleCount = 2;
    in.showsMinimizeAllAppsButton = false;
    EXPECT_EQ(railframe::size(in, kScreen), QSize(350, 18));
}

TEST(RailFrameTest, TopFramesByState)
{
    RailFrameInput in = side(1.0, RailEdge::top);
    in.visibleModuleCount = 2;

    const std::tuple<const char *, bool, bool, bool, bool, QSize> cases[] = {
        {"expanded", true, false, false, false, {350, 610}},
        {"expanded with a prayer alert", true, false, true, false, {694, 610}},
        {"expanded with a calendar alert", true, true, false, false, {680, 610}},
        {"collapsed with an alert", false, true, false, false, {380, 112}},
        {"collapsed with the pulse only", false, false, false, true, {350, 112}},
        {"collapsed with the pulse and an alert", false, true, false, true, {380, 112}}};
    for (const auto &[what, expanded, calendar, prayer, pulse, size] : cases) {
        in.expanded = expanded;
        in.calendarAlert = calendar;
        in.prayerAlert = prayer;
        in.clipboardPulseActive = pulse;
        EXPECT_EQ(railframe::size(in, kScreen), size) << what;
    }

    // Narrow and short screens bound the top rail by W - 72 and H - 36.
    in = side(1.0, RailEdge::top);
    in.visibleModuleCount = 10;
    in.showsMinimizeAllAppsButton = true;
    in.expanded = true;
    EXPECT_EQ(railframe::frame(in, QRect(100, 20, 800, 500)), QRect(136, 20, 728, 464));
}

TEST(RailFrameTest, SlidesAlongASideEdgeOrBetweenThem)
{
    EXPECT_TRUE(railframe::animatesBetween(RailEdge::right, RailEdge::left));
    EXPECT_TRUE(railframe::animatesBetween(RailEdge::right, RailEdge::right));
    EXPECT_FALSE(railframe::animatesBetween(RailEdge::right, RailEdge::top));
    EXPECT_FALSE(railframe::animatesBetween(RailEdge::top, RailEdge::left));
    EXPECT_FALSE(railframe::animatesBetween(RailEdge::top, RailEdge::top));
}
