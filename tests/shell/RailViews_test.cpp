#include "ManualAnimationDriver.h"
#include "ShellFixture.h"
#include "TestFiles.h"

#include "model/PersistedFiles.h"
#include "platform/notifications/NotificationScheduler.h"
#include "services/notifications/NotificationIdentifiers.h"
#include "shell/rail/ClipboardEdgePulse.h"
#include "shell/rail/DrawnShape.h"
#include "shell/rail/DockRail.h"
#include "shell/rail/EdgeAlert.h"
#include "shell/rail/EdgeHandle.h"
#include "shell/rail/EdgeNotification.h"
#include "shell/rail/EdgeNotificationRings.h"
#include "shell/rail/EdgeNotificationRingsClock.h"
#include "shell/rail/EdgeNotificationRingsPictures.h"
#include "shell/rail/RailTransition.h"
#include "shell/RailFrameState.h"
#include "shell/rail/expanded/ExpandedRail.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/FloatingConnector.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/ToolStripButton.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/SnapshotOpacityEffect.h"
#include "style/WidgetSnapshot.h"
#include "style/widgets/ElidedLabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QMenu>
#include <QPaintEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVariantAnimation>
#include <QWindow>

#include <bit>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {
class RailViewsTest : public test::RailStateTest {
protected:
    int layoutCalls = 0;

    void SetUp() override
    {
        state->loadSavedState();
        QObject::connect(state.get(), &AppState::chromeNeedsLayout, [this] { ++layoutCalls; });
    }
    QString makeFile(const QString &relative)
    {
        EXPECT_TRUE(test::writeFile(home.path(relative)));
        return home.path(relative);
    }
};

TEST_F(RailViewsTest, LayoutAndAlertForEachCombinationOfFields)
{
    RailView view(*state);
    view.resize(441, 620);
    view.show();
    for (RailEdge edge : {RailEdge::left, RailEdge::right, RailEdge::top}) {
        state->setRailEdge(edge);
        for (int bits = 0; bits < 32; ++bits) {
            SCOPED_TRACE(testing::Message() << "edge " << int(edge) << " bits " << bits);
            raiseAlerts(bits);
            state->setClipboardPulseActive(bits & 16);
            const EdgeAlertKind order[] = {EdgeAlertKind::calendar, EdgeAlertKind::prayer, EdgeAlertKind::reminder,
                                           EdgeAlertKind::focus};
            const int first = std::countr_zero(unsigned(bits | 16));
            const auto expected = first < 4 ? std::optional(order[first]) : std::nullopt;
            const bool top = edge == RailEdge::top;
            ASSERT_EQ(view.currentLayout(), top ? RailViewLayout::topDock : RailViewLayout::dock);
            auto *dock = qobject_cast<DockRail *>(view.content());
            ASSERT_TRUE(dock);
            EXPECT_EQ(dock->notification() ? std::optional(dock->notification()->kind()) : std::nullopt, expected);
            // At a side the alert is the tile with its notification; at the top the notification alone.
            EXPECT_EQ(dock->alert() ? std::optional(dock->alert()->kind()) : std::nullopt,
                      top ? std::optional<EdgeAlertKind>() : expected);
            EXPECT_EQ(dock->pulse() != nullptr, !expected && (bits & 16));
            // At the top the pulse shows below the handle; at a side it takes its place.
            EXPECT_EQ(dock->handle() != nullptr, !expected && (top || !(bits & 16)));
        }
    }
    raiseAlerts(0);
    state->setIsDockRevealed(true);
    EXPECT_EQ(view.currentLayout(), RailViewLayout::topDock) << "revealing alone keeps the collapsed layout";
}

TEST_F(RailViewsTest, HandleOpensOnAClickOrFilesButRefusesTextAndThePulseOpensTheTray)
{
    state->setRailEdge(RailEdge::right);
    EdgeHandle handle(*state);
    handle.resize(handle.sizeHint());
    handle.show();
    QTest::mouseClick(&handle, Qt::LeftButton);
    EXPECT_TRUE(state->isExpanded());
    state->hideToEdge();

    QMimeData text;
    text.setText(u"hello"_s);
    EXPECT_FALSE(test::dragEnter(&handle, text));
    EXPECT_FALSE(handle.isFileDropTarget());
    EXPECT_FALSE(state->isExpanded());

    QMimeData web;
    web.setUrls({QUrl(u"https://example.org/a.txt"_s)});
    EXPECT_FALSE(EdgeHandle::carriesLocalFiles(&web));

    const QString path = makeFile(u"Documents/a.txt"_s);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(path)});
    EXPECT_TRUE(test::dragEnter(&handle, files));
    EXPECT_TRUE(handle.isFileDropTarget());
    EXPECT_TRUE(state->isExpanded());
    EXPECT_EQ(state->selectedModule(), RailModule::fileTray);
    test::dragLeave(&handle);
    EXPECT_FALSE(handle.isFileDropTarget());
    EXPECT_TRUE(state->isExpanded()) << "leaving does not undo the opening";

    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    // The application refuses to route a drop when no drag is under way, so
    // the widget gets it straight.
    static_cast<QObject &>(handle).event(&drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(test::waitUntil([&] { return state->fileTrayItems().size() == 1; }));

    // A click on the clipboard pulse opens the tray.
    state->hideToEdge();
    state->setSelectedModule(RailModule::today);
    ClipboardEdgePulse pulse(*state);
    pulse.resize(pulse.sizeHint());
    QTest::mouseClick(&pulse, Qt::LeftButton);
    EXPECT_TRUE(state->isExpanded());
    EXPECT_EQ(state->selectedModule(), RailModule::fileTray);
}

