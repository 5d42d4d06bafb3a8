#include "state/AppState.h"

#include "model/UserDefaults.h"
#include "platform/desktop/FolderPicker.h"
#include "platform/notifications/NotificationScheduler.h"
#include "services/media/NowPlayingService.h"
#include "services/notifications/NotificationService.h"
#include "state/AppServices.h"
#include "state/AppSettings.h"
#include "state/RailModules.h"

#include "AppStateFixture.h"
#include "AwaitTask.h"
#include "ManualClock.h"
#include "PrivateBus.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using namespace kolu;
using namespace Qt::StringLiterals;
using M = RailModule;

namespace {

// Records each callback of the state in order.
class AppStateTest : public test::AppStateActionsTest {
protected:
    std::vector<QString> calls;

    std::unique_ptr<AppState> makeState()
    {
        auto state = AppStateActionsTest::makeState();
        AppState *raw = state.get();
        QObject::connect(raw, &AppState::expandedChanged, [this](bool v) { calls.push_back(u"expanded:%1"_s.arg(v)); });
        QObject::connect(raw, &AppState::dockRevealChanged,
                         [this](bool v) { calls.push_back(u"revealed:%1"_s.arg(v)); });
        QObject::connect(raw, &AppState::chromeNeedsLayout,
                         [this, raw] { calls.push_back(u"layout@%1"_s.arg(raw->railScaleFactor())); });
        QObject::connect(raw, &AppState::selectedModuleChanged, [this] { calls.push_back(u"selected"_s); });
        return state;
    }

    int count(const QString &call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
};

} // namespace

TEST_F(AppStateTest, NothingStoredGivesDefaultsAndNothingIsWrittenBack)
{
    const auto state = makeState();
    EXPECT_EQ(state->selectedModule(), M::today);
    EXPECT_FALSE(QFile::exists(defaults.filePath())) << "loading must not write the settings back";
    EXPECT_TRUE(QFileInfo(state->store().directory()).isDir());
}

TEST_F(AppStateTest, EveryAssignmentAnnouncesAndReactsEvenWhenUnchanged)
{
    const auto state = makeState();
    QSignalSpy spy(state.get(), &AppState::changed);
    state->setIsExpanded(false);
    EXPECT_EQ(calls, std::vector<QString>{u"expanded:0"_s});
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<AppState::Field>(), AppState::Field::isExpanded);

    QSignalSpy written(&defaults, &UserDefaults::changed);
    state->setReminderAlertsEnabled(true);
    EXPECT_EQ(written.count(), 1);
    EXPECT_EQ(defaults.boolean(u"reminderAlertsEnabled"_s), true);

    calls.clear();
    state->setActiveCalendarAlert(std::nullopt);
    EXPECT_EQ(calls, std::vector<QString>{u"layout@1"_s});
}

TEST_F(AppStateTest, TheReminderAlertFlagFollowsAWriteFromTheSettingsWindow)
{
    const auto state = makeState();
    QSignalSpy spy(state.get(), &AppState::changed);
    for (const auto &[stored, expected] :
         std::vector<std::pair<QJsonValue, bool>>{{false, false}, {false, false}, {u"no"_s, true}, {true, true}}) {
        defaults.set(SettingsKey::reminderAlertsEnabled, stored);
        EXPECT_EQ(state->reminderAlertsEnabled(), expected);
    }
    // Only the two real changes were published.
    const auto published = std::count_if(spy.begin(), spy.end(), [](const QList<QVariant> &args) {
        return args.at(0).value<AppState::Field>() == AppState::Field::reminderAlertsEnabled;
    });
    EXPECT_EQ(published, 2);
}

