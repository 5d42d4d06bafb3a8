#include "shell/rules/ExpandedRailGeometry.h"
#include "shell/rules/RailFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace kolu;
using namespace kolu::expandedrail;
using namespace Qt::StringLiterals;

TEST(ExpandedRailGeometry, ConnectorStaysBetweenStripAndCard)
{
    // Whatever the edge, scale and alert column, the connector begins in the
    // gap between the card and the strip and moves with them.
    for (const RailEdge edge : {RailEdge::left, RailEdge::right})
        for (const double s : {1.0, 1.25})
            for (const bool alert : {false, true}) {
                SCOPED_TRACE(testing::Message() << int(edge) << " s " << s << " alert " << alert);
                const Canvas c{edge, s, alert};
                const Connector k = connector(c);
                const double toScreen = edge == RailEdge::left ? 1 : -1;
                const auto [gapLow, gapHigh] = std::minmax({detailCardCenterX(c) - toScreen * cardWidth / 2 * s,
                                                            toolStripCenterX(c) + toScreen * stripWidth / 2 * s});
                EXPECT_GT(k.startX, gapLow);
                EXPECT_GT(k.midX, gapLow);
                EXPECT_LT(k.midX, gapHigh);
                EXPECT_GE(k.width, 18);
            }
    // At the right edge with a notification column the ends follow the card.
    const Connector wide = connector({RailEdge::right, 1.0, true});
    EXPECT_DOUBLE_EQ(wide.startX, 795 - 107 + 6);
    EXPECT_DOUBLE_EQ(wide.endX, 795 - 90 - 6);
}

TEST(ExpandedRailGeometry, StripContentFitsItsHeightAtBothScales)
{
    // A module not shown is placed as the first one.
    const std::vector<RailModule> few{RailModule::calendar, RailModule::focus};
    EXPECT_DOUBLE_EQ(moduleIconY(RailModule::notes, few, 1.0), moduleIconY(0, 2, 1.0));
    EXPECT_DOUBLE_EQ(moduleIconY(RailModule::focus, few, 1.0), moduleIconY(1, 2, 1.0));
    for (const double s : {1.0, 1.25})
        for (const bool minimize : {false, true})
            for (int n = 1; n <= 10; ++n) {
                SCOPED_TRACE(testing::Message() << "s " << s << " minimize " << minimize << " n " << n);
                EXPECT_LE(stripContentHeight(n, minimize, s), stripHeight(n, s));
                // The last button's centre lies inside the strip, above the actions.
                const double top = (620 * s - stripHeight(n, s)) / 2;
                EXPECT_LE(moduleIconY(n - 1, n, s) + 21 * s, top + stripHeight(n, s) - stripVerticalPadding);
            }
}

TEST(ExpandedRailGeometry, CardCentreFollowsItsButtonWithinTheCanvas)
{
    for (const double s : {1.0, 1.25}) {
        const double low = 250 * s + 10, high = 370 * s - 10;
        for (double y = -50; y <= 900; y += 7.5) {
            const double c = detailCardCenterY(y, s);
            EXPECT_TRUE(c >= low && c <= high && (c == y || y < low || y > high)) << s << " " << y << ": " << c;
        }
    }
}