TEST_F(RailViewsTest, NotificationActionsReachTheState)
{
    // Reminder: the third menu item snoozes 20 minutes.
    raiseAlerts(4);
    {
        EdgeNotification note(EdgeAlertKind::reminder, *state);
        ASSERT_TRUE(note.remindMenu());
        const auto actions = note.remindMenu()->actions();
        ASSERT_EQ(actions.size(), 4);
        EXPECT_EQ(actions[2]->text(), u"20 minutes"_s);
        actions[2]->trigger();
        EXPECT_FALSE(state->activeReminderAlert());
        ASSERT_EQ(services.scheduler->pendingIdentifiers().size(), 1);
        EXPECT_TRUE(services.scheduler->pendingIdentifiers().front().startsWith(
            notificationid::reminderSnoozePrefixFor(u"r-7"_s)));
    }
    // Focus: Stop clears the alert, refills the timer and writes its file.
    state->mutate<AppState::Field::pomodoro>([](PomodoroState &p) {
        p.remaining = 12;
        p.isRunning = true;
    });
    raiseAlerts(8);
    {
        EdgeNotification note(EdgeAlertKind::focus, *state);
        auto *stop = note.findChild<QAbstractButton *>(u"stopButton"_s);
        ASSERT_TRUE(stop);
        layoutCalls = 0;
        QTest::mouseClick(stop, Qt::LeftButton);
        EXPECT_FALSE(state->pomodoroAlertVisible());
        EXPECT_GE(layoutCalls, 1);
        const auto saved = state->files().read<PomodoroFile>();
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->remaining, state->pomodoro().focusDuration);
        EXPECT_FALSE(saved->isRunning);
    }
    // Calendar and prayer Stop clear their fields and ask for a relayout;
    // answered inside the rail, each alert leaves for the next one.
    raiseAlerts(1 | 2 | 8);
    DockRail dock(*state);
    dock.resize(441, 620);
    dock.show();
    for (const EdgeAlertKind kind : {EdgeAlertKind::calendar, EdgeAlertKind::prayer}) {
        ASSERT_TRUE(dock.alert() && dock.alert()->kind() == kind) << int(kind);
        ASSERT_TRUE(test::waitUntil([&] { return dock.alert()->notification()->isOnScreen(); }));
        clock.advance(EdgeNotification::settleTime); // past the time a new banner takes no press
        layoutCalls = 0;
        QTest::mouseClick(dock.alert()->notification()->findChild<QAbstractButton *>(u"stopButton"_s), Qt::LeftButton);
        EXPECT_GE(layoutCalls, 1);
    }
    EXPECT_TRUE(dock.alert() && dock.alert()->kind() == EdgeAlertKind::focus);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(RailViewsTest, ABannerJustShownTakesNoPressMeantForWhatWasThere)
{
    // The card's "+" where the focus banner is about to come up.
    QWidget card;
    card.resize(441, 200);
    auto *plus = new QPushButton(u"+"_s, &card);
    plus->setGeometry(card.rect());
    int plusClicks = 0;
    QObject::connect(plus, &QPushButton::clicked, [&] { ++plusClicks; });
    raiseAlerts(8);
    auto *note = new EdgeNotification(EdgeAlertKind::focus, *state, &card);
    note->hide();
    card.show();
    auto *snooze = note->findChild<QAbstractButton *>(u"snoozeButton"_s);
    ASSERT_NE(snooze, nullptr);
    const auto pressAt = [&](QWidget *w, QEvent::Type type) {
        mouse(w, type, w->rect().center(), type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton);
    };

    // A press begun on the card before the banner showed, let go on it.
    pressAt(plus, QEvent::MouseButtonPress);
    note->show();
    note->raise();
    ASSERT_TRUE(test::waitUntil([&] { return note->isOnScreen(); }));
    clock.advance(std::chrono::milliseconds(600));
    pressAt(snooze, QEvent::MouseButtonRelease);
    EXPECT_TRUE(state->pomodoroAlertVisible()) << "the release snoozed";

    // Shown again while the program is too busy to paint it: the half second
    // counts from its first frame, however long that takes.
    note->hide();
    note->setUpdatesEnabled(false);
    note->show();
    clock.advance(std::chrono::milliseconds(600));
    ASSERT_FALSE(note->isOnScreen());
    pressAt(snooze, QEvent::MouseButtonPress);
    EXPECT_FALSE(snooze->isDown()) << "a press before the first frame went down";
    pressAt(snooze, QEvent::MouseButtonRelease);
    note->setUpdatesEnabled(true);
    ASSERT_TRUE(test::waitUntil([&] { return note->isOnScreen(); }));

    // A click at +0.2 s does nothing, even released after the half second;
    // one at +0.6 s snoozes.
    clock.advance(std::chrono::milliseconds(200));
    pressAt(snooze, QEvent::MouseButtonPress);
    EXPECT_FALSE(snooze->isDown());
    clock.advance(std::chrono::milliseconds(400));
    pressAt(snooze, QEvent::MouseButtonRelease);
    EXPECT_TRUE(state->pomodoroAlertVisible()) << "a press at +0.2 s snoozed";
    click(snooze);
    EXPECT_FALSE(state->pomodoroAlertVisible()) << "a click at +0.6 s did not snooze";
    EXPECT_EQ(plusClicks, 0);
}