TEST_F(AppStateTest, ChangesAreWrittenInTheirStoredForm)
{
    const auto state = makeState();
    state->setWallpaperLibrary(WallpaperLibrary::frontier);
    state->setRailEdge(RailEdge::top);
    state->setCalendarAlertLeadMinutesByEventID({{u"event-1"_s, 5}});
    state->setPrayerNotificationStates({{u"fajr"_s, true}});
    state->setStatusMenuOpenHoldDuration(12); // clamped on assignment
    EXPECT_EQ(defaults.number(u"statusMenuOpenHoldDuration"_s), 10.0);
    EXPECT_EQ(defaults.string(u"wallpaperLibrary"_s), u"frontier"_s);
    EXPECT_EQ(defaults.string(u"railEdge"_s), u"top"_s);
    EXPECT_EQ(defaults.object(u"calendarAlertLeadMinutesByEventID"_s)->value(u"event-1"_s).toInt(), 5);
    EXPECT_EQ(state->files().read<PrayerNotificationStatesFile>(), (PrayerNotificationStates{{u"fajr"_s, true}}));
    EXPECT_EQ(AppSettings::load(defaults).railEdge, RailEdge::top);
}

TEST_F(AppStateTest, RailSizeSetsTheScaleBeforeTheLayoutRuns)
{
    const auto state = makeState();
    state->setRailSize(RailSize::large);
    EXPECT_EQ(calls, std::vector<QString>{u"layout@1.25"_s});
    EXPECT_EQ(defaults.string(u"railSize"_s), u"large"_s);
}

TEST_F(AppStateTest, ALargeRailIsScaledFromTheStart)
{
    defaults.set(SettingsKey::railSize, u"large"_s);
    const auto state = makeState();
    EXPECT_EQ(state->railScaleFactor(), 1.25);
    EXPECT_TRUE(calls.empty());
}

TEST_F(AppStateTest, TheLastVisibleModuleCannotBeHidden)
{
    defaults.setStringList(u"hiddenRailModules"_s, {u"today"_s, u"calendar"_s, u"prayers"_s, u"notes"_s, u"focus"_s,
                                                    u"links"_s, u"fileTray"_s, u"wallpapers"_s});
    const auto state = makeState();
    ASSERT_EQ(state->visibleRailModules(), (RailModuleOrder{M::reminders, M::nowPlaying}));
    state->setRailModule(M::reminders, false);
    EXPECT_EQ(state->visibleRailModules(), RailModuleOrder{M::nowPlaying});
    calls.clear();
    state->setRailModule(M::nowPlaying, false);
    EXPECT_EQ(state->visibleRailModules(), RailModuleOrder{M::nowPlaying});
    EXPECT_TRUE(calls.empty());
}

TEST_F(AppStateTest, HidingTheSelectedModuleSelectsTheFirstVisible)
{
    const auto state = makeState();
    state->openModule(M::notes);
    calls.clear();
    state->setRailModule(M::today, false);
    EXPECT_EQ(state->selectedModule(), M::notes) << "a visible selection stays";
    state->setRailModule(M::notes, false);
    EXPECT_EQ(state->selectedModule(), M::calendar);
    EXPECT_EQ(count(u"selected"_s), 1);
    EXPECT_EQ(defaults.stringList(u"hiddenRailModules"_s), (QStringList{u"today"_s, u"notes"_s}));
}

TEST_F(AppStateTest, HidingAModuleDropsWhatItHeld)
{
    const auto state = makeState();
    state->setTodayWeather(TodayWeather{u"Oslo"_s, 3.5, 3, clock.now()});
    state->setTodayWeatherStatusMessage(u"Updated"_s);
    state->setWallpaperStatusMessage(u"Ready"_s);
    state->setNowPlaying(NowPlayingItem{u"Song"_s, u"Artist"_s, u"Player"_s, true, false, std::nullopt});
    state->setRailModule(M::today, false);
    state->setRailModule(M::wallpapers, false);
    state->setRailModule(M::nowPlaying, false);
    EXPECT_FALSE(state->todayWeather());
    EXPECT_TRUE(state->todayWeatherStatusMessage().isEmpty());
    EXPECT_TRUE(state->wallpaperStatusMessage().isEmpty());
    EXPECT_EQ(state->nowPlaying(), idleNowPlayingItem());
}

TEST_F(AppStateTest, HidingFocusLeavesARunningTimersAlert)
{
    const auto state = makeState();
    PomodoroState running;
    running.isRunning = true;
    running.startedAt = clock.now();
    state->setPomodoro(running);
    state->setPomodoroAlertVisible(true);
    calls.clear();
    state->setRailModule(M::focus, false);
    EXPECT_TRUE(state->pomodoroAlertVisible());
    EXPECT_EQ(count(u"layout@1"_s), 1) << "only the hidden set's own layout call";
}

