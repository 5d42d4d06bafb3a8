#include "ShellFixture.h"

#include "cards/prayers/PrayerWidgets.h"
#include "cards/reminders/RemindersCard.h"
#include "settings/SettingsView.h"
#include "platform/x11/PointerMotion.h"
#include "shell/StatusItem.h"
#include "style/widgets/OrlixDateField.h"

#include <QAbstractButton>
#include <QMenu>
#include <QToolButton>

#include <QEnterEvent>

#include <algorithm>

using namespace Qt::StringLiterals;

using namespace kolu;
using namespace std::chrono_literals;
using HoverTest = test::ShellTest;

namespace {
// Pointer motion the test reports; counts how often it is armed.
class TestPointerMotion final : public PointerMotion {
public:
    bool arm() override
    {
        armed = true;
        ++arms;
        return true;
    }
    void disarm() override { armed = false; }
    void move()
    {
        if (!armed)
            return;
        armed = false;
        Q_EMIT moved();
    }
    bool armed = false;
    int arms = 0;
};
} // namespace

TEST_F(HoverTest, BandRevealsAndLeavingHidesAfterTheDelayUnlessCancelled)
{
    launch();
    EXPECT_EQ(hover().interval(), 350ms) << "parked at the side";
    revealFromBand();
    EXPECT_TRUE(state().isDockRevealed());
    EXPECT_EQ(hover().interval(), 120ms);
    EXPECT_EQ(panel().geometry(), panel().targetFrame());
    EXPECT_EQ(panel().geometry().width(), 441);

    // Gone: the hide comes 0.55 s after the first poll that misses, and the
    // polls in between do not put it off.
    pointer = farAway();
    clock.advance(120ms + 549ms);
    EXPECT_TRUE(state().isExpanded());
    clock.advance(1ms);
    EXPECT_FALSE(state().isExpanded());
    EXPECT_FALSE(state().isDockRevealed());
    EXPECT_EQ(hover().interval(), 350ms);

    for (const bool drag : {false, true}) {
        SCOPED_TRACE(drag ? "drag" : "pointer back");
        revealFromBand();
        pointer = farAway();
        clock.advance(120ms);
        ASSERT_TRUE(hover().isHidePending());
        if (drag)
            hover().setInteractionActive(true); // cancels at once
        else
            pointer = panel().geometry().center(); // cancels at the next poll
        clock.advance(5s);
        EXPECT_TRUE(state().isExpanded());
    }
    // Looked at again when the drag ends.
    pointer = farAway();
    hover().setInteractionActive(false);
    EXPECT_TRUE(hover().isHidePending());
    clock.advance(550ms);
    EXPECT_FALSE(state().isExpanded());
}

TEST_F(HoverTest, HeldOpenUnderThePointerWakesNoFasterThanWhenParked)
{
    int looks = 0;
    parts.pointer = [this, &looks] {
        ++looks;
        return pointer;
    };
    withRailViews();
    launch();
    revealFromBand();
    const auto still = [this] {
        const auto all = panel().findChildren<QAbstractAnimation *>();
        return std::none_of(all.begin(), all.end(), [](auto *a) { return a->state() == QAbstractAnimation::Running; });
    };
    // The rail's own motions (the card coming in, the cross-fade) end.
    EXPECT_TRUE(test::waitUntil(still));

    // The pointer rests on the open rail: the window system tells when it
    // leaves, so the poll keeps the parked period.
    pointer = panel().geometry().center();
    QEnterEvent enter{QPointF(), QPointF(), QPointF(pointer)};
    QCoreApplication::sendEvent(&panel(), &enter);
    looks = 0;
    clock.advance(10s);
    EXPECT_LE(looks, 29) << "about one look each 0.35 s";
    EXPECT_TRUE(state().isExpanded());
    EXPECT_TRUE(still()) << "nothing moves in the open, idle rail";

    // Leaving is looked at at once, and then at the short period.
    pointer = farAway();
    looks = 0;
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&panel(), &leave);
    EXPECT_EQ(looks, 1);
    EXPECT_EQ(hover().interval(), 120ms);
    clock.advance(550ms);
    EXPECT_FALSE(state().isExpanded());
}