TEST(ExpandedRailGeometry, NotificationsBesideTheCardInsideTheCanvas)
{
    std::vector<RailModule> all;
    for (int m = 0; m < 10; ++m)
        all.push_back(RailModule(m));
    RailViewInput in;
    in.focusAlert = in.calendarAlert = in.prayerAlert = in.reminderAlert = true;
    for (const auto &[edge, cardColumn, ownColumn] :
         {std::tuple{RailEdge::left, 266.0, 603.0}, std::tuple{RailEdge::right, 529.0, 192.0}}) {
        in.edge = edge;
        in.scale = 1;
        const std::vector<PlacedNotification> placed = sideNotifications(in, all);
        ASSERT_EQ(placed.size(), 4u);
        const double xs[] = {cardColumn, cardColumn, ownColumn, ownColumn};
        const RailModule at[] = {RailModule::focus, RailModule::calendar, RailModule::prayers, RailModule::reminders};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(placed[i].centre, QPointF(xs[i], moduleIconY(at[i], all, 1.0)));
            EXPECT_EQ(placed[i].size, railview::notificationSize(placed[i].kind));
        }
        // Every notification stays on the canvas, whatever the scale and modules.
        for (const double s : {1.0, 1.25})
            for (std::size_t n = 1; n <= all.size(); ++n) {
                in.scale = s;
                const std::vector<RailModule> visible(all.begin(), all.begin() + long(n));
                const Canvas c{edge, s, true};
                for (const PlacedNotification &p : sideNotifications(in, visible)) {
                    const QRectF frame(p.centre - QPointF(p.size.width(), p.size.height()) / 2, p.size);
                    EXPECT_TRUE(QRectF(0, 0, width(c), height(c)).contains(frame)) << int(p.kind) << " n " << n;
                }
            }
    }
    // Focus alone keeps the narrow canvas: over the card at the right edge.
    in = RailViewInput{};
    in.focusAlert = true;
    EXPECT_EQ(sideNotifications(in, all).at(0).centre.x(), 175);
    EXPECT_TRUE(sideNotifications(RailViewInput{}, all).empty());
    // The large rail scales every column but not the 12-point alert gap.
    const Canvas large{RailEdge::left, 1.25, true};
    EXPECT_DOUBLE_EQ(width(large), 795 * 1.25);
    EXPECT_DOUBLE_EQ(expandedAlertCenterX(large, wideAlertWidth), 266 * 1.25 + 159 * 1.25 + 12 + 166);
}

TEST(ExpandedRailGeometry, TopStripGivesWayFromItsActions)
{
    // Wide enough: the row the panel's frame is sized for.
    for (const double s : {1.0, 1.25})
        for (int n = 1; n <= 10; ++n)
            for (const bool minimize : {false, true}) {
                const double frameWidth = railframe::topToolbarContentWidth(n, minimize, s);
                const toprail::StripFit fit = toprail::stripFit(frameWidth, n, minimize ? 3 : 2, s);
                EXPECT_DOUBLE_EQ(fit.contentWidth + 28, frameWidth);
                EXPECT_EQ(fit.spacing, 10);
                EXPECT_EQ(fit.overflow, 0);
            }

    // Ten modules and three actions need 779 at s = 1: the spacing gives way
    // first, then the actions, the padding and the module spacing; then the
    // leading actions go, Settings last of all; then the trailing modules.
    const std::tuple<double, double, double, double, double, int, int> rows[] = {
        {779, 10, 30, 14, 8, 3, 10}, {767, 7, 30, 14, 8, 3, 10}, {752, 4, 29, 14, 8, 3, 10}, {737, 4, 24, 14, 8, 3, 10},
        {723, 4, 24, 7, 8, 3, 10},   {668, 4, 24, 7, 4, 2, 10},  {640, 4, 24, 7, 4, 1, 10},  {620, 4, 24, 7, 4, 1, 9}};
    for (const auto &row : rows) {
        const toprail::StripFit fit = toprail::stripFit(std::get<0>(row), 10, 3, 1.0);
        EXPECT_EQ(std::tuple(std::get<0>(row), fit.spacing, fit.actionWidth, fit.padding, fit.moduleSpacing,
                             fit.shownActions, fit.shownModules),
                  row);
        EXPECT_EQ(fit.overflow, 0);
    }
    // At every width the rail can have, Settings shows whole inside the glass.
    for (const double s : {1.0, 1.25})
        for (int n = 1; n <= 10; ++n)
            for (const int actions : {2, 3})
                for (double panel = 350 * s; panel <= 1400; panel += 7) {
                    const double strip = panel - 32 * s;
                    const toprail::StripFit fit = toprail::stripFit(strip, n, actions, s);
                    SCOPED_TRACE(testing::Message() << s << " " << n << " " << actions << " " << panel);
                    ASSERT_GE(fit.shownActions, 1);
                    ASSERT_GE(fit.actionWidth, toprail::minimumActionWidth);
                    ASSERT_LE(fit.contentWidth, strip - 2 * fit.padding + 1e-9);
                }
}

