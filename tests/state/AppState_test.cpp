#include "model/UserDefaults.h"
#include "platform/notifications/NotificationScheduler.h"
#include "services/media/NowPlayingService.h"
#include "state/AppSettings.h"
#include "state/RailModules.h"

#include "AppStateFixture.h"
#include "PrivateBus.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>

#include <cmath>

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
};

const RailModuleOrder kDefault{M::today, M::calendar, M::prayers,    M::notes,     M::focus,
                               M::links, M::fileTray, M::wallpapers, M::reminders, M::nowPlaying};

} // namespace

// A hand-edited settings file is read field by field: a value of the wrong
// type or a name in the wrong case keeps that field's default.
TEST_F(AppStateTest, StoredSettingsOfTheWrongFormKeepTheirDefault)
{
    const auto load = [this](SettingsKey key, const QJsonValue &value) {
        defaults.set(key, value);
        return AppSettings::load(defaults);
    };
    for (const auto &[stored, expected] :
         std::vector<std::pair<QJsonValue, int>>{{25, 40}, {10, 10}, {30, 30}, {0, 40}, {u"20"_s, 40}, {20.5, 40}})
        EXPECT_EQ(load(SettingsKey::clipboardHistoryLimit, stored).clipboardHistoryLimit, expected);
    EXPECT_TRUE(load(SettingsKey::showMinimizeAllAppsButton, u"no"_s).showMinimizeAllAppsButton);
    EXPECT_EQ(load(SettingsKey::railModuleOrder, QJsonArray{u"links"_s, 3}).railModuleOrder, kDefault);
    EXPECT_EQ(load(SettingsKey::railEdge, u"Left"_s).railEdge, RailEdge::right);
    EXPECT_EQ(load(SettingsKey::railSize, u"compact"_s).railSize, RailSize::standard);
    EXPECT_EQ(load(SettingsKey::railVerticalPosition, u"bottom"_s).railVerticalPosition, RailVerticalPosition::bottom);
    EXPECT_EQ(load(SettingsKey::wallpaperLibrary, u"Frontier"_s).wallpaperLibrary, WallpaperLibrary::noir);
    // The hold is taken as stored and clamped only when changed.
    EXPECT_EQ(load(SettingsKey::statusMenuOpenHoldDuration, 20).statusMenuOpenHoldDuration, 20);
    EXPECT_EQ(clampedStatusMenuHoldDuration(0.5), 1.0);
    EXPECT_EQ(clampedStatusMenuHoldDuration(std::nan("")), 1.0);
    // Lead minutes are taken only when every value is a whole number.
    const auto leads = [&](const QJsonObject &stored) {
        return load(SettingsKey::calendarAlertLeadMinutesByEventID, stored).calendarAlertLeadMinutesByEventID;
    };
    EXPECT_EQ(leads({{u"a"_s, 5}, {u"b"_s, 15}}), (QHash<QString, int>{{u"a"_s, 5}, {u"b"_s, 15}}));
    EXPECT_TRUE(leads({{u"a"_s, 5}, {u"b"_s, u"soon"_s}}).isEmpty());
}

TEST_F(AppStateTest, LaunchTakesTheStoredSettingsWithoutWritingThemBackOrReacting)
{
    defaults.setStringList(u"hiddenRailModules"_s, {u"today"_s});
    defaults.setStringList(u"railModuleOrder"_s, {u"focus"_s, u"today"_s});
    defaults.set(SettingsKey::railSize, u"large"_s);
    QSignalSpy written(&defaults, &UserDefaults::changed);
    const auto state = makeState();
    EXPECT_EQ(state->selectedModule(), M::focus) << "a hidden Today is not selected";
    EXPECT_EQ(state->railScaleFactor(), 1.25);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(written.count(), 0);
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
    EXPECT_EQ(std::count_if(spy.begin(), spy.end(),
                            [](const QList<QVariant> &args) {
                                return args.at(0).value<AppState::Field>() == AppState::Field::reminderAlertsEnabled;
                            }),
              2);
}