TEST_F(HoverTest, HeldOpenAtTheEdgeRestsUntilThePointerMovesOrTheRailChanges)
{
    int looks = 0;
    parts.pointer = [this, &looks] {
        ++looks;
        return pointer;
    };
    TestPointerMotion motion;
    launch();
    hover().setPointerMotion(&motion);
    revealFromBand();

    // At the screen edge, beside what the open rail draws but near it: no
    // enter or leave tells anything there, yet the pointer resting there
    // is looked at no more often than a parked rail's.
    clock.advance(240ms);
    ASSERT_TRUE(hover().isResting());
    EXPECT_TRUE(motion.armed);
    EXPECT_EQ(hover().interval(), 350ms);
    looks = 0;
    clock.advance(35s);
    EXPECT_LE(looks, 100);
    EXPECT_TRUE(state().isExpanded());

    // A motion away is seen at once and hides after the same 0.55 s.
    pointer = farAway();
    motion.move();
    EXPECT_FALSE(hover().isResting());
    EXPECT_EQ(hover().interval(), 120ms);
    EXPECT_TRUE(hover().isHidePending());
    clock.advance(549ms);
    EXPECT_TRUE(state().isExpanded());
    clock.advance(1ms);
    EXPECT_FALSE(state().isExpanded());
    settle();

    // A pointer moved without a motion of the device (a warp) is still
    // seen by the look at the parked period.
    revealFromBand();
    clock.advance(240ms);
    ASSERT_TRUE(hover().isResting());
    pointer = farAway();
    clock.advance(350ms);
    EXPECT_TRUE(hover().isHidePending());
    clock.advance(550ms);
    EXPECT_FALSE(state().isExpanded());
    settle();

    // Parked, it polls as before; a status-menu command opens the rail
    // without a motion, and its hold's end is looked at all the same.
    clock.advance(1s);
    EXPECT_EQ(hover().interval(), 350ms) << "parked, the poll keeps its period";
    delegate->runStatusCommand(StatusCommand::showKolu);
    settle();
    clock.advance(1s);
    EXPECT_TRUE(hover().isResting()) << "held, nothing moves";
    clock.advance(std::chrono::milliseconds(qRound(state().statusMenuOpenHoldDuration() * 1000)) - 1s);
    EXPECT_TRUE(hover().isHidePending());
    clock.advance(550ms);
    EXPECT_FALSE(state().isExpanded());
    hover().setPointerMotion(nullptr);
}

TEST_F(HoverTest, TopEdgePollsFasterAndHidesSooner)
{
    defaults.set(u"railEdge"_s, u"top"_s);
    launch();
    EXPECT_EQ(hover().interval(), 200ms) << "at the top";
    const QRect rail = panel().geometry();
    pointer = {rail.center().x(), panel().visibleFrame().y()};
    clock.advance(200ms);
    ASSERT_TRUE(state().isExpanded());
    EXPECT_EQ(hover().interval(), 50ms);
    pointer = farAway() + QPoint(0, panel().visibleFrame().height() / 3);
    clock.advance(149ms);
    EXPECT_TRUE(state().isExpanded());
    clock.advance(1ms);
    EXPECT_FALSE(state().isExpanded());
}

TEST_F(HoverTest, StatusMenuCommandHoldsTheRailOutThenLetsItGo)
{
    defaults.set(u"statusMenuOpenHoldDuration"_s, 4);
    launch();
    pointer = farAway();
    delegate->runStatusCommand(StatusCommand::openAgenda);
    EXPECT_TRUE(state().isExpanded());
    EXPECT_EQ(state().selectedModule(), RailModule::calendar);
    EXPECT_TRUE(hover().isHoldRunning());

    clock.advance(3990ms);
    EXPECT_TRUE(state().isExpanded()) << "held although the pointer is away";
    EXPECT_FALSE(hover().isHidePending());
    clock.advance(10ms);
    EXPECT_FALSE(hover().isHoldRunning());
    EXPECT_TRUE(hover().isHidePending()) << "looked at again when the hold ends";
    clock.advance(550ms);
    EXPECT_FALSE(state().isExpanded());

    // "Show Kolu" holds too; a module hidden from the rail does not open.
    delegate->runStatusCommand(StatusCommand::showKolu);
    EXPECT_TRUE(state().isExpanded());
    state().hideToEdge();
    state().setRailModule(RailModule::nowPlaying, false);
    delegate->runStatusCommand(StatusCommand::openNowPlaying);
    EXPECT_FALSE(state().isExpanded());
}

TEST_F(HoverTest, SettingsOpenButtonsOpenTheModuleAndHoldTheRailLikeTheStatusMenu)
{
    defaults.set(u"statusMenuOpenHoldDuration"_s, 4);
    parts.settingsWindow = [](ApplicationDelegate &owner) -> QWidget * {
        return new SettingsView(owner.state(), owner.updateController());
    };
    launch();
    pointer = farAway(); // over the settings window, away from the rail
    delegate->showSettingsWindow();
    auto *settings = qobject_cast<SettingsView *>(delegate->settingsWindow());
    ASSERT_NE(settings, nullptr);
    const auto press = [settings](OrlixSettingsPage page, const char *button) {
        settings->setSelectedPage(page);
        auto *open = settings->findChild<QAbstractButton *>(QLatin1String(button));
        ASSERT_NE(open, nullptr) << button;
        open->click();
    };
    const std::tuple<OrlixSettingsPage, const char *, RailModule> buttons[] = {
        {OrlixSettingsPage::localData, "localDataOpenTray", RailModule::fileTray},
        {OrlixSettingsPage::localData, "localDataOpenLinks", RailModule::links},
        {OrlixSettingsPage::soundscapes, "soundscapesOpen", RailModule::nowPlaying},
        {OrlixSettingsPage::wallpapers, "wallpaperOpenModule", RailModule::wallpapers},
        {OrlixSettingsPage::appleApps, "desktopAppsOpenCalendar", RailModule::calendar},
        {OrlixSettingsPage::appleApps, "desktopAppsOpenReminders", RailModule::reminders}};
    for (const auto &[page, button, module] : buttons) {
        SCOPED_TRACE(button);
        press(page, button);
        EXPECT_TRUE(state().isExpanded());
        EXPECT_EQ(state().selectedModule(), module);
        EXPECT_TRUE(hover().isHoldRunning());
        clock.advance(3990ms);
        EXPECT_TRUE(state().isExpanded()) << "held although the pointer is on the settings window";
        EXPECT_TRUE(settings->isVisible());
        clock.advance(10ms + 550ms);
        EXPECT_FALSE(state().isExpanded()) << "let go after the hold";
    }
    // A module hidden from the rail opens nothing and holds nothing.
    state().setRailModule(RailModule::wallpapers, false);
    press(OrlixSettingsPage::wallpapers, "wallpaperOpenModule");
    EXPECT_FALSE(state().isExpanded());
    EXPECT_FALSE(hover().isHoldRunning());
}

