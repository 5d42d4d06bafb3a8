#include "model/UserDefaults.h"
#include "state/AppSettings.h"
#include "state/RailModules.h"

#include "AppStateFixture.h"

#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <string_view>

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
        QObject::connect(raw, &AppState::changed, [this](AppStateField field) {
            if (field == AppStateField::selectedModule)
                calls.push_back(u"selected"_s);
        });
        return state;
    }
};

const RailModuleOrder kDefault = railmodules::orderFromStored({});

} // namespace

// A hand-edited settings file is read field by field: a value of the wrong
// type, an unknown name or a name in the wrong case keeps that field's default.
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
    EXPECT_EQ(load(SettingsKey::wallpaperLibrary, u"Frontier"_s).wallpaperLibrary, WallpaperLibrary::noir);
    EXPECT_EQ(load(SettingsKey::statusMenuOpenHoldDuration, 20).statusMenuOpenHoldDuration, 20) << "clamped on change";
    EXPECT_EQ(clampedStatusMenuHoldDuration(std::nan("")), 1.0);
    const QJsonObject leads{{u"a"_s, 5}, {u"b"_s, 15}}, notAllWhole{{u"a"_s, 5}, {u"b"_s, u"soon"_s}};
    EXPECT_EQ(load(SettingsKey::calendarAlertLeadMinutesByEventID, leads).calendarAlertLeadMinutesByEventID.size(), 2);
    EXPECT_TRUE(
        load(SettingsKey::calendarAlertLeadMinutesByEventID, notAllWhole).calendarAlertLeadMinutesByEventID.isEmpty());

    const RailModuleOrder order = railmodules::orderFromStored({u"notes"_s, u"weather"_s, u"Calendar"_s, u"notes"_s});
    EXPECT_EQ(std::pair(order[0], order.size()), std::pair(M::today, std::size_t(11))) << "Today leads unless named";
    EXPECT_TRUE(railmodules::hiddenFromStored(railmodules::rawValues(kDefault)).isEmpty()) << "all hidden hides none";
    EXPECT_EQ(railmodules::hiddenFromStored({u"links"_s, u"bogus"_s}), RailModuleSet{M::links});
}