TEST_F(AppStateTest, ChangesAreWrittenInTheirStoredForm)
{
    const auto state = makeState();
    state->setWallpaperLibrary(WallpaperLibrary::frontier);
    state->setRailEdge(RailEdge::top);
    state->setCalendarAlertLeadMinutesByEventID({{u"event-1"_s, 5}});
    state->setPrayerNotificationStates({{u"fajr"_s, true}});
    state->setStatusMenuOpenHoldDuration(12); // clamped on assignment
    state->setReminderAlertsEnabled(true);
    state->moveRailModule(M::nowPlaying, -3);
    EXPECT_EQ(defaults.number(u"statusMenuOpenHoldDuration"_s), 10.0);
    EXPECT_EQ(defaults.string(u"wallpaperLibrary"_s), u"frontier"_s);
    EXPECT_EQ(defaults.string(u"railEdge"_s), u"top"_s);
    EXPECT_EQ(defaults.object(u"calendarAlertLeadMinutesByEventID"_s)->value(u"event-1"_s).toInt(), 5);
    EXPECT_EQ(defaults.boolean(u"reminderAlertsEnabled"_s), true);
    EXPECT_EQ(defaults.stringList(u"railModuleOrder"_s)->front(), u"nowPlaying"_s);
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

TEST_F(AppStateTest, TheLastVisibleModuleCannotBeHidden)
{
    defaults.setStringList(u"hiddenRailModules"_s, {u"today"_s, u"calendar"_s, u"prayers"_s, u"notes"_s, u"focus"_s,
                                                    u"links"_s, u"fileTray"_s, u"wallpapers"_s, u"reminders"_s});
    const auto state = makeState();
    state->setRailModule(M::nowPlaying, false);
    EXPECT_EQ(state->visibleRailModules(), RailModuleOrder{M::nowPlaying});
    EXPECT_TRUE(calls.empty());
}

TEST_F(AppStateTest, HidingTheSelectedModuleSelectsTheFirstVisibleAndAHiddenOneCannotBeOpened)
{
    const auto state = makeState();
    state->openModule(M::notes);
    calls.clear();
    state->setRailModule(M::today, false);
    EXPECT_EQ(state->selectedModule(), M::notes) << "a visible selection stays";
    state->setRailModule(M::notes, false);
    EXPECT_EQ(state->selectedModule(), M::calendar);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), u"selected"_s), 1);
    EXPECT_EQ(defaults.stringList(u"hiddenRailModules"_s), (QStringList{u"today"_s, u"notes"_s}));

    state->hideToEdge();
    calls.clear();
    state->openModule(M::notes);
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(state->isExpanded());
}

TEST_F(AppStateTest, HidingAModuleDropsWhatItHeldAndOnlyItsOwnNotifications)
{
    const auto state = makeState();
    const QDateTime later = clock.now().addSecs(3600);
    for (const QString &id :
         {u"meeting-a-1-10"_s, u"prayer-fajr-1"_s, u"prayer-snooze-asr-2"_s, u"reminder-snooze-r-3"_s})
        services.scheduler->add({id, {u"t"_s, u"b"_s, true}, later, {}});
    state->setTodayWeather(TodayWeather{u"Oslo"_s, 3.5, 3, clock.now()});
    state->setTodayWeatherStatusMessage(u"Updated"_s);
    state->setWallpaperStatusMessage(u"Ready"_s);
    state->setNowPlaying(NowPlayingItem{u"Song"_s, u"Artist"_s, u"Player"_s, true, false, std::nullopt});
    PomodoroState running;
    running.isRunning = true;
    running.startedAt = clock.now();
    state->setPomodoro(running);
    state->setPomodoroAlertVisible(true);

    for (M module : {M::today, M::wallpapers, M::nowPlaying, M::focus})
        state->setRailModule(module, false);
    EXPECT_FALSE(state->todayWeather());
    EXPECT_TRUE(state->todayWeatherStatusMessage().isEmpty());
    EXPECT_TRUE(state->wallpaperStatusMessage().isEmpty());
    EXPECT_EQ(state->nowPlaying(), idleNowPlayingItem());
    EXPECT_TRUE(state->pomodoroAlertVisible()) << "a running timer keeps its alert";

    state->setRailModule(M::calendar, false);
    EXPECT_EQ(services.scheduler->pendingIdentifiers(),
              (QStringList{u"prayer-fajr-1"_s, u"prayer-snooze-asr-2"_s, u"reminder-snooze-r-3"_s}));
    state->setRailModule(M::prayers, false);
    EXPECT_EQ(services.scheduler->pendingIdentifiers(), QStringList{u"reminder-snooze-r-3"_s});
    state->setRailModule(M::reminders, false);
    EXPECT_TRUE(services.scheduler->pendingIdentifiers().isEmpty());
}