// Every line of a notification shows at its full height, in the desktop
// fonts that run taller than the ones its size was made for, and "Time is
// up" with its two lines shows whole; a long title is cut inside the banner.
TEST_F(RailViewsTest, EveryLineShowsWholeInTallDesktopFontsAndLongTitlesAreCut)
{
    CalendarEvent event;
    event.title = QString(2000, u'\u05D0'); // right-to-left
    event.startDate = clock.now();
    state->setActiveCalendarAlert(event);
    const QFont before = QApplication::font();
    int tried = 0;
    for (const QString &family : {u"Noto Sans"_s, u"DejaVu Sans"_s, u"Cantarell"_s, u"Ubuntu"_s}) {
        if (!QFontDatabase::families().contains(family))
            continue;
        ++tried;
        QApplication::setFont(QFont(family));
        for (const EdgeAlertKind kind :
             {EdgeAlertKind::focus, EdgeAlertKind::calendar, EdgeAlertKind::prayer, EdgeAlertKind::reminder}) {
            EdgeNotification note(kind, *state);
            note.show();
            const QWidget *column = note.findChild<QWidget *>(u"notificationText"_s);
            ASSERT_NE(column, nullptr);
            for (const ElidedLabel *line : note.findChildren<ElidedLabel *>()) {
                SCOPED_TRACE(family.toStdString() + " " + std::to_string(int(kind)) + " " + line->text().toStdString());
                if (line->text().isEmpty())
                    continue;
                EXPECT_GE(line->height(), line->heightForWidth(line->width()));
                EXPECT_GE(line->y(), 0);
                EXPECT_LE(line->geometry().bottom(), column->height() - 1);
                // The focus notification's words are all its own, never cut
                // across; the others carry an event's or a reminder's title.
                if (kind == EdgeAlertKind::focus || line->objectName() == u"firstLine"_s) {
                    EXPECT_FALSE(line->isElided(line->width()));
                } else if (kind == EdgeAlertKind::calendar && line->objectName() == u"secondLine"_s) {
                    EXPECT_TRUE(line->isElided(line->width()));
                    EXPECT_GE(line->width(), 118);
                    // Inside the banner and clear of its button.
                    EXPECT_LE(line->mapTo(&note, line->rect().topRight()).x(),
                              note.findChild<QWidget *>(u"stopButton"_s)->x());
                }
            }
        }
    }
    QApplication::setFont(before);
    EXPECT_GT(tried, 0) << "no desktop font installed";
}