TEST_F(AppStateTest, MovingAModuleKeepsEveryModuleAndPersists)
{
    const auto state = makeState();
    state->setRailModule(M::links, false);
    state->moveRailModule(M::nowPlaying, -3);
    EXPECT_EQ(state->visibleRailModules().front(), M::nowPlaying);
    EXPECT_EQ(state->railModuleOrder().back(), M::links);
    EXPECT_EQ(defaults.stringList(u"railModuleOrder"_s)->size(), 10);
}

TEST_F(AppStateTest, PanelStateCallsBackOnlyOnChange)
{
    const auto state = makeState();
    state->expandPanel();
    EXPECT_EQ(calls, (std::vector<QString>{u"revealed:1"_s, u"expanded:1"_s}));
    calls.clear();
    state->expandPanel();
    EXPECT_TRUE(calls.empty());
    state->hideToEdge();
    EXPECT_EQ(calls, (std::vector<QString>{u"expanded:0"_s, u"revealed:0"_s}));
}

TEST_F(AppStateTest, OpeningAHiddenModuleDoesNothing)
{
    const auto state = makeState();
    state->setRailModule(M::notes, false);
    calls.clear();
    state->openModule(M::notes);
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(state->isExpanded());
    state->openModule(M::focus);
    EXPECT_EQ(state->selectedModule(), M::focus);
    EXPECT_TRUE(state->isExpanded());
}

TEST_F(AppStateTest, TheClipboardAndWallpaperServicesAreMadeOnFirstUse)
{
    const auto state = makeState();
    const QString clipboardFolder = state->store().directory() + u"/Clipboard"_s;
    EXPECT_FALSE(QFileInfo::exists(clipboardFolder));
    ClipboardService &first = state->clipboardService();
    EXPECT_EQ(&first, &state->clipboardService());
    EXPECT_TRUE(QFileInfo(clipboardFolder).isDir());
    WallpaperService &wallpapers = state->wallpaperService();
    EXPECT_EQ(&wallpapers, &state->wallpaperService());
    EXPECT_TRUE(QFileInfo(state->store().directory() + u"/Wallpapers"_s).isDir());
}

TEST_F(AppStateTest, ASaveBeforeTheStateFilesAreReadTouchesOnlyTheLinks)
{
    const auto state = makeState();
    const QByteArray history = R"([{"dateAdded":"2026-01-01T00:00:00Z","id":"6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B",
                                   "kind":"text","title":"kept","value":"kept"}])";
    const QString path = state->files().pathOf<ClipboardItemsFile>();
    ASSERT_TRUE(test::writeFile(path, history));

    state->setLinks({SavedLink{QUuid::createUuid(), u"Qt"_s, u"https://qt.io"_s, clock.now(), true}});
    state->persist();
    EXPECT_EQ(state->files().read<LinksFile>()->size(), 1u);
    EXPECT_EQ(test::readFile(path), history);
    EXPECT_FALSE(QFile::exists(state->files().pathOf<PomodoroFile>()));
}

TEST_F(AppStateTest, AHiddenTodayIsNotSelectedAtLaunch)
{
    defaults.setStringList(u"hiddenRailModules"_s, {u"today"_s});
    defaults.setStringList(u"railModuleOrder"_s, {u"focus"_s, u"today"_s});
    QSignalSpy written(&defaults, &UserDefaults::changed);
    const auto state = makeState();
    EXPECT_EQ(state->selectedModule(), M::focus);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(written.count(), 0);
}

TEST_F(AppStateTest, HidingAModuleCancelsOnlyItsOwnNotifications)
{
    const auto state = makeState();
    const QDateTime later = clock.now().addSecs(3600);
    for (const QString &id : {u"meeting-a-1-10"_s, u"prayer-fajr-1"_s, u"prayer-snooze-asr-2"_s, u"reminder-snooze-r-3"_s})
        services.scheduler->add({id, {u"t"_s, u"b"_s, true}, later, {}});

    state->setRailModule(M::calendar, false);
    EXPECT_EQ(services.scheduler->pendingIdentifiers(),
              (QStringList{u"prayer-fajr-1"_s, u"prayer-snooze-asr-2"_s, u"reminder-snooze-r-3"_s}));
    state->setRailModule(M::prayers, false);
    EXPECT_EQ(services.scheduler->pendingIdentifiers(), QStringList{u"reminder-snooze-r-3"_s});
    state->setRailModule(M::reminders, false);
    EXPECT_TRUE(services.scheduler->pendingIdentifiers().isEmpty());
}