TEST_F(AppStateTest, PanelStateCallsBackOnlyOnChangeWhileASetterAlwaysReacts)
{
    const auto state = makeState();
    state->expandPanel();
    EXPECT_EQ(calls, (std::vector<QString>{u"revealed:1"_s, u"expanded:1"_s}));
    calls.clear();
    state->expandPanel();
    EXPECT_TRUE(calls.empty());
    state->hideToEdge();
    EXPECT_EQ(calls, (std::vector<QString>{u"expanded:0"_s, u"revealed:0"_s}));
    calls.clear();
    state->setIsExpanded(false);
    state->setActiveCalendarAlert(std::nullopt);
    EXPECT_EQ(calls, (std::vector<QString>{u"expanded:0"_s, u"layout@1"_s}));
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

TEST(AppServices, TheDefaultServicesComeUpWithoutADesktop)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    test::PrivateBus bus;
    UserDefaults defaults;
    AppState state(defaults, clock, AppServices::createDefault(defaults, clock, nullptr, {}, bus.connect(u"kolu"_s)));
    EXPECT_NO_THROW(state.clipboardService());
    EXPECT_NO_THROW(state.wallpaperService());
    EXPECT_EQ(test::awaitTask(state.nowPlayingService().currentItem()).title, u"Nothing playing"_s);
}

TEST(RailModuleOrder, StoredNamesAreReadCaseSensitivelyAndTheRestAppended)
{
    EXPECT_EQ(railmodules::orderFromStored({}), kDefault);
    EXPECT_EQ(railmodules::orderFromStored({u"notes"_s, u"weather"_s, u"calendar"_s}),
              (RailModuleOrder{M::today, M::notes, M::calendar, M::prayers, M::focus, M::links, M::fileTray,
                               M::wallpapers, M::reminders, M::nowPlaying}));
    const RailModuleOrder repeated = railmodules::orderFromStored({u"today"_s, u"links"_s, u"links"_s, u"Notes"_s});
    EXPECT_EQ(repeated.size(), 11u) << "repeats stay as stored";
    QStringList all = railmodules::rawValues(kDefault);
    EXPECT_TRUE(railmodules::hiddenFromStored(all).isEmpty()) << "every module hidden hides none";
    all.removeLast();
    EXPECT_EQ(railmodules::hiddenFromStored(all).size(), 9);
    EXPECT_EQ(railmodules::hiddenFromStored({u"links"_s, u"bogus"_s}), RailModuleSet{M::links});
    const RailModuleSet everything(kDefault.begin(), kDefault.end());
    EXPECT_EQ(railmodules::visible(kDefault, everything), RailModuleOrder{M::calendar});
}

TEST(RailModuleOrder, MovingClampsTheIndexAndPutsHiddenModulesLast)
{
    const RailModuleSet hidden{M::calendar, M::links};
    EXPECT_EQ(railmodules::moved(kDefault, hidden, M::reminders, -3),
              (RailModuleOrder{M::reminders, M::today, M::prayers, M::notes, M::focus, M::fileTray, M::wallpapers,
                               M::nowPlaying, M::calendar, M::links}));
    EXPECT_EQ(railmodules::moved(kDefault, hidden, M::today, 99),
              (RailModuleOrder{M::prayers, M::notes, M::focus, M::fileTray, M::wallpapers, M::reminders, M::nowPlaying,
                               M::today, M::calendar, M::links}));
    EXPECT_EQ(railmodules::moved(kDefault, hidden, M::links, 0), kDefault) << "a hidden module does not move";
}