TEST_F(RailViewsTest, RingsTimerRunsOnlyWhileARingIsVisible)
{
    state->setRailEdge(RailEdge::right);
    RailView view(*state);
    view.resize(441, 620);
    view.show();
    const QTimer &timer = EdgeNotificationRings::sharedTimer();
    EXPECT_FALSE(timer.isActive()) << "the rail at rest animates nothing";
    EXPECT_GE(timer.interval(), 120) << "about 7 pictures a second, not a display's 60";
    state->setClipboardPulseActive(true);
    EXPECT_TRUE(timer.isActive());
    state->setClipboardPulseActive(false);
    EXPECT_FALSE(timer.isActive());
    raiseAlerts(2);
    EXPECT_TRUE(timer.isActive());
    view.hide();
    EXPECT_FALSE(timer.isActive()) << "a hidden rail stops it";
    view.show();
    EXPECT_TRUE(timer.isActive());
    raiseAlerts(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(timer.isActive());
}

TEST_F(RailViewsTest, AnAlertsRingsRepaintOnlyTheirBoxAndOnlyForANewPicture)
{
    test::ManualAnimationDriver frozen;
    double seconds = 100;
    EdgeNotificationRings::setTimeSource([&seconds] { return seconds; });
    const double picture = 1.0 / (rings::cyclesPerSecond * rings::framesPerCycle);
    for (const auto &[alerts, pulse, name] :
         {std::tuple(1, false, "edgeAlertRings"), std::tuple(0, true, "clipboardPulseRings")}) {
        SCOPED_TRACE(name);
        state->setRailEdge(RailEdge::right);
        raiseAlerts(alerts);
        state->setClipboardPulseActive(pulse);
        RailView view(*state);
        view.resize(430, 680);
        view.show();
        auto *rings = view.findChild<EdgeNotificationRings *>(QString::fromLatin1(name));
        ASSERT_TRUE(rings && rings->isVisible());
        ASSERT_TRUE(test::waitUntil([&] { return view.windowHandle() && view.windowHandle()->isExposed(); }));
        // Whatever else waits to be painted, now.
        view.repaint();
        test::PaintedRegion painted(&view);
        QSignalSpy moved(&RingClock::shared(), &RingClock::pictureChanged);
        // A tick within the same picture repaints nothing.
        seconds += picture * 0.1;
        RingClock::shared().tick();
        EXPECT_EQ(moved.count(), 0);
        // The next picture repaints the rings' box and nothing around it.
        seconds += picture;
        RingClock::shared().tick();
        EXPECT_EQ(moved.count(), 1);
        ASSERT_TRUE(test::waitUntil([&] { return !painted.region.isEmpty(); }));
        const QRect box(rings->mapTo(&view, rings->ringsRect().topLeft()), rings->ringsRect().size());
        EXPECT_TRUE(painted.region.contains(box.center()));
        EXPECT_TRUE((painted.region - box).isEmpty()) << "painted beyond the rings' box";
        EXPECT_LE(box.width(), 106);
        EXPECT_LE(box.height(), 92);
    }
    EdgeNotificationRings::setTimeSource({});
}

// Where nothing composites the window, the rings are solid pixels of a
// shape of their own: they show but take no clicks, so what takes clicks
// stays put while they move; they move on one picture in kSolidStep, each a
// new window shape, and the window paints what a new shape adds (the rings
// repaint no box of their own).
TEST_F(RailViewsTest, SolidRingsShowWithoutTakingClicksAndMoveOnFewerPictures)
{
    test::ManualAnimationDriver frozen;
    // Between two pictures: each step lands on the next one.
    double seconds = 100.05;
    EdgeNotificationRings::setTimeSource([&seconds] { return seconds; });
    const double picture = 1.0 / (rings::cyclesPerSecond * rings::framesPerCycle);
    for (const auto &[alerts, pulse, name] :
         {std::tuple(1, false, "edgeAlertRings"), std::tuple(0, true, "clipboardPulseRings")}) {
        SCOPED_TRACE(name);
        state->setRailEdge(RailEdge::right);
        raiseAlerts(alerts);
        state->setClipboardPulseActive(pulse);
        RailView view(*state);
        view.setProperty(drawnshape::shapedWindowProperty, true);
        view.resize(430, 680);
        view.show();
        auto *rings = view.findChild<EdgeNotificationRings *>(QString::fromLatin1(name));
        ASSERT_TRUE(rings && rings->isVisible());
        ASSERT_TRUE(test::waitUntil([&] { return view.windowHandle() && view.windowHandle()->isExposed(); }));
        // The rings' first picture in the shaped window, and all else; the
        // views publish what changed at the loop's next turn.
        seconds += picture;
        RingClock::shared().tick();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        view.repaint();
        QSignalSpy clicks(&view, &RailView::drawnRegionChanged);
        QSignalSpy ornaments(&view, &RailView::ornamentRegionChanged);
        test::PaintedRegion painted(&view);
        const QRegion takesClicks = view.drawnRegion();
        const QRect box(rings->mapTo(&view, QPoint()), rings->size());
        EXPECT_TRUE(takesClicks.contains(box.center())) << "the tile takes clicks";
        int shapes = 0;
        for (int i = 0; i < 2 * rings::framesPerCycle; ++i) {
            const QRegion before = view.ornamentRegion();
            seconds += picture;
            RingClock::shared().tick();
            QCoreApplication::processEvents();
            const QRegion now = view.ornamentRegion();
            ASSERT_FALSE(now.isEmpty());
            EXPECT_FALSE((now - takesClicks).isEmpty()) << "rings beside the tile";
            shapes += now != before;
        }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(shapes, 2 * rings::framesPerCycle / ringpictures::kSolidStep);
        EXPECT_EQ(ornaments.count(), shapes) << "one shape a solid picture";
        EXPECT_EQ(clicks.count(), 0) << "what takes clicks stays as the rings move";
        EXPECT_EQ(view.drawnRegion(), takesClicks);
        EXPECT_TRUE((painted.region & box).isEmpty()) << "the window paints what a new shape adds";
    }
    EdgeNotificationRings::setTimeSource({});
}

TEST_F(RailViewsTest, DrawnRegionIsWhatEachCollapsedRailShows)
{
    const std::tuple<RailEdge, int, bool, const char *> cases[] = {
        {RailEdge::right, 0, false, "edgeHandle"},      {RailEdge::left, 0, true, "clipboardEdgePulse"},
        {RailEdge::right, 4, false, "edgeAlert"},       {RailEdge::top, 0, false, "edgeHandle"},
        {RailEdge::top, 0, true, "clipboardEdgePulse"}, {RailEdge::top, 1, false, "calendarEdgeNotification"}};
    for (const auto &[edge, alerts, pulse, name] : cases) {
        state->setRailEdge(edge);
        raiseAlerts(alerts);
        state->setClipboardPulseActive(pulse);
        RailView view(*state);
        view.resize(edge == RailEdge::top ? QSize(811, 200) : QSize(430, 680));
        view.show();
        const auto *item = view.findChild<QWidget *>(QString::fromLatin1(name));
        ASSERT_TRUE(item && item->isVisible()) << name;
        const QRect itemRect(item->mapTo(&view, QPoint()), item->size());
        const QRegion region = view.drawnRegion();
        EXPECT_TRUE(region.contains(itemRect.center())) << name;
        EXPECT_FALSE(region.contains(itemRect.topLeft())) << name << ": rounded as drawn";
        EXPECT_FALSE(region.contains(QPoint(5, 5))) << name << ": nothing else";
    }
}

// Between the strip and the card only the connector draws: the shape a
// window without a compositor shows holds it, and follows the selection.
TEST_F(RailViewsTest, TheConnectorBetweenTheStripAndTheCardIsPartOfWhatTheOpenedRailDraws)
{
    // Its middle at s = 1, in the 441-wide canvas, in the gap between strip and card.
    for (const auto &[edge, middle] : {std::pair{RailEdge::right, 349}, std::pair{RailEdge::left, 105}}) {
        state->setRailEdge(edge);
        state->openModule(RailModule::today);
        state->expandPanel();
        RailView view(*state);
        view.resize(441, 680);
        view.show();
        test::settle(view);
        auto *opened = qobject_cast<ExpandedRail *>(view.content());
        ASSERT_NE(opened, nullptr);
        const auto connectorAt = [&] {
            FloatingConnector *connector = opened->connector();
            return connector->mapTo(&view, QPoint(middle, qRound(connector->y())));
        };
        const QPoint first = connectorAt();
        EXPECT_TRUE(view.drawnRegion().contains(first)) << int(edge);
        EXPECT_FALSE(view.drawnRegion().contains(first + QPoint(0, 12))) << int(edge) << ": the line only";

        state->openModule(state->visibleRailModules().at(4));
        test::settle(view);
        const QPoint moved = connectorAt();
        ASSERT_GT(moved.y(), first.y() + 40);
        EXPECT_TRUE(view.drawnRegion().contains(moved)) << int(edge);
        EXPECT_FALSE(view.drawnRegion().contains(first)) << int(edge);
        state->hideToEdge();
    }
}

TEST_F(RailViewsTest, ItemsAndLayoutsMoveThenRestWithNothingRunning)
{
    // Animation time stands still unless the test moves it: `at(ms)` puts
    // every motion of the rail at that point of its run.
    test::ManualAnimationDriver frozen;
    state->setRailEdge(RailEdge::left);
    RailView view(*state);
    const auto at = [&view](int ms) {
        for (auto *motion : view.findChildren<QVariantAnimation *>(u"railMotion"_s))
            if (motion->state() == QAbstractAnimation::Running)
                motion->setCurrentTime(ms);
    };
    const int rest = OrlixMotion::smooth().durationMs;
    view.setExpandedLayoutFactory([](AppState &, QWidget *parent) { return new QWidget(parent); });
    view.resize(430, 680);
    view.show();
    QSignalSpy published(&view, &RailView::drawnRegionChanged);

    // An alert comes in from 14 points to the right, at the left edge too.
    raiseAlerts(8);
    auto *alert = view.findChild<EdgeAlert *>();
    auto *effect = qobject_cast<RailTransitionEffect *>(alert->graphicsEffect());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->boundingRectFor(QRectF(0, 0, 10, 10)).topLeft(), QPointF(14, 0));
    at(rest);
    EXPECT_EQ(alert->graphicsEffect(), nullptr) << "no extra paint pass at rest";

    // It leaves as a picture that takes no clicks: the region is the
    // handle's at once.
    const QRect alertRect(alert->mapTo(&view, QPoint()), alert->size());
    raiseAlerts(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(railmotion::leavingPictures(view.content()), 1);
    EXPECT_EQ(published.last().at(0).value<QRegion>(), view.drawnRegion());
    EXPECT_FALSE(view.drawnRegion().contains(alertRect.center() + QPoint(100, 0)));
    EXPECT_TRUE(view.drawnRegion().contains(view.findChild<EdgeHandle *>()->geometry().center()));
    at(rest);
    EXPECT_EQ(railmotion::leavingPictures(view.content()), 0);

    // A new place along the edge slides the handle there.
    state->setRailVerticalPosition(RailVerticalPosition::top);
    EXPECT_TRUE(railmotion::isMoving(view.findChild<EdgeHandle *>()));
    at(rest);

    // Opening cross-fades on the spring at a side, eases out on topExpansion()
    // at the top.
    for (RailEdge edge : {RailEdge::left, RailEdge::top}) {
        state->setRailEdge(edge);
        at(rest);
        state->expandPanel();
        QWidget *opened = view.content();
        EXPECT_TRUE(railmotion::isMoving(opened));
        at(railmotion::topExpansion().durationMs);
        EXPECT_EQ(railmotion::isMoving(opened), edge != RailEdge::top);
        at(rest);
        EXPECT_FALSE(railmotion::isMoving(opened));
        EXPECT_EQ(railmotion::leavingPictures(&view), 0);
        state->hideToEdge();
        at(rest);
    }
}

TEST_F(RailViewsTest, LayoutsAreKeptBetweenRevealsUntilTheMemoryReleaseLetsThemGo)
{
    test::ManualAnimationDriver frozen;
    state->setRailEdge(RailEdge::right);
    RailView view(*state);
    int made = 0;
    view.setExpandedLayoutFactory([&made](AppState &s, QWidget *parent) {
        ++made;
        return static_cast<QWidget *>(new ExpandedRail(s, parent));
    });
    view.resize(441, 680);
    view.show();
    QWidget *dock = view.content();
    state->expandPanel();
    QWidget *opened = view.content();
    ASSERT_EQ(made, 1);
    test::settle(view);
    state->hideToEdge();
    EXPECT_EQ(view.content(), dock) << "the same collapsed rail comes back";
    EXPECT_TRUE(railmotion::isLeaving(opened));
    EXPECT_TRUE(view.shownRegion().contains(opened->findChild<ModuleDetailPanel *>()->geometry().center()))
        << "what leaves still shows";
    EXPECT_FALSE(view.drawnRegion().contains(opened->findChild<ModuleDetailPanel *>()->geometry().center()))
        << "but takes no clicks";
    test::settle(view);
    EXPECT_TRUE(opened->isHidden());
    EXPECT_EQ(view.shownRegion(), view.drawnRegion());

    // The panel closing around a layout still on its way out ends it with
    // the new size, not with paints of its own a frame or two later; one
    // that still fits keeps fading.
    state->expandPanel();
    test::settle(view);
    state->hideToEdge();
    ASSERT_TRUE(railmotion::isLeaving(opened));
    view.resize(441, 679);
    EXPECT_TRUE(railmotion::isLeaving(opened)) << "it still fits whole";
    view.resize(18, 679);
    EXPECT_FALSE(railmotion::isLeaving(opened));
    EXPECT_TRUE(opened->isHidden());
    view.resize(441, 680);
    test::settle(view);

    // Open again, even while it is still on its way out: the same one.
    state->expandPanel();
    EXPECT_EQ(view.content(), opened);
    state->hideToEdge();
    state->expandPanel();
    EXPECT_EQ(view.content(), opened);
    EXPECT_FALSE(railmotion::isLeaving(opened));
    EXPECT_EQ(made, 1);
    test::settle(view);
    EXPECT_TRUE(opened->isVisible());

    // Let go while collapsed; the next open makes it anew.
    state->hideToEdge();
    test::settle(view);
    QPointer<QWidget> old = opened;
    view.releaseHiddenLayouts();
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(view.content(), dock) << "what shows stays";
    state->expandPanel();
    EXPECT_EQ(made, 2);
    EXPECT_NE(view.keptLayout(RailViewLayout::expanded), nullptr);
}

// Counts the paint events a widget gets.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(RailViewsTest, TheOpenedRailFadesInFromKeptPicturesWhileItsCardGlides)
{
    test::ManualAnimationDriver frozen;
    state->setRailEdge(RailEdge::right);
    RailView view(*state);
    view.setExpandedLayoutFactory(
        [](AppState &s, QWidget *parent) { return static_cast<QWidget *>(new ExpandedRail(s, parent)); });
    view.resize(441, 680);
    view.show();
    state->expandPanel();
    test::settle(view);
    const QImage atRest = test::picture(view);
    auto *opened = qobject_cast<ExpandedRail *>(view.content());
    ASSERT_NE(opened, nullptr);
    ExpandedToolStrip *strip = opened->toolStrip();
    const QPoint inStrip = strip->geometry().center() + QPoint(0, strip->height() / 3);
    state->hideToEdge();
    test::settle(view);

    // Opened again: the card glides in as the rail fades in, and a frame
    // draws the rail's parts (the card too) from the pictures kept of them
    // as the fade began: nothing in them changes on the way.
    PaintCount stripPaints(strip);
    PaintCount cardPaints(opened->detailPanel());
    state->expandPanel();
    ASSERT_EQ(view.content(), opened);
    EXPECT_EQ(opened->graphicsEffect(), nullptr) << "no picture of the whole rail, taken again as the card moves";
    // (A spring's overshoot draws as opaque: from there on the parts paint
    // as they are, and a picture of the whole view paints them all.)
    const auto fade = [opened] {
        for (auto *motion : opened->findChildren<QVariantAnimation *>(u"railMotion"_s, Qt::FindDirectChildrenOnly))
            if (motion->state() == QAbstractAnimation::Running)
                return motion->currentValue().toDouble();
        return 1.0;
    };
    int frames = 0;
    int halfway = 0;
    const QPointF cardStart = opened->detailPanel()->pos();
    while (fade() < 1 && frames < 100) {
        test::step(view, 16);
        const QImage frame = test::picture(view);
        ++frames;
        if (frames == 6) {
            halfway = qAlpha(frame.pixel(inStrip));
            EXPECT_GT(opened->partsOpacity(), 0.0);
            EXPECT_LT(opened->partsOpacity(), 1.0);
            EXPECT_NE(opened->detailPanel()->pos(), cardStart) << "the card glides meanwhile";
            // The connector lies on the whole canvas and draws a line on it:
            // a step of its fade repaints the line, not the canvas.
            QWidget *connector = opened->connector();
            const auto *connectorFade = qobject_cast<SnapshotOpacityEffect *>(connector->graphicsEffect());
            ASSERT_NE(connectorFade, nullptr);
            const QRectF step = connectorFade->boundingRect();
            EXPECT_LT(step.width() * step.height(), 0.1 * connector->width() * connector->height());
        }
    }
    ASSERT_GT(frames, 15);
    EXPECT_LE(stripPaints.paints, 2);
    EXPECT_LE(cardPaints.paints, 2)
        << "the gliding card keeps its size: its content is not laid out anew on every frame";
    test::settle(view);
    EXPECT_GT(halfway, 0) << "the strip fades in with the rail";
    EXPECT_LT(halfway, qAlpha(atRest.pixel(inStrip)));

    // At rest every part paints as it is, and the picture is the one before.
    EXPECT_EQ(opened->partsOpacity(), 1.0);
    for (QWidget *part : opened->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        EXPECT_EQ(part->graphicsEffect(), nullptr) << part->metaObject()->className();
    EXPECT_EQ(test::picture(view), atRest);

    // Closed on the way in: it leaves from where its fade had come, as one
    // picture taken at full opacity.
    state->hideToEdge();
    test::settle(view);
    state->expandPanel();
    test::step(view, 64);
    const double reached = opened->partsOpacity();
    ASSERT_GT(reached, 0.0);
    ASSERT_LT(reached, 1.0);
    state->hideToEdge();
    auto *leaving = qobject_cast<RailTransitionEffect *>(opened->graphicsEffect());
    ASSERT_NE(leaving, nullptr);
    EXPECT_DOUBLE_EQ(leaving->progress(), reached);
    EXPECT_EQ(opened->partsOpacity(), 1.0);
    EXPECT_EQ(strip->graphicsEffect(), nullptr);
    test::settle(view);
    EXPECT_TRUE(opened->isHidden());
}

TEST(RailTransitionEffect, RepaintsOnlyForAStepThatShows)
{
    RailTransitionEffect fade(RailTransition::fade());
    EXPECT_TRUE(fade.setProgress(0.5));
    EXPECT_FALSE(fade.setProgress(0.5005)) << "under half of an alpha step";
    EXPECT_FALSE(fade.setProgress(0.501));
    EXPECT_TRUE(fade.setProgress(0.503)) << "small steps add up to one that shows";
    EXPECT_TRUE(fade.setProgress(0.9995));
    EXPECT_FALSE(fade.setProgress(1.001)) << "a spring's overshoot draws as opaque";
    EXPECT_FALSE(fade.setProgress(1.0004));
    EXPECT_TRUE(fade.setProgress(1.0)) << "the end always shows";

    RailTransitionEffect move(RailTransition::moveAndFade(QPointF(100, 0)));
    EXPECT_TRUE(move.setProgress(0.999));
    EXPECT_TRUE(move.setProgress(0.9995)) << "the fade shows nothing, the move does";
    EXPECT_FALSE(move.setProgress(0.9996)) << "a hundredth of a pixel";
}

TEST_F(RailViewsTest, DropLooksOfHandleAndTrayButtonComeOnTheSmoothSpring)
{
    test::ManualAnimationDriver heldStill; // only the steps below move the animations
    state->setRailEdge(RailEdge::right);
    EdgeHandle handle(*state);
    ExpandedToolStrip strip(*state);
    ToolStripButton *tray = strip.button(RailModule::fileTray);
    const QString path = makeFile(u"Documents/b.txt"_s);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(path)});
    const int spring = OrlixMotion::smooth().durationMs;
    const std::pair<QWidget *, std::function<double()>> targets[] = {{&handle, [&] { return handle.dropLook(); }},
                                                                     {tray, [&] { return tray->dropLook(); }}};
    for (const auto &[widget, look] : targets) {
        SCOPED_TRACE(widget->objectName().toStdString());
        test::dragEnter(widget, files);
        EXPECT_EQ(look(), 0) << "not switched at once";
        test::step(*widget, spring / 3);
        EXPECT_TRUE(look() > 0 && look() < 1) << look();
        test::step(*widget, spring + 32);
        EXPECT_DOUBLE_EQ(look(), 1);
        test::dragLeave(widget);
        EXPECT_EQ(look(), 1) << "nor back";
        test::step(*widget, spring / 3);
        EXPECT_NE(look(), 1);
        test::step(*widget, spring + 32);
        EXPECT_DOUBLE_EQ(look(), 0);
    }
}

