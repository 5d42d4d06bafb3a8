#include "shell/rules/RailFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

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

TEST(RailFrameTest, FramesOnA1440By900Screen)
{
    // At s = 1.25 the 850 height does not fit (900 - 72 = 828). With two
    // modules the top rail is as wide as its 350 card column.
    const std::tuple<const char *, RailEdge, double, bool, bool, bool, bool, QRect> cases[] = {
        {"collapsed", RailEdge::right, 1.0, false, false, false, false, {1422, 110, 18, 680}},
        {"expanded", RailEdge::right, 1.0, true, false, false, false, {999, 110, 441, 680}},
        {"expanded with a prayer alert", RailEdge::right, 1.0, true, false, true, false, {645, 110, 795, 680}},
        {"expanded with a calendar alert", RailEdge::right, 1.0, true, true, false, false, {999, 110, 441, 680}},
        {"collapsed with an alert", RailEdge::right, 1.0, false, true, false, true, {1010, 110, 430, 680}},
        {"collapsed with the pulse", RailEdge::right, 1.0, false, false, false, true, {1324, 110, 116, 680}},
        {"large collapsed", RailEdge::right, 1.25, false, false, false, false, {1417, 36, 23, 828}},
        {"large collapsed with an alert", RailEdge::right, 1.25, false, false, true, false, {902, 36, 538, 828}},
        {"top collapsed", RailEdge::top, 1.0, false, false, false, false, {545, 0, 350, 18}},
        {"top expanded", RailEdge::top, 1.0, true, false, false, false, {545, 0, 350, 610}},
        {"top expanded with a prayer alert", RailEdge::top, 1.0, true, false, true, false, {373, 0, 694, 610}},
        {"top expanded with a calendar alert", RailEdge::top, 1.0, true, true, false, false, {380, 0, 680, 610}},
        {"top collapsed with an alert", RailEdge::top, 1.0, false, true, false, false, {530, 0, 380, 112}},
        {"top collapsed with the pulse only", RailEdge::top, 1.0, false, false, false, true, {545, 0, 350, 112}},
        {"top collapsed, pulse and alert", RailEdge::top, 1.0, false, true, false, true, {530, 0, 380, 112}}};
    for (const auto &[what, edge, scale, expanded, calendar, prayer, pulse, frame] : cases) {
        RailFrameInput in = side(scale, edge);
        in.visibleModuleCount = 2;
        in.expanded = expanded;
        in.calendarAlert = calendar;
        in.prayerAlert = prayer;
        in.clipboardPulseActive = pulse;
        EXPECT_EQ(railframe::frame(in, kScreen), frame) << what;
        in.edge = edge == RailEdge::right ? RailEdge::left : edge;
        EXPECT_EQ(railframe::frame(in, kScreen).width(), frame.width()) << what;
        EXPECT_EQ(railframe::frame(in, kScreen).left(), edge == RailEdge::right ? 0 : frame.left()) << what;
    }
}

TEST(RailFrameTest, PositionsAndShortScreens)
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
    for (const QRect &tiny : {QRect(0, 0, 10, 40), QRect(0, 0, 0, 0)})
        EXPECT_GE(std::min(railframe::size(in, tiny).width(), railframe::size(in, tiny).height()), 18);
    // Narrow and short screens bound the top rail by W - 72 and H - 36.
    in = side(1.0, RailEdge::top);
    in.visibleModuleCount = 10;
    in.showsMinimizeAllAppsButton = true;
    in.expanded = true;
    EXPECT_EQ(railframe::frame(in, QRect(100, 20, 800, 500)), QRect(136, 20, 728, 464));
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
}

TEST(RailFrameTest, DeviceFramesMeetTheScreenEdgeAtFractionalScales)
{
    // 1920 x 1080 at a scale of 1.5: a screen of 1280 x 720 logical pixels.
    const QRect screen(0, 0, 1280, 720);
    for (const bool expanded : {false, true}) {
        for (const RailEdge edge : {RailEdge::right, RailEdge::left, RailEdge::top}) {
            RailFrameInput in = side(1.0, edge);
            in.expanded = expanded;
            const QRect frame = railframe::frame(in, screen);
            SCOPED_TRACE(::testing::Message()
                         << int(edge) << (expanded ? " expanded" : " collapsed") << " " << frame.x() << "," << frame.y()
                         << " " << frame.width() << "x" << frame.height());
            for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0}) {
                const QRect device = railframe::deviceRect(frame, ratio);
                // The side at the screen edge is the screen's last device pixel.
                if (edge == RailEdge::right)
                    EXPECT_EQ(device.x() + device.width(), std::lround(1280 * ratio)) << ratio;
                else if (edge == RailEdge::left)
                    EXPECT_EQ(device.x(), 0) << ratio;
                else
                    EXPECT_EQ(device.y(), 0) << ratio;
                // Nothing past the screen, nothing more than a pixel from the exact size.
                EXPECT_TRUE(QRect(0, 0, std::lround(1280 * ratio), std::lround(720 * ratio)).contains(device)) << ratio;
                EXPECT_LE(std::abs(device.width() - frame.width() * ratio), 1.0) << ratio;
                EXPECT_LE(std::abs(device.height() - frame.height() * ratio), 1.0) << ratio;
            }
        }
    }
    // The opened right rail at 1.5: 441 logical pixels from x = 839 end at
    // device pixel 1920, not 1921.
    EXPECT_EQ(railframe::deviceRect(QRect(839, 45, 441, 648), 1.5), QRect(1259, 68, 661, 972));
    // Neighbouring rectangles stay neighbours: a shape keeps no gaps.
    const QRect upper = railframe::deviceRect(QRect(3, 0, 7, 5), 1.5);
    const QRect lower = railframe::deviceRect(QRect(3, 5, 7, 5), 1.5);
    EXPECT_EQ(upper.bottom() + 1, lower.top());
}

TEST(RailFrameTest, ASlideStepShowsOnceASideHasMovedEnoughOrTheSlideEnds)
{
    const QRect shown(100, 0, 200, 600);
    const QRect end(80, 0, 220, 600);
    EXPECT_FALSE(railframe::slideStepShows(shown, shown.adjusted(-3, 0, 0, 0), end, 4));
    EXPECT_TRUE(railframe::slideStepShows(shown, shown.adjusted(-4, 0, 0, 0), end, 4));
    EXPECT_TRUE(railframe::slideStepShows(shown, shown.adjusted(0, 0, 0, 5), end, 4)) << "any side counts";
    // The end always shows, however close; what already shows does not again.
    EXPECT_TRUE(railframe::slideStepShows(end.adjusted(1, 0, 0, 0), end, end, 4));
    EXPECT_FALSE(railframe::slideStepShows(end, end, end, 4));
    // A slide that starts or ends at nothing shows its first and last steps.
    EXPECT_TRUE(railframe::slideStepShows(QRect(), QRect(299, 0, 1, 600), end, 4));
    EXPECT_TRUE(railframe::slideStepShows(QRect(299, 0, 1, 600), QRect(), QRect(300, 0, 0, 600), 4));
}
