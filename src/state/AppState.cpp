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

#include <QJsonArray>
#include <QJsonObject>

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
    , m_files(m_store.directory())
    , m_services(std::move(services))
{
    const AppSettings settings = AppSettings::load(defaults);
    m_isExpanded = false;
    m_isDockRevealed = false;
    m_isLoadingTodayWeather = false;
    m_todayWeatherStatusTint = StatusTint::secondary;
    m_webSearchProviders = WebSearchProvider::builtInProviders();
    m_selectedWebSearchProviderID = settings.selectedWebSearchProviderID;
    m_clipboardHistoryLimit = settings.clipboardHistoryLimit;
    m_fileTrayAirDropStatusTint = StatusTint::secondary;
    m_systemAccessStatusTint = StatusTint::secondary;
    m_showMinimizeAllAppsButton = settings.showMinimizeAllAppsButton;
    m_prayerSettings = PrayerSettings{u"Makkah"_s, u"Saudi Arabia"_s, 4};
    m_isLoadingPrayers = false;
    m_prayerStatusTint = StatusTint::secondary;
    m_isLoadingAppleNotes = false;
    m_isLoadingAppleNoteFolders = false;
    m_selectedAppleNoteFolderID = settings.selectedAppleNoteFolderID;
    m_nowPlaying = idleNowPlayingItem();
    m_wallpaperLibrary = settings.wallpaperLibrary;
    m_wallpaperApplyToAllDisplays = settings.wallpaperApplyToAllDisplays;
    m_isLoadingWallpaper = false;
    m_isApplyingWallpaper = false;
    m_wallpaperStatusTint = StatusTint::secondary;
    m_wallpaperLocalFolderName = settings.wallpaperLocalFolderName;
    m_calendarAlertLeadMinutesByEventID = settings.calendarAlertLeadMinutesByEventID;
    m_reminderAlertsEnabled = settings.reminderAlertsEnabled;
    m_pomodoro = PomodoroState{};
    m_pomodoroAlertVisible = false;
    m_clipboardPulse = 0;
    m_clipboardPulseActive = false;
    m_railModuleOrder = settings.railModuleOrder;
    m_hiddenRailModules = settings.hiddenRailModules;
    m_isReorderingRail = false;
    // "today" unless it is hidden: the selection is always a visible module.
    m_selectedModule = railmodules::visible(m_railModuleOrder, m_hiddenRailModules).front();
    if (!m_hiddenRailModules.contains(RailModule::today))
        m_selectedModule = RailModule::today;
    m_railEdge = settings.railEdge;
    m_railSize = settings.railSize;
    m_railVerticalPosition = settings.railVerticalPosition;
    m_statusMenuOpenHoldDuration = settings.statusMenuOpenHoldDuration;

    m_lastSlowRefresh = kDistantPast;
    m_lastRemoteMessageCheck = kDistantPast;
    m_lastPomodoroPersist = kDistantPast;
    m_lastAlertCheck = kDistantPast;

    // The settings window's reminder-alert switch writes the store itself;
    // the published flag, and with it the alert check, follows it.
    // The notes follow the notes folder chosen there.
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

#define KOLU_FIELD_SETTER(name, setter, type)                                                                      \
    void AppState::setter(type value) { assign(Field::name, m_##name, std::move(value)); }
KOLU_APP_STATE_FIELDS(KOLU_FIELD_SETTER)
#undef KOLU_FIELD_SETTER

double AppState::railScaleFactor() const
{
    return RailLayout::scaleFactor(m_railSize);
}

void AppState::writeSetting(SettingsKey key, const QJsonValue &value)
{
    m_defaults.set(key, value);
}

void AppState::react(Field field)
{
    using k = SettingsKey;
    switch (field) {
    case Field::isExpanded:
        Q_EMIT expandedChanged(m_isExpanded);
        break;
    case Field::isDockRevealed:
        Q_EMIT dockRevealChanged(m_isDockRevealed);
        break;
    case Field::selectedWebSearchProviderID:
        writeSetting(k::selectedWebSearchProviderID, m_selectedWebSearchProviderID);
        break;
    case Field::clipboardHistoryLimit:
        reactToClipboardHistoryLimit();
        break;
    case Field::showMinimizeAllAppsButton:
        writeSetting(k::showMinimizeAllAppsButton, m_showMinimizeAllAppsButton);
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::links:
    case Field::clipboardItems:
    case Field::prayerSettings:
    case Field::prayerDay:
        scheduleStateSave();
        break;
    case Field::pomodoro:
        // A running timer changes every second; the tick saves it at its own pace.
        if (!m_pomodoro.isRunning && m_pomodoro != m_savedPomodoro)
            scheduleStateSave();
        break;
    case Field::prayerNotificationStates:
        m_files.write<PrayerNotificationStatesFile>(m_prayerNotificationStates);
        schedulePrayerNotifications();
        break;
    case Field::selectedAppleNoteFolderID:
        writeSetting(k::selectedAppleNoteFolderID, m_selectedAppleNoteFolderID);
        break;
    case Field::wallpaperLibrary:
        reactToWallpaperLibrary();
        break;
    case Field::wallpaperApplyToAllDisplays:
        writeSetting(k::wallpaperApplyToAllDisplays, m_wallpaperApplyToAllDisplays);
        break;
    case Field::calendarAlertLeadMinutesByEventID: {
        QJsonObject leads;
        for (auto it = m_calendarAlertLeadMinutesByEventID.constBegin();
             it != m_calendarAlertLeadMinutesByEventID.constEnd(); ++it)
            leads.insert(it.key(), it.value());
        writeSetting(k::calendarAlertLeadMinutesByEventID, leads);
        scheduleCalendarNotifications(m_calendarEvents);
        break;
    }
    case Field::reminderAlertsEnabled:
        writeSetting(k::reminderAlertsEnabled, m_reminderAlertsEnabled);
        break;
    case Field::activePrayerAlert:
    case Field::activeCalendarAlert:
    case Field::activeReminderAlert:
    case Field::pomodoroAlertVisible:
    case Field::clipboardPulseActive:
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::railModuleOrder:
        writeSetting(k::railModuleOrder, QJsonArray::fromStringList(railmodules::rawValues(m_railModuleOrder)));
        ensureSelectedModuleIsVisible();
        break;
    case Field::hiddenRailModules:
        writeSetting(k::hiddenRailModules, QJsonArray::fromStringList(railmodules::rawValues(m_hiddenRailModules)));
        ensureSelectedModuleIsVisible();
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::selectedModule:
        Q_EMIT selectedModuleChanged();
        break;
    case Field::railEdge:
        writeSetting(k::railEdge, rawValue(m_railEdge));
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::railVerticalPosition:
        writeSetting(k::railVerticalPosition, rawValue(m_railVerticalPosition));
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::railSize:
        writeSetting(k::railSize, rawValue(m_railSize));
        Q_EMIT chromeNeedsLayout();
        break;
    case Field::statusMenuOpenHoldDuration: {
        const double clamped = clampedStatusMenuHoldDuration(m_statusMenuOpenHoldDuration);
        if (clamped != m_statusMenuOpenHoldDuration)
            setStatusMenuOpenHoldDuration(clamped); // the second pass writes it
        else
            writeSetting(k::statusMenuOpenHoldDuration, clamped);
        break;
    }
    default:
        break;
    }
}

} // namespace kolu
