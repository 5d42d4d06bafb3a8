// The cards' animations, driven frame by frame from the test. Every other
// case of this suite checks where a change lands, so the suite runs with
// motion off and the cases here turn it on for themselves.
#include "cards/calendar/CalendarAgendaList.h"
#include "cards/calendar/CalendarCard.h"
#include "cards/calendar/CalendarWeekStrip.h"
#include "cards/focus/FocusTimerRing.h"
#include "cards/notes/NotesCard.h"
#include "cards/notes/NotesWidgets.h"
#include "cards/reminders/ReminderComposer.h"
#include "cards/reminders/RemindersCard.h"
#include "style/Motion.h"
#include "style/widgets/Reveal.h"

#include "CardTest.h"

#include <QGraphicsOpacityEffect>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

class StillMotion : public ::testing::Environment {
public:
    void SetUp() override { OrlixMotion::setEnabled(false); }
};
const auto *const g_stillMotion = ::testing::AddGlobalTestEnvironment(new StillMotion);

using test::anyRunning;
using CalendarMotion = test::CardTest<CalendarCard>;
using NotesMotion = test::CardTest<NotesCard>;
using RemindersMotion = test::CardTest<RemindersCard>;

TEST(CardMotion, FocusArcAndTimeFieldSwapMoveThenRest)
{
    test::Frames frames;
    FocusTimerRing ring;
    ring.setProgress(0.25); // unseen: lands at once
    EXPECT_DOUBLE_EQ(ring.shownProgress(), 0.25);
    ring.show();
    ring.setProgress(0.75);
    EXPECT_DOUBLE_EQ(ring.progress(), 0.75) << "the value is the card's at once";
    frames.advanceBy(80);
    EXPECT_TRUE(test::between(ring.shownProgress(), 0.25, 0.75));
    frames.advanceBy(OrlixMotion::smooth().durationMs);
    EXPECT_DOUBLE_EQ(ring.shownProgress(), 0.75);
    EXPECT_FALSE(ring.isMoving());

    ring.setEditing(true);
    EXPECT_TRUE(ring.field()->isVisible());
    EXPECT_LT(ring.swapOpacity(), 0.1) << "the field fades in";
    frames.advanceBy(120);
    EXPECT_GT(ring.swapOpacity(), 0.1);
    frames.advanceBy(OrlixMotion::smooth().durationMs);
    EXPECT_DOUBLE_EQ(ring.swapOpacity(), 1.0);
    EXPECT_EQ(ring.field()->graphicsEffect(), nullptr) << "at rest it paints directly";
    ring.setEditing(false);
    EXPECT_TRUE(ring.timeButton()->isVisible());
    frames.advanceBy(OrlixMotion::smooth().durationMs + 16);
    EXPECT_FALSE(anyRunning(ring));
}

TEST_F(CalendarMotion, SelectionSlidesAndTheOldDayLeavesSinking)
{
    test::Frames frames;
    cardSize = {330, 900};
    CalendarCard &calendar = makeCard();
    QCoreApplication::processEvents();
    CalendarWeekStrip *strip = calendar.weekStrip();
    const auto cells = strip->cells();
    ASSERT_GE(cells.size(), 4u);
    const auto numberAt = [](CalendarDayCell *cell) { return cell->dayNumberRect().translated(cell->pos()); };
    EXPECT_EQ(strip->highlightRect(), numberAt(cells[0]));

    cells[3]->click();
    EXPECT_EQ(calendar.selectedDayID(), cells[3]->dayID()) << "the choice itself is at once";
    EXPECT_TRUE(calendar.agenda()->isChangingDay());
    frames.advanceBy(100);
    const qreal x = strip->highlightRect().x();
    EXPECT_GT(x, numberAt(cells[0]).x());
    EXPECT_LT(x, numberAt(cells[3]).x() + 4) << "on its way";
    const qreal change = calendar.agenda()->dayChangeProgress();
    EXPECT_TRUE(test::between(change, 0.0, 1.0));

    frames.advanceBy(OrlixMotion::smooth().durationMs + 16);
    EXPECT_EQ(strip->highlightRect(), numberAt(cells[3]));
    EXPECT_FALSE(calendar.agenda()->isChangingDay());
    EXPECT_EQ(calendar.agenda()->graphicsEffect(), nullptr);
    EXPECT_FALSE(anyRunning(calendar));
}

TEST_F(NotesMotion, ComposerSlidesInAndLeavesOnTheSwapCurve)
{
    test::Frames frames;
    cardSize = {340, 700};
    NotesCard &notes = makeCard();
    auto *toggle = find<QAbstractButton>(u"notesComposerToggle"_s);
    toggle->click();
    frames.advanceBy(OrlixMotion::contentSwap().durationMs / 2);
    auto *label = dynamic_cast<QGraphicsOpacityEffect *>(toggle->graphicsEffect());
    ASSERT_NE(label, nullptr) << "the toggle's new label fades in";
    EXPECT_TRUE(test::between(label->opacity(), 0.2, 0.8));
    EXPECT_TRUE(test::between(notes.composerReveal().progress(), 0.2, 0.8));
    frames.advanceBy(OrlixMotion::contentSwap().durationMs);
    EXPECT_DOUBLE_EQ(notes.composerReveal().progress(), 1.0);
    EXPECT_EQ(notes.composer()->graphicsEffect(), nullptr);
    EXPECT_EQ(toggle->graphicsEffect(), nullptr);

    toggle->click();
    EXPECT_FALSE(notes.isComposerOpen());
    EXPECT_TRUE(notes.composer()->isVisible()) << "it leaves before it goes";
    frames.advanceBy(OrlixMotion::contentSwap().durationMs + 16);
    EXPECT_FALSE(notes.composer()->isVisible());
    EXPECT_FALSE(notes.composerReveal().isMoving());
    EXPECT_FALSE(anyRunning(notes));
}

TEST_F(RemindersMotion, ChipsAndComposerMoveOnTheSpring)
{
    test::Frames frames;
    cardSize = {318, 620};
    RemindersCard &reminders = makeCard();
    auto *today = find<ReminderFilterChip>(u"reminderFilter_today"_s);
    auto *overdue = find<ReminderFilterChip>(u"reminderFilter_overdue"_s);
    EXPECT_DOUBLE_EQ(today->selectedness(), 1.0);
    overdue->click();
    frames.advanceBy(80);
    EXPECT_TRUE(test::between(overdue->selectedness(), 0.0, 1.0));
    EXPECT_LT(today->selectedness(), 1.0);
    frames.advanceBy(OrlixMotion::smooth().durationMs);
    EXPECT_DOUBLE_EQ(overdue->selectedness(), 1.0);
    EXPECT_DOUBLE_EQ(today->selectedness(), 0.0);

    reminders.composerAction();
    frames.advanceBy(60);
    EXPECT_TRUE(reminders.composerReveal().isMoving());
    EXPECT_LT(reminders.composerReveal().progress(), 1.0);
    frames.advanceBy(OrlixMotion::smooth().durationMs);
    EXPECT_DOUBLE_EQ(reminders.composerReveal().progress(), 1.0);
    EXPECT_FALSE(anyRunning(reminders));
}

} // namespace
} // namespace kolu