TEST(ToolStripRules, BadgeTextAndReorderSteps)
{
    const std::pair<int, const char *> badges[] = {{0, "-"}, {-3, "-"}, {1, "1"}, {99, "99"}, {100, "99+"}};
    for (const auto &[n, text] : badges)
        EXPECT_EQ(toolstrip::badgeText(n).value_or(u"-"_s), QLatin1String(text));
    // Half a step rounds away from zero, in both directions; the large
    // rail's step is 62.5; the target is clamped to the visible list.
    const std::tuple<int, double, int, double, int> rows[] = {
        {3, 24, 10, 1.0, 3},  {3, 25, 10, 1.0, 4},  {3, -24, 10, 1.0, 3}, {3, -25, 10, 1.0, 2},
        {3, 124, 10, 1.0, 5}, {3, 125, 10, 1.0, 6}, {0, 31, 10, 1.25, 0}, {0, 31.25, 10, 1.25, 1},
        {2, 1000, 6, 1.0, 5}, {2, -1000, 6, 1.0, 0}};
    for (const auto &[start, by, count, scale, target] : rows)
        EXPECT_EQ(toolstrip::reorderTarget(start, by, count, scale), target) << start << " by " << by;
}

TEST(ExpandedRailGeometry, OnAShortScreenTheStripAndCardFitTheHeightTheyHave)
{
    // Panels 468 and 648 tall: screens of 540 and 720 points.
    for (const double room : {468.0, 648.0})
        for (const double s : {1.0, 1.25})
            for (const int actions : {2, 3})
                for (int n = 1; n <= 10; ++n) {
                    SCOPED_TRACE(testing::Message()
                                 << "room " << room << " s " << s << " actions " << actions << " n " << n);
                    const Canvas c{RailEdge::right, s, false, room};
                    EXPECT_DOUBLE_EQ(height(c), std::min(620 * s, room));
                    const SideStripFit fit = sideStripFit(c, n, actions);
                    EXPECT_LE(fit.height, room);
                    EXPECT_LE(fit.contentHeight, fit.height + 1e-9);
                    EXPECT_GE(fit.shownActions, 1) << "Settings stays";
                    EXPECT_TRUE(fit.shownModules == n || fit.shownActions == 1) << "the actions go first";
                    EXPECT_GE(fit.padding, minimumSidePadding);
                    EXPECT_GE(fit.moduleSpacing, minimumSideSpacing);
                    // Nothing closes up where everything fits as usual.
                    if (stripContentHeight(n, actions == 3, s) <= room) {
                        EXPECT_EQ(fit.shownModules, n);
                        EXPECT_EQ(fit.shownActions, actions);
                        EXPECT_DOUBLE_EQ(fit.moduleSpacing, buttonSpacing * s);
                        EXPECT_DOUBLE_EQ(fit.padding, stripVerticalPadding);
                    }
                    // The last button shown stays above the actions; the card
                    // follows any button within the canvas, 10 clear.
                    const double top = (height(c) - fit.height) / 2;
                    const double lastBottom = moduleIconY(n - 1, fit, c) + buttonHeight * s / 2;
                    EXPECT_LE(lastBottom + actionSpacerMinimum + fit.shownActions * actionButtonHeight,
                              top + fit.height - fit.padding + 1e-9);
                    for (int i = 0; i < n; ++i) {
                        const double y = detailCardCenterY(moduleIconY(i, fit, c), c);
                        EXPECT_GE(y - detailCardHeight(c) / 2, 10 - 1e-9);
                        EXPECT_LE(y + detailCardHeight(c) / 2, height(c) - 10 + 1e-9);
                    }
                }
    // 1080p at scale 2: the first nine buttons and Settings.
    const SideStripFit short540 = sideStripFit({RailEdge::left, 1.0, false, 468}, 10, 3);
    EXPECT_EQ(short540.shownModules, 9);
    EXPECT_EQ(short540.shownActions, 1);
    EXPECT_DOUBLE_EQ(detailCardHeight({RailEdge::left, 1.0, false, 468}), 448);
}