TEST_F(HoverTest, TerminationSavesFirstThenStopsThePoll)
{
    launch();
    delegate->runStatusCommand(StatusCommand::showKolu);
    ASSERT_TRUE(hover().isHoldRunning());
    state().mutate<AppState::Field::pomodoro>([](PomodoroState &p) { p.setFocusMinutes(42); });
    delegate->terminate();
    EXPECT_EQ(state().files().read<PomodoroFile>()->focusDuration, 42 * 60);
    EXPECT_EQ(clock.activeTimerCount(), 2) << "no poll, hold or hide: only the state's own timers run on";
}

TEST_F(HoverTest, AnEdgeNotificationKeepsTheRailAndDisablesTheBand)
{
    launch();
    state().setPomodoroAlertVisible(true);
    EXPECT_EQ(hover().interval(), 120ms) << "something shows at the edge";
    pointer = sideBandPoint();
    clock.advance(120ms);
    EXPECT_FALSE(state().isExpanded());

    state().expandPanel();
    pointer = farAway();
    clock.advance(2s);
    EXPECT_TRUE(state().isExpanded());
    state().setPomodoroAlertVisible(false);
    clock.advance(120ms + 550ms);
    EXPECT_FALSE(state().isExpanded());
}

TEST_F(HoverTest, APopupOpenedFromACardHoldsTheRailUntilItClosesAndGoesWithIt)
{
    withRailViews();
    launch();
    state().openModule(RailModule::prayers);
    settle();
    auto *city = panel().findChild<PrayerLocationField *>();
    ASSERT_NE(city, nullptr);
    city->setOptions({u"Abha"_s, u"Salmiya"_s, u"Taif"_s});
    city->openMenu();
    QMenu *menu = city->menuButton()->menu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_TRUE(hover().isPopupOpen());

    // Resting on an entry that lies past the panel keeps the rail and the menu.
    pointer = farAway();
    clock.advance(5s);
    EXPECT_TRUE(state().isExpanded());
    EXPECT_FALSE(hover().isHidePending());
    EXPECT_TRUE(menu->isVisible());

    // The delay starts when it closes, from where the pointer is then.
    menu->close();
    EXPECT_FALSE(hover().isPopupOpen());
    EXPECT_TRUE(hover().isHidePending());
    clock.advance(549ms);
    EXPECT_TRUE(state().isExpanded());
    clock.advance(1ms);
    EXPECT_FALSE(state().isExpanded());
    settle();

    // The composer's time list: closed with the pointer back on the panel,
    // nothing is pending; a rail sent in by other means takes it along.
    state().openModule(RailModule::reminders);
    settle();
    auto *card = panel().findChild<RemindersCard *>();
    ASSERT_NE(card, nullptr);
    card->composerAction();
    auto *withTime = card->findChild<QAbstractButton *>(u"reminderTimeCheck"_s);
    auto *time = card->findChild<OrlixDateField *>(u"reminderTimePicker"_s);
    ASSERT_TRUE(withTime && time);
    withTime->setChecked(true);
    time->openPopup();
    QPointer<QWidget> list = time->popup();
    ASSERT_TRUE(list && list->isVisible());
    clock.advance(3s);
    EXPECT_TRUE(state().isExpanded());
    pointer = panel().geometry().center();
    list->close();
    clock.advance(3s);
    EXPECT_TRUE(state().isExpanded());
    EXPECT_FALSE(hover().isHidePending());

    time->openPopup();
    list = time->popup();
    ASSERT_TRUE(list && list->isVisible());
    state().hideToEdge();
    EXPECT_TRUE(!list || !list->isVisible()) << "no pop-up outlives its rail";
    EXPECT_FALSE(hover().isPopupOpen());

    // A pop-up of another window holds nothing.
    state().expandPanel();
    settle();
    QWidget elsewhere;
    QMenu other(&elsewhere);
    other.addAction(u"Elsewhere"_s);
    other.popup(QPoint(10, 10));
    ASSERT_TRUE(other.isVisible());
    EXPECT_FALSE(hover().isPopupOpen());
    pointer = farAway();
    clock.advance(120ms + 550ms);
    EXPECT_FALSE(state().isExpanded());
    other.close();
}
