// Launch and the one-second tick: start() reads the saved state, tidies it
// and starts the tick; the tick runs every periodic duty, each a cheap check
// or a call that returns at once.
#include "state/AppState.h"

#include "platform/calendar/CalendarStore.h"
#include "services/clipboard/ClipboardRules.h"
#include "services/clipboard/ClipboardService.h"
#include "services/notifications/NotificationService.h"
#include "services/wallpaper/WallpaperService.h"

#include "model/LeftoverFiles.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr std::chrono::milliseconds kTickInterval{1000};
constexpr std::chrono::milliseconds kStartupRefreshDelay{1600};
constexpr qint64 kSlowRefreshIntervalMs = 300'000;
constexpr qint64 kRunningPomodoroSaveIntervalMs = 20'000;

} // namespace

void AppState::loadSavedState()
{
    removeLeftoversOfEarlierRuns();
    setLinks(m_files.read<LinksFile>().value_or(LinksFile::Value{}));
    cleanInvalidFavoriteLinks();
    loadWebSearchProviders();
    const std::optional<ClipboardItemsFile::Value> clipboardHistory = m_files.read<ClipboardItemsFile>();
    const QFileInfo historyFile(m_files.pathOf<ClipboardItemsFile>());
    // Only a history read whole, or none at all, tells which pictures are
    // kept: one that could not be read may still name them.
    if (m_store.folder() && (clipboardHistory || !(historyFile.exists() || historyFile.isSymLink()))) {
        if (const auto images = m_store.folder()->subfolder(u"Clipboard"_s, {.create = false, .tighten = true}))
            clipboard::removeUnnamedImages(*images, clipboardHistory.value_or(ClipboardItemsFile::Value{}));
    }
    setClipboardItems(clipboard::withoutMissingImages(clipboardHistory.value_or(ClipboardItemsFile::Value{})));
    trimClipboardHistoryToLimit();
    cleanupOlderClipboardImages();
    setPrayerSettings(m_files.read<PrayerSettingsFile>().value_or(PrayerSettings{u"Makkah"_s, u"Saudi Arabia"_s, 4}));
    setPrayerDay(m_files.read<PrayerDayFile>());
    setPrayerNotificationStates(
        m_files.read<PrayerNotificationStatesFile>().value_or(PrayerNotificationStatesFile::Value{}));
    setPomodoro(m_files.read<PomodoroFile>().value_or(PomodoroState{}));
    m_savedPomodoro = m_pomodoro;
    // From here on a save may replace every state file: each one was read.
    m_stateFilesLoaded = true;
    // A saved list that could not be read shows as empty: the cards say why
    // until the list changes (its file is moved aside by the next save).
    setSavedLinksUnreadable(m_files.foundUnreadable<LinksFile>());
    setSavedClipboardUnreadable(m_files.foundUnreadable<ClipboardItemsFile>());
}

void AppState::start(bool afterFirstFrame)
{
    m_firstFrameShown = !afterFirstFrame;
    loadSavedState();
    mutate<Field::pomodoro>([](PomodoroState &p) { p.migrateDefaultFocusDurationIfNeeded(); });
    const QDateTime launched = m_clock.now();
    mutate<Field::pomodoro>([&launched](PomodoroState &p) { p.reconcileAfterLaunch(launched); });
    deactivateHiddenModules();
    notificationService().requestPermission();
    m_lastSlowRefresh = m_clock.now();
    checkRemoteMessageIfNeeded(true);
    if (m_firstFrameShown)
        watchDataFolders();

    if (!m_refreshTimer) {
        m_refreshTimer = m_clock.createTimer(this);
        connect(m_refreshTimer, &ClockTimer::timeout, this, &AppState::tick);
        m_refreshTimer->start(kTickInterval, true);
    }
    runAfter(kStartupRefreshDelay, [this] {
        m_startupDelayPassed = true;
        if (m_firstFrameShown)
            startupRefresh();
    });
}

void AppState::firstFrameShown()
{
    if (m_firstFrameShown)
        return;
    m_firstFrameShown = true;
    // Nothing the folders hold is read before the start-up refresh, which
    // waits for the frame too: no change goes unseen.
    watchDataFolders();
    if (m_startupDelayPassed)
        startupRefresh();
}