TEST_F(AppStateTest, AnInPlaceEditAnnouncesOnce)
{
    const auto state = makeState();
    QSignalSpy spy(state.get(), &AppState::changed);
    state->mutate<AppState::Field::pomodoro>([](PomodoroState &timer) {
        timer.setFocusMinutes(30);
        timer.skip();
    });
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(state->pomodoro().mode, PomodoroMode::breakTime);
    EXPECT_EQ(state->pomodoro().focusDuration, 1800);
}

TEST(AppServices, TheDefaultServicesComeUpWithoutADesktop)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    test::PrivateBus bus;
    UserDefaults defaults;
    AppState state(defaults, clock, AppServices::createDefault(defaults, clock, nullptr, {}, bus.connect(u"kolu"_s)));
    // Every service is there, and the lazy ones can be made.
    EXPECT_NO_THROW(state.clipboardService());
    EXPECT_NO_THROW(state.wallpaperService());
    EXPECT_EQ(test::awaitTask(state.nowPlayingService().currentItem()).title, u"Nothing playing"_s);
}

namespace {
const RailModuleOrder kDefault{M::today, M::calendar, M::prayers, M::notes,      M::focus,
                               M::links, M::fileTray, M::wallpapers, M::reminders, M::nowPlaying};
}

TEST(RailModuleOrder, StoredOrderKeepsKnownNamesThenAppendsTheRest)
{
    EXPECT_EQ(railmodules::orderFromStored({}), kDefault);
    EXPECT_EQ(railmodules::orderFromStored({u"notes"_s, u"weather"_s, u"calendar"_s}),
              (RailModuleOrder{M::today, M::notes, M::calendar, M::prayers, M::focus, M::links, M::fileTray,
                               M::wallpapers, M::reminders, M::nowPlaying}));
    // Repeats stay as stored; names are case-sensitive.
    const RailModuleOrder repeated = railmodules::orderFromStored({u"today"_s, u"links"_s, u"links"_s, u"Notes"_s});
    EXPECT_EQ(repeated.size(), 11u);
    EXPECT_EQ(repeated[1], M::links);
    EXPECT_EQ(repeated[2], M::links);
}

TEST(RailModuleOrder, EveryModuleHiddenHidesNoneAndVisibleIsNeverEmpty)
{
    QStringList all;
    RailModuleSet everything;
    for (RailModule module : allCases<RailModule>()) {
        all.append(rawValue(module));
        everything.insert(module);
    }
    EXPECT_TRUE(railmodules::hiddenFromStored(all).isEmpty());
    all.removeLast();
    EXPECT_EQ(railmodules::hiddenFromStored(all).size(), 9);
    EXPECT_EQ(railmodules::hiddenFromStored({u"links"_s, u"bogus"_s}), RailModuleSet{M::links});
    EXPECT_EQ(railmodules::visible(kDefault, everything), RailModuleOrder{M::calendar});
}

TEST(RailModuleOrder, MovingClampsTheIndexAndPutsHiddenModulesLast)
{
    const RailModuleSet hidden{M::calendar, M::links};
    const RailModuleOrder first = railmodules::moved(kDefault, hidden, M::reminders, -3);
    EXPECT_EQ(first, (RailModuleOrder{M::reminders, M::today, M::prayers, M::notes, M::focus, M::fileTray,
                                      M::wallpapers, M::nowPlaying, M::calendar, M::links}));
    const RailModuleOrder last = railmodules::moved(kDefault, hidden, M::today, 99);
    EXPECT_EQ(last, (RailModuleOrder{M::prayers, M::notes, M::focus, M::fileTray, M::wallpapers, M::reminders,
                                     M::nowPlaying, M::today, M::calendar, M::links}));
    EXPECT_EQ(railmodules::moved(kDefault, hidden, M::links, 0), kDefault) << "a hidden module does not move";
}