// Every stored field, changed through the state, is read back as it was set
// at the next launch.
TEST_F(AppStateTest, EveryStoredFieldReadsBackWhatTheStateWrote)
{
    // The wallpaper service stores the folder's name; the state only reads it.
    defaults.set(SettingsKey::wallpaperLocalFolderName, u"Pictures"_s);
    const AppSettings fresh = AppSettings::load(defaults);
    const auto state = makeState();
    RailModuleOrder order = kDefault;
    std::ranges::reverse(order);
    state->setSelectedWebSearchProviderID(u"custom-1"_s);
    state->setClipboardHistoryLimit(20);
    state->setShowMinimizeAllAppsButton(false);
    state->setSelectedAppleNoteFolderID(u"folder-2"_s);
    state->setWallpaperLibrary(WallpaperLibrary::archive);
    state->setWallpaperApplyToAllDisplays(true);
    state->setCalendarAlertLeadMinutesByEventID({{u"event-1"_s, 30}, {u"event-2"_s, 0}});
    state->setReminderAlertsEnabled(false);
    state->setRailModuleOrder(order);
    state->setHiddenRailModules({M::links, M::notes});
    state->setRailEdge(RailEdge::left);
    state->setRailSize(RailSize::large);
    state->setRailVerticalPosition(RailVerticalPosition::bottom);
    state->setStatusMenuOpenHoldDuration(2.5);

    const AppSettings read = AppSettings::load(defaults);
#define KOLU_EXPECT_READ_BACK(name, key)                                                                               \
    EXPECT_TRUE(read.name == state->name()) << #name;                                                                  \
    EXPECT_EQ(fresh.name == read.name, std::string_view(#name) == "wallpaperLocalFolderName") << #name;
    KOLU_APP_STATE_SETTINGS(KOLU_EXPECT_READ_BACK)
#undef KOLU_EXPECT_READ_BACK
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

// Changes go out in the form the settings window reads, and come back from it.
TEST_F(AppStateTest, SettingsAreWrittenInTheirStoredFormAndFollowAWriteFromTheSettingsWindow)
{
    const auto state = makeState();
    state->setWallpaperLibrary(WallpaperLibrary::frontier);
    state->setRailEdge(RailEdge::top);
    state->setCalendarAlertLeadMinutesByEventID({{u"event-1"_s, 5}});
    state->setPrayerNotificationStates({{u"fajr"_s, true}});
    state->setStatusMenuOpenHoldDuration(12); // clamped on assignment
    state->moveRailModule(M::nowPlaying, -3);
    EXPECT_EQ(defaults.number(u"statusMenuOpenHoldDuration"_s), 10.0);
    EXPECT_EQ(defaults.string(u"wallpaperLibrary"_s), u"frontier"_s);
    EXPECT_EQ(defaults.string(u"railEdge"_s), u"top"_s);
    EXPECT_EQ(defaults.object(u"calendarAlertLeadMinutesByEventID"_s)->value(u"event-1"_s).toInt(), 5);
    EXPECT_EQ(defaults.stringList(u"railModuleOrder"_s)->front(), u"nowPlaying"_s);
    EXPECT_EQ(state->files().read<PrayerNotificationStatesFile>(), (PrayerNotificationStates{{u"fajr"_s, true}}));

    QSignalSpy spy(state.get(), &AppState::changed);
    for (const auto &[stored, expected] :
         std::vector<std::pair<QJsonValue, bool>>{{false, false}, {false, false}, {u"no"_s, true}, {true, true}}) {
        defaults.set(SettingsKey::reminderAlertsEnabled, stored);
        EXPECT_EQ(state->reminderAlertsEnabled(), expected);
    }
    EXPECT_EQ(std::count_if(spy.begin(), spy.end(),
                            [](const QList<QVariant> &args) {
                                return args.at(0).value<AppState::Field>() == AppState::Field::reminderAlertsEnabled;
                            }),
              2)
        << "only the two real changes are published";
}

// The panel calls back only on a change, while a setter always reacts.
TEST_F(AppStateTest, PanelAndModuleChangesCallBackAndHidingKeepsASelectedAndALastVisibleModule)
{
    const auto state = makeState();
    state->expandPanel();
    state->expandPanel();
    state->hideToEdge();
    state->setIsExpanded(false);
    state->setActiveCalendarAlert(std::nullopt);
    state->setRailSize(RailSize::large); // the scale is set before the layout runs
    EXPECT_EQ(calls, (std::vector<QString>{u"revealed:1"_s, u"expanded:1"_s, u"expanded:0"_s, u"revealed:0"_s,
                                           u"expanded:0"_s, u"layout@1"_s, u"layout@1.25"_s}));
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
    EXPECT_TRUE(calls.empty()) << "a hidden module does not open";
    for (M module : kDefault)
        state->setRailModule(module, false);
    EXPECT_EQ(state->visibleRailModules(), RailModuleOrder{M::nowPlaying}) << "the last visible module stays";
}

TEST_F(AppStateTest, HidingAModuleDropsWhatItHeldAndOnlyItsOwnNotifications)
{
    const auto state = makeState();
    for (const QString &id :
         {u"meeting-a-1-10"_s, u"prayer-fajr-1"_s, u"prayer-snooze-asr-2"_s, u"reminder-snooze-r-3"_s})
        services.scheduler->add({id, {u"t"_s, u"b"_s, true}, clock.now().addSecs(3600), {}});
    state->setTodayWeather(TodayWeather{u"Oslo"_s, 3.5, 3, clock.now()});
    state->setWallpaperStatus({u"Ready"_s, state->wallpaperStatus().tint});
    state->setPomodoro({.isRunning = true, .startedAt = clock.now()});
    state->setPomodoroAlertVisible(true);
    for (M module : {M::today, M::wallpapers, M::focus})
        state->setRailModule(module, false);
    EXPECT_TRUE(!state->todayWeather() && state->wallpaperStatus().message.isEmpty());
    EXPECT_TRUE(state->pomodoroAlertVisible()) << "a running timer keeps its alert";

    state->setRailModule(M::calendar, false);
    EXPECT_EQ(services.scheduler->pendingIdentifiers(),
              (QStringList{u"prayer-fajr-1"_s, u"prayer-snooze-asr-2"_s, u"reminder-snooze-r-3"_s}));
    state->setRailModule(M::prayers, false);
    EXPECT_EQ(services.scheduler->pendingIdentifiers(), QStringList{u"reminder-snooze-r-3"_s});
    state->setRailModule(M::reminders, false);
    EXPECT_TRUE(services.scheduler->pendingIdentifiers().isEmpty());
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