void AppState::watchDataFolders()
{
    // A folder moved away and back, or a calendar added, shows without
    // waiting for the slow refresh.
    const QPointer<AppState> self(this);
    if (m_services.calendarStore) {
        m_services.calendarStore->setOnFolderChange([self] {
            if (self)
                self->refreshCalendarEvents();
        });
    }
    if (m_services.remindersStore) {
        m_services.remindersStore->setOnFolderChange([self] {
            if (self)
                self->refreshReminders();
        });
    }
    followNotesFolderChanges();
}

void AppState::removeLeftoversOfEarlierRuns()
{
    // Before anything is saved: a save of this run must not lose its copy.
    // Never in a folder refused as another user's.
    const auto isJson = [](const QString &name) { return name.endsWith(u".json"_s); };
    if (!m_defaults.isRefused())
        removeLeftoverSaveCopies(QFileInfo(m_defaults.filePath()).absolutePath(), isJson);
    if (m_store.isRefused())
        return;
    if (const auto &data = m_store.folder()) {
        removeLeftoverSaveCopies(data->descriptor(), isJson);
        if (const auto images = data->subfolder(u"Clipboard"_s, {.create = false, .tighten = true}))
            removeLeftoverSaveCopies(images->descriptor(),
                                     [](const QString &name) { return name.endsWith(u".png"_s); });
    }
    // A killed unpacking may have left gigabytes behind: removed on a worker.
    (void)QtConcurrent::run(&WallpaperService::removeLeftovers, QString(m_store.directory() + u"/Wallpapers"_s));
}

void AppState::startupRefresh()
{
    refreshCalendarEvents();
    // Today's list and the due-reminder alerts need the reminders before
    // their own module is ever opened.
    refreshReminders();
    refreshNowPlaying();
    refreshPrayerTimesIfNeeded();
    refreshTodayWeather(false);
}

void AppState::runAfter(std::chrono::milliseconds delay, std::function<void()> action)
{
    ClockTimer *timer = m_clock.createTimer(this);
    connect(timer, &ClockTimer::timeout, this, [timer, action = std::move(action)] {
        timer->deleteLater();
        action();
    });
    timer->start(delay, false);
}

void AppState::tick()
{
    if (!(isModuleHidden(RailModule::focus) && !m_pomodoro.isRunning && !m_pomodoroAlertVisible)) {
        // A hidden focus module still counts a running timer down and finishes it.
        const QDateTime now = m_clock.now();
        mutate<Field::pomodoro>([&now](PomodoroState &p) { p.updateRemaining(now); });
    }

    // The history is shown by the tray, but capture belongs to the links module.
    if (!isModuleHidden(RailModule::links))
        captureClipboard(QPointer<AppState>(this));

    triggerTimeBasedAlertsIfNeeded();
    notificationService().showDueNotifications();

    const QDateTime now = m_clock.now();
    if (m_lastSlowRefresh.msecsTo(now) > kSlowRefreshIntervalMs) {
        m_lastSlowRefresh = now;
        refreshCalendarEvents();
        // A to-do changed by another program shows, and alerts, without a visit.
        refreshReminders();
        refreshNowPlaying();
        if (m_prayerDay)
            refreshPrayerTimesIfNeeded();
    }

    checkRemoteMessageIfNeeded(false);
    refreshNowPlayingIfNeeded();

    if (m_pomodoro.finishedPendingNotification) {
        mutate<Field::pomodoro>([](PomodoroState &p) { p.finishedPendingNotification = false; });
        setPomodoroAlertVisible(true);
        notificationService().playFocusFinishedSound();
        if (m_pomodoro.mode == PomodoroMode::breakTime)
            notificationService().send(u"Break finished"_s, u"Ready for another focus session?"_s);
        else
            notificationService().send(u"Focus finished"_s, u"Nice work. Time for a short break."_s);
    }

    const QDateTime saveCheck = m_clock.now();
    if (m_pomodoro.isRunning && m_lastPomodoroPersist.msecsTo(saveCheck) > kRunningPomodoroSaveIntervalMs) {
        m_lastPomodoroPersist = saveCheck;
        if (m_files.write<PomodoroFile>(m_pomodoro))
            m_savedPomodoro = m_pomodoro;
    }
}

QCoro::Task<> AppState::captureClipboard(QPointer<AppState> self)
{
    std::optional<ClipboardCaptureResult> capture;
    try {
        capture = co_await self->clipboardService().captureLatestIfNeeded();
    } catch (...) {
        co_return;
    }
    if (self && capture && !self->isModuleHidden(RailModule::links))
        self->addClipboardCaptureResult(*capture);
}

} // namespace kolu
