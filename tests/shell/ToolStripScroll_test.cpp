#include "ShellFixture.h"

#include "shell/rail/EdgeNotificationRings.h"
#include "shell/rail/expanded/ExpandedRail.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/ToolStripButton.h"

#include "ManualAnimationDriver.h"

#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtMath>

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class ToolStripScrollTest : public test::RailStateTest {
protected:
    static QRect in(const QWidget *w, const QWidget *to) { return {w->mapTo(to, QPoint()), w->size()}; }
    static void wheel(QWidget *w, int notches)
    {
        const QPointF at = QRectF(w->rect()).center();
        QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &e);
    }
    static void press(QWidget *w, QPointF at, QEvent::Type type, Qt::MouseButtons held)
    {
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
};

// A strip too short for every module button: the buttons keep their size and
// scroll by the wheel and by a drag, with the glass fading in at an end past
// which more buttons lie. Settings stays where it is; a drag opens nothing.
TEST_F(ToolStripScrollTest, ButtonsThatDoNotFitScrollByWheelAndDragAndSettingsStays)
{
    state->setSelectedModule(RailModule::today);
    ExpandedToolStrip strip(*state);
    strip.resize(qRound(expandedrail::stripWidth), 468);
    strip.show();
    strip.layout()->activate();
    ASSERT_TRUE(strip.isModuleListScrolling());
    QScrollBar *bar = strip.moduleList()->verticalScrollBar();
    auto *settings = strip.findChild<QWidget *>(u"settingsButton"_s);
    auto *top = strip.findChild<QWidget *>(u"toolStripFadeTop"_s);
    auto *bottom = strip.findChild<QWidget *>(u"toolStripFadeBottom"_s);
    ASSERT_TRUE(settings && top && bottom);
    const QRect settingsAt = in(settings, &strip);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_FALSE(top->isVisible());
    EXPECT_TRUE(bottom->isVisible()) << "more lie below";
    for (ToolStripButton *b : strip.buttons()) {
        EXPECT_TRUE(b->isVisible());
        EXPECT_EQ(b->size(), b->sizeHint());
    }
    ToolStripButton *last = strip.buttons().back();
    EXPECT_FALSE(in(strip.moduleList(), &strip).contains(in(last, &strip))) << "the last one lies past the end";

    // The wheel over a button scrolls the list to its end.
    wheel(strip.buttons().front(), -10);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(in(strip.moduleList(), &strip).contains(in(last, &strip)));
    EXPECT_TRUE(top->isVisible());
    EXPECT_FALSE(bottom->isVisible());
    EXPECT_EQ(in(settings, &strip), settingsAt) << "Settings does not move";

    // A drag on a button brings the list back and opens nothing.
    ToolStripButton *grabbed = strip.buttons()[5];
    const QPointF from = QRectF(grabbed->rect()).center();
    press(grabbed, from, QEvent::MouseButtonPress, Qt::LeftButton);
    for (int dy = 4; dy <= 400; dy += 4)
        press(grabbed, from + QPointF(0, dy), QEvent::MouseMove, Qt::LeftButton);
    press(grabbed, from + QPointF(0, 400), QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(state->selectedModule(), RailModule::today);
    EXPECT_FALSE(grabbed->isDown());
    clock.advance(1s);
    EXPECT_FALSE(state->isReorderingRail());

    // A click still opens its module; one past the end is brought into view.
    click(strip.buttons()[1]);
    EXPECT_EQ(state->selectedModule(), strip.buttons()[1]->module());
    state->setSelectedModule(last->module());
    EXPECT_TRUE(in(strip.moduleList(), &strip).contains(in(last, &strip)));
    EXPECT_TRUE(in(strip.moduleList(), &strip).contains(strip.selectionRect().toRect()));

    // Tall enough again: nothing scrolls and nothing fades.
    strip.resize(strip.width(), 720);
    strip.layout()->activate();
    EXPECT_FALSE(strip.isModuleListScrolling());
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_FALSE(top->isVisible() || bottom->isVisible());
}

// The rings of a pulsing button show only level with the list's visible
// part: scrolled out of it, the button rings nowhere, not over the actions
// nor past the strip's end; scrolled back, its rings come with it.
TEST_F(ToolStripScrollTest, RingsOfAButtonScrolledOutOfTheListDoNotShow)
{
    test::ManualAnimationDriver wallClockHeld;
    EdgeNotificationRings::setTimeSource([] { return 0.0; }); // the rings stay at their first picture
    state->setRailEdge(RailEdge::left);
    state->setSelectedModule(RailModule::today);
    state->setIsExpanded(true);
    struct Look {
        QImage picture;
        QRect button, list, strip;
    };
    // The rail 240 tall with the list at its start, or scrolled to bring the
    // focus button to its top.
    const auto paint = [&](bool alert, bool focusInView) {
        state->setPomodoroAlertVisible(alert);
        ExpandedRail rail(*state);
        rail.resize(qCeil(expandedrail::width(rail.canvas())), 240);
        rail.show();
        test::settle(rail);
        auto *strip = qobject_cast<ExpandedToolStrip *>(rail.toolStrip());
        strip->layout()->activate();
        QWidget *focus = strip->button(RailModule::focus);
        strip->moduleList()->verticalScrollBar()->setValue(focusInView ? focus->y() : 0);
        const QWidget *list = strip->moduleList()->viewport();
        return Look{test::picture(rail), QRect(focus->mapTo(&rail, QPoint()), focus->size()),
                    QRect(list->mapTo(&rail, QPoint()), list->size()), strip->geometry()};
    };
    // What differs between the calm and the alert pictures in the rows of the
    // focus button's rings, across the strip and the screen side beside it.
    const auto ringing = [&](bool focusInView, bool inList) {
        const Look calm = paint(false, focusInView);
        const Look alert = paint(true, focusInView);
        int changed = 0;
        const int centre = alert.button.center().y();
        for (int y = std::max(0, centre - 43); y <= std::min(alert.picture.height() - 1, centre + 43); ++y) {
            if (alert.list.contains(alert.list.center().x(), y) != inList)
                continue;
            for (int x = 0; x <= alert.strip.right(); ++x)
                changed += calm.picture.pixel(x, y) != alert.picture.pixel(x, y);
        }
        return std::tuple(changed, alert.button, alert.list);
    };

    const auto [outside, away, list] = ringing(false, false);
    ASSERT_FALSE(list.intersects(away)) << "the focus button lies past the list's end";
    EXPECT_EQ(outside, 0) << "rings of a button scrolled away show";

    const auto [inside, shown, sameList] = ringing(true, true);
    ASSERT_TRUE(sameList.contains(shown));
    EXPECT_GT(inside, 10) << "the rings of a button in view show";
    EdgeNotificationRings::setTimeSource({});
}

} // namespace
