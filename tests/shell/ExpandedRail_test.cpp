#include "shell/rail/expanded/ExpandedRail.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/FloatingConnector.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/TopExpandedRail.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>

#include <memory>

using namespace kolu;

namespace {

class ExpandedRailTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    test::ManualClock clock;
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    std::unique_ptr<AppState> state = std::make_unique<AppState>(defaults, clock, services.take());

    // A press on `w` at `at` and a release `by` away from it, in fractional points.
    void swipe(QWidget *w, QPointF at, QPointF by)
    {
        const QPointF global = w->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at + by, global + by, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(w, &release);
    }
};

} // namespace

TEST_F(ExpandedRailTest, PartsSitWhereTheGeometrySays)
{
    for (const RailEdge edge : {RailEdge::left, RailEdge::right}) {
        SCOPED_TRACE(int(edge));
        state->setSelectedModule(RailModule::links);
        state->setRailEdge(edge);
        ExpandedRail rail(*state);
        rail.resize(441, 700);
        rail.show();
        const QRect canvas = rail.canvasRect();
        EXPECT_EQ(canvas.size(), QSize(441, 620));
        EXPECT_EQ(canvas.top(), 40);
        const expandedrail::Canvas c = rail.canvas();
        EXPECT_EQ(rail.toolStrip()->geometry().center().x() + 1, canvas.left() + int(expandedrail::toolStripCenterX(c)));
        EXPECT_EQ(rail.detailPanel()->size(), QSize(318, 500));
        const double iconY = expandedrail::moduleIconY(RailModule::links, state->visibleRailModules(), 1.0);
        EXPECT_DOUBLE_EQ(rail.connector()->y(), iconY);
        EXPECT_NEAR(rail.detailPanel()->geometry().center().y() + 0.5,
                    canvas.top() + expandedrail::detailCardCenterY(iconY, 1.0), 1);
        // The connector's button sits on that line in the strip.
        QWidget *button = rail.toolStrip()->findChild<QWidget *>(QStringLiteral("toolStripButton-links"));
        ASSERT_NE(button, nullptr);
        rail.toolStrip()->layout()->activate();
        const QPoint buttonCentre = button->mapTo(&rail, button->rect().center());
        EXPECT_NEAR(buttonCentre.y() + 0.5, canvas.top() + iconY, 1);
        // A new selection takes the card along.
        state->openModule(RailModule::focus);
        EXPECT_EQ(rail.detailPanel()->module(), RailModule::focus);
    }
}

TEST_F(ExpandedRailTest, SidewaysSwipeCollapsesPastItsThresholds)
{
    ExpandedRail rail(*state);
    rail.resize(441, 620);
    rail.show();
    QWidget *title = rail.detailPanel()->findChild<QLabel *>(QStringLiteral("detailTitle"));
    ASSERT_NE(title, nullptr);
    struct Row {
        QPointF by;
        bool collapses;
    };
    const Row rows[] = {{{70, 0}, false}, {{71, 0}, true}, {{-110, 0}, false}, {{-111, 0}, true},
                        {{10, 5}, false}, {{0, 200}, false}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.by.x());
        state->setIsExpanded(true);
        swipe(title, QPointF(4, 4), r.by);
        EXPECT_EQ(!state->isExpanded(), r.collapses);
    }
    // A swipe that starts in a text field selects text instead.
    auto *field = new QLineEdit(rail.detailPanel());
    state->setIsExpanded(true);
    swipe(field, QPointF(4, 4), QPointF(200, 0));
    EXPECT_TRUE(state->isExpanded());
    // So does a reorder drag.
    state->setIsReorderingRail(true);
    swipe(title, QPointF(4, 4), QPointF(200, 0));
    EXPECT_TRUE(state->isExpanded());
}

TEST_F(ExpandedRailTest, TopRailCollapsesOnlyUpwards)
{
    state->setRailEdge(RailEdge::top);
    TopExpandedRail rail(*state);
    rail.resize(800, 620);
    rail.show();
    QWidget *title = rail.detailPanel()->findChild<QLabel *>(QStringLiteral("detailTitle"));
    struct Row {
        QPointF by;
        bool collapses;
    };
    const Row rows[] = {{{0, -70}, false}, {{0, -71}, true}, {{0, 300}, false}, {{300, 0}, false},
                        {{-300, 0}, false}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.by.y());
        state->setIsExpanded(true);
        swipe(title, QPointF(4, 4), r.by);
        EXPECT_EQ(!state->isExpanded(), r.collapses);
    }
}
