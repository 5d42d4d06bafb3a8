#include "state/AppState.h"

#include "services/calendar/CalendarService.h"
#include "services/clipboard/ClipboardService.h"
#include "services/notes/NotesService.h"
#include "services/notifications/NotificationService.h"
#include "services/media/NowPlayingService.h"
#include "services/info/PrayerTimesService.h"
#include "services/media/QuranAudioManager.h"
#include "services/calendar/RemindersService.h"
#include "services/info/RemoteAppMessageConfiguration.h"
#include "services/media/SoundscapeAudioManager.h"
#include "services/wallpaper/WallpaperService.h"
#include "services/info/WeatherService.h"
#include "state/AppSettings.h"
#include "state/RailLayout.h"

using namespace Qt::StringLiterals;

namespace kolu {

NowPlayingItem idleNowPlayingItem()
{
    return NowPlayingItem{u"Nothing playing"_s, {}, {}, false, false, std::nullopt};
}

namespace {

// "Never": the first value of every last-done moment.
const QDateTime kDistantPast(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);

QString dataLocationOrDefault(const QString &dataLocation)
{
    return dataLocation.isEmpty() ? LocalStore::defaultDataLocation() : dataLocation;
}

} // namespace

AppState::AppState(UserDefaults &defaults, Clock &clock, AppServices services, const QString &dataLocation,
                   QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_store(dataLocationOrDefault(dataLocation))
    , m_files(m_store.folder())
    , m_services(std::move(services))
{
    const AppSettings settings = AppSettings::load(defaults);
#define KOLU_TAKE_SETTING(name, key) m_##name = settings.name;
    KOLU_APP_STATE_SETTINGS(KOLU_TAKE_SETTING)
#undef KOLU_TAKE_SETTING
    m_isExpanded = false;
    m_savedLinksUnreadable = false;
    m_savedClipboardUnreadable = false;
    m_calendarFolderMissing = false;
    m_notesFolderMissing = false;
    m_isDockRevealed = false;
    m_isLoadingTodayWeather = false;
    m_webSearchProviders = WebSearchProvider::builtInProviders();
    m_prayerSettings = PrayerSettings{u"Makkah"_s, u"Saudi Arabia"_s, 4};
    m_isLoadingPrayers = false;
    m_isLoadingAppleNotes = false;
    m_isLoadingAppleNoteFolders = false;
    m_nowPlaying = idleNowPlayingItem();
    m_isLoadingWallpaper = false;
    m_isApplyingWallpaper = false;
    m_pomodoro = PomodoroState{};
    m_pomodoroAlertVisible = false;
    m_clipboardPulse = 0;
    m_clipboardPulseActive = false;
    m_isReorderingRail = false;
    // "today" unless it is hidden: the selection is always a visible module.
    m_selectedModule = railmodules::visible(m_railModuleOrder, m_hiddenRailModules).front();
    if (!m_hiddenRailModules.contains(RailModule::today))
        m_selectedModule = RailModule::today;

    m_lastSlowRefresh = kDistantPast;
    m_lastRemoteMessageCheck = kDistantPast;
    m_lastPomodoroPersist = kDistantPast;
    m_lastAlertCheck = kDistantPast;

    // The reminder-alert flag is written through this object; one written
    // to the store directly is followed all the same, and with it the alert
    // check. The notes follow the notes folder chosen in the settings window.
    connect(&m_defaults, &UserDefaults::changed, this, [this](SettingsKey key) {
        if (key == SettingsKey::reminderAlertsEnabled && m_defaults.boolValue(key) != m_reminderAlertsEnabled)
            setReminderAlertsEnabled(m_defaults.boolValue(key));
        if (key == SettingsKey::notesFolderPath)
            followNotesFolder();
    });
    if (m_services.quranAudioManager && m_services.soundscapeAudioManager)
        connect(m_services.quranAudioManager.get(), &QuranAudioManager::statusChanged, this,
                &AppState::onRadioStatusChanged);
}

AppState::~AppState() = default;

ClipboardService &AppState::clipboardService()
{
    if (!m_clipboardService)
        m_clipboardService = m_services.makeClipboardService(m_store);
    return *m_clipboardService;
}

WallpaperService &AppState::wallpaperService()
{
    if (!m_wallpaperService)
        m_wallpaperService = m_services.makeWallpaperService(m_store);
    return *m_wallpaperService;
}

void AppState::persist()
{
    m_files.write<LinksFile>(m_links);
    if (!m_stateFilesLoaded)
        return;
    if (m_stateSaveTimer)
        m_stateSaveTimer->stop();
    m_files.write<ClipboardItemsFile>(m_clipboardItems);
    if (m_files.write<PomodoroFile>(m_pomodoro))
        m_savedPomodoro = m_pomodoro;
    m_files.write<PrayerSettingsFile>(m_prayerSettings);
    if (m_prayerDay)
        m_files.write<PrayerDayFile>(*m_prayerDay);
}

void AppState::scheduleStateSave()
{
    if (!m_stateFilesLoaded)
        return;
    if (!m_stateSaveTimer) {
        m_stateSaveTimer = m_clock.createTimer(this);
        connect(m_stateSaveTimer, &ClockTimer::timeout, this, &AppState::persist);
    }
    // Not restarted by later changes, so a steady stream of them still
    // reaches the disk.
    if (!m_stateSaveTimer->isActive())
        m_stateSaveTimer->start(stateSaveDelay, false);
}

#define KOLU_FIELD_SETTER(name, setter, type)                                                                          \
    void AppState::setter(type value)                                                                                  \
    {                                                                                                                  \
        assign(Field::name, m_##name, std::move(value));                                                               \
    }
KOLU_APP_STATE_FIELDS(KOLU_FIELD_SETTER)
#undef KOLU_FIELD_SETTER

double AppState::railScaleFactor() const
{
    return RailLayout::scaleFactor(m_railSize);
}

void AppState::storeSetting(Field field)
{
    switch (field) {
#define KOLU_STORE_SETTING(name, key)                                                                                  \
    case Field::name: m_defaults.set(SettingsKey::key, storedSetting(m_##name)); break;
        KOLU_APP_STATE_SETTINGS(KOLU_STORE_SETTING)
#undef KOLU_STORE_SETTING
    default: break;
    }
}

void AppState::react(Field field)
{
    switch (field) {
    case Field::calendarEvents:
        // What is shown may differ from the last answer from now on.
        ++m_calendarEventsVersion;
        m_calendarAnswer.reset();
        break;
    case Field::isExpanded: Q_EMIT expandedChanged(m_isExpanded); break;
    case Field::isDockRevealed: Q_EMIT dockRevealChanged(m_isDockRevealed); break;
    case Field::selectedWebSearchProviderID: storeSetting(Field::selectedWebSearchProviderID); break;
    case Field::clipboardHistoryLimit: reactToClipboardHistoryLimit(); break;
    case Field::showMinimizeAllAppsButton:
        storeSetting(Field::showMinimizeAllAppsButton);
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::links:
        // The line about an unreadable saved list stays until the list changes.
        if (m_savedLinksUnreadable)
            setSavedLinksUnreadable(false);
        scheduleStateSave();
        break;
    case Field::clipboardItems:
        if (m_savedClipboardUnreadable)
            setSavedClipboardUnreadable(false);
        scheduleStateSave();
        break;
    case Field::prayerSettings:
    case Field::prayerDay: scheduleStateSave(); break;
    case Field::pomodoro:
        // A running timer changes every second; the tick saves it at its own pace.
        if (!m_pomodoro.isRunning && m_pomodoro != m_savedPomodoro)
            scheduleStateSave();
        break;
    case Field::prayerNotificationStates:
        m_files.write<PrayerNotificationStatesFile>(m_prayerNotificationStates);
        schedulePrayerNotifications();
        break;
    case Field::selectedAppleNoteFolderID: storeSetting(Field::selectedAppleNoteFolderID); break;
    case Field::wallpaperLibrary: reactToWallpaperLibrary(); break;
    case Field::wallpaperApplyToAllDisplays: storeSetting(Field::wallpaperApplyToAllDisplays); break;
    case Field::calendarAlertLeadMinutesByEventID:
        storeSetting(Field::calendarAlertLeadMinutesByEventID);
        scheduleCalendarNotifications();
        break;
    case Field::reminderAlertsEnabled: storeSetting(Field::reminderAlertsEnabled); break;
    case Field::activePrayerAlert:
    case Field::activeCalendarAlert:
    case Field::activeReminderAlert:
    case Field::pomodoroAlertVisible:
    case Field::clipboardPulseActive: Q_EMIT chromeNeedsLayout(); break;
    case Field::railModuleOrder:
        storeSetting(Field::railModuleOrder);
        ensureSelectedModuleIsVisible();
        break;
    case Field::hiddenRailModules:
        storeSetting(Field::hiddenRailModules);
        ensureSelectedModuleIsVisible();
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::railEdge:
        storeSetting(Field::railEdge);
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::railVerticalPosition:
        storeSetting(Field::railVerticalPosition);
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::railSize:
        storeSetting(Field::railSize);
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::statusMenuOpenHoldDuration: {
        const double clamped = clampedStatusMenuHoldDuration(m_statusMenuOpenHoldDuration);
        if (clamped != m_statusMenuOpenHoldDuration)
            setStatusMenuOpenHoldDuration(clamped); // the second pass writes it
        else
            storeSetting(Field::statusMenuOpenHoldDuration);
        break;
    }
    default: break;
    }
}

} // namespace kolu