TEST_F(RailViewsTest, ClipboardPulseFitsTheCollapsedTopRail)
{
    state->setRailEdge(RailEdge::top);
    state->setClipboardPulseActive(true);
    for (const RailSize size : {RailSize::standard, RailSize::large}) {
        state->setRailSize(size);
        SCOPED_TRACE(state->railScaleFactor());
        DockRail dock(*state);
        dock.resize(railframe::size(railFrameInput(*state), QRect(0, 0, 1920, 1080)));
        dock.show();
        ASSERT_TRUE(dock.pulse() && dock.handle());
        const QRect pulse = dock.pulse()->geometry();
        EXPECT_GE(pulse.top(), dock.handle()->geometry().bottom()) << "below the handle";
        EXPECT_LE(pulse.bottom(), dock.height() - 1) << "whole inside the rail";
    }
}

TEST_F(RailViewsTest, ANotificationOverTheCardCoversWhatIsBelow)
{
    OrlixStyle &style = OrlixStyle::current();
    const GlassTier tier = style.glassTier();
    // Over black, then over white: a covering banner looks the same on both
    // in every tier that lets things show through.
    const auto pixelOver = [&](const QColor &below, bool covers) {
        QWidget host;
        host.resize(400, 120);
        host.setAutoFillBackground(true);
        QPalette palette = host.palette();
        palette.setColor(QPalette::Window, below);
        host.setPalette(palette);
        EdgeNotification banner(EdgeAlertKind::calendar, *state, &host);
        banner.setCoversWhatIsBelow(covers);
        banner.setGeometry(QRect(QPoint(20, 20), banner.sizeHint()));
        QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
        host.render(&image);
        // A blank spot of the banner: in its top padding, past the badge.
        return image.pixelColor(20 + 170, 20 + 5);
    };
    for (const GlassTier t : {GlassTier::blurred, GlassTier::translucent}) {
        style.setGlassTier(t);
        SCOPED_TRACE(int(t));
        const QColor onBlack = pixelOver(Qt::black, true);
        const QColor onWhite = pixelOver(Qt::white, true);
        EXPECT_NEAR(onBlack.redF(), onWhite.redF(), 0.02);
        EXPECT_NEAR(onBlack.greenF(), onWhite.greenF(), 0.02);
        // Without the cover what is below shows through.
        EXPECT_GT(std::abs(pixelOver(Qt::black, false).redF() - pixelOver(Qt::white, false).redF()), 0.02);
    }
    style.setGlassTier(tier);

    // The expanded rails' banners, which can lie over the card, cover.
    state->setRailEdge(RailEdge::left);
    state->setActiveCalendarAlert(CalendarEvent{});
    ExpandedRail rail(*state);
    ASSERT_NE(rail.notification(EdgeAlertKind::calendar), nullptr);
    EXPECT_TRUE(rail.notification(EdgeAlertKind::calendar)->coversWhatIsBelow());
}

} // namespace
} // namespace kolu
