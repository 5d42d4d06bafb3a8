#pragma once

#include "model/Clock.h"
#include "model/LocalStore.h"
#include "model/PersistedFiles.h"
#include "model/UserDefaults.h"
#include "platform/windowing/ApplicationHider.h"
#include "services/info/RemoteAppMessage.h"
#include "state/AppServices.h"
#include "state/AppStateFields.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QMimeData;

namespace kolu {

struct ClipboardCaptureResult;
struct QuranRadioStation;
struct SoundscapeMix;
struct SoundscapeTrack;
class UrlOpener;

// Each published field's accessors, the branch that finds its member, and
// the member itself, stamped out from the field list.
// clang-format off
#define KOLU_FIELD_ACCESS(name, setter, type)                                                                      \
    const type &name() const { return m_##name; }                                                                 \
    void setter(type value);
#define KOLU_FIELD_STORAGE(name, setter, type)                                                                     \
    if constexpr (F == Field::name) {                                                                              \
        return m_##name;                                                                                           \
    } else
#define KOLU_FIELD_MEMBER(name, setter, type) type m_##name;
// clang-format on

// The one observable object every view reads: each published field, the
// settings behind them, and the actions the views call. A setter stores the
// value, emits changed(field), then runs the field's reaction, also when the
// value did not change. The constructor assigns directly, so no reaction runs
// while the object is being built.
class AppState : public QObject {
    Q_OBJECT
public:
    using Field = AppStateField;

    // `defaults` and `clock` must outlive the object. `dataLocation` stands in
    // for the user's data folder when given (tests).
    AppState(UserDefaults &defaults, Clock &clock, AppServices services, const QString &dataLocation = {},
             QObject *parent = nullptr);
    ~AppState() override;

    // Paces and defaults.
    static constexpr int defaultCalendarAlertLeadMinutes = 10;
    static constexpr std::chrono::milliseconds activeNowPlayingRefreshInterval{10'000};
    static constexpr std::chrono::milliseconds idleNowPlayingRefreshInterval{60'000};
    static constexpr std::chrono::milliseconds alertCheckInterval{15'000};
    static constexpr std::chrono::milliseconds remoteMessageCheckInterval{21'600'000};
    static constexpr std::chrono::milliseconds clipboardPulseDuration{1'400};
    // A change to a saved field reaches its file this long after it at most,
    // so a crash or a lost display costs seconds, not the session.
    static constexpr std::chrono::milliseconds stateSaveDelay{2'000};

    KOLU_APP_STATE_FIELDS(KOLU_FIELD_ACCESS)

    // The halves of reminderList. Each setter replaces its half, keeps the
    // other and publishes reminderList once.
    const std::vector<ReminderItem> &reminders() const { return m_reminderList.items; }
    // Whether more open reminders wait than `reminders()` holds.
    bool hasMoreOpenReminders() const { return m_reminderList.more; }
    const RemindersConnectionState &remindersConnection() const { return m_reminderList.connection; }
    void setReminders(std::vector<ReminderItem> items);
    void setRemindersConnection(RemindersConnectionState connection);

    // The services. Views call a few of them directly (the two audio
    // managers, the notes service).
    CalendarService &calendarService() const { return *m_services.calendarService; }
    RemindersService &remindersService() const { return *m_services.remindersService; }
    NotesService &notesService() const { return *m_services.notesService; }
    PrayerTimesService &prayerTimesService() const { return *m_services.prayerTimesService; }
    WeatherService &weatherService() const { return *m_services.weatherService; }
    NotificationService &notificationService() const { return *m_services.notificationService; }
    RemoteAppMessageService &remoteMessageService() const { return *m_services.remoteMessageService; }
    NowPlayingService &nowPlayingService() const { return *m_services.nowPlayingService; }
    QuranAudioManager &quranAudioManager() const { return *m_services.quranAudioManager; }
    SoundscapeAudioManager &soundscapeAudioManager() const { return *m_services.soundscapeAudioManager; }
    ProcessRunner &processRunner() const { return *m_services.processes; }
    Pasteboard &pasteboard() const { return *m_services.pasteboard; }
    DeviceShareService &deviceShareService() const { return *m_services.deviceShareService; }
    FolderPicker &folderPicker() const { return *m_services.folderPicker; }
    // Made on first use.
    ClipboardService &clipboardService();
    WallpaperService &wallpaperService();

    // Writes the links, the clipboard history, the focus timer, the prayer
    // settings and the prayer day (when one is held), each on its own; a file
    // that already holds its content is not rewritten, and a failed write is
    // skipped. Until the state files have been read at start, only the links
    // are written, so an early save never replaces a file that was not read
    // yet. Changes are also saved by themselves, stateSaveDelay after them.
    void persist();

    const LocalStore &store() const { return m_store; }
    const PersistedFiles &files() const { return m_files; }
    UserDefaults &defaults() const { return m_defaults; }
    Clock &clock() const { return m_clock; }
    Network &network() const { return *m_services.network; }

    // Edits a field in place, then announces it and runs its reaction once:
    // state.mutate<AppState::Field::pomodoro>([](PomodoroState &p) { p.skip(); });
    template<Field F, typename Edit>
    void mutate(Edit &&edit)
    {
        edit(storage<F>());
        Q_EMIT changed(F);
        react(F);
    }

    // Rail modules and the panel.
    RailModuleOrder visibleRailModules() const;
    bool isModuleHidden(RailModule module) const { return m_hiddenRailModules.contains(module); }
    // The calendar folder the user chose, or nothing while a default one is
    // looked for: a chosen folder that has gone is one that cannot be read.
    std::optional<QString> chosenCalendarFolder() const;
    // The same for the to-do folder and the notes folder.
    std::optional<QString> chosenRemindersFolder() const;
    std::optional<QString> chosenNotesFolder() const;
    // The scale of the rail views for the current rail size.
    double railScaleFactor() const;
    void setRailModule(RailModule module, bool visible);
    void moveRailModule(RailModule module, int toVisibleIndex);
    void openModule(RailModule module);
    void expandPanel();
    void hideToEdge();
    // What views ask of the window layer: the settings window, the
    // onboarding, and laying the rail's chrome out again after a view
    // cleared a field itself. Each emits its signal below; only the state
    // emits them.
    void requestSettings();
    void requestOnboarding();
    void requestChromeLayout();

    // Launch: loads the saved state, then starts the tick. The start-up
    // refresh (the launch's network requests among it) comes 1.6 s later;
    // with `afterFirstFrame` it also waits for firstFrameShown(), as does
    // the watch on the data folders, so that nothing of either runs before
    // the rail is on screen.
    void start(bool afterFirstFrame = false);
    // The rail's first frame has been painted (or will not come): the data
    // folders are watched from now on. Runs once.
    void firstFrameShown();
    // Reads the state files and tidies them (links, search providers, the
    // clipboard history). From then on a save may replace every state file.
    void loadSavedState();

    // Refreshes of the information modules.
    void refreshCalendarEvents();
    void refreshTodayWeather(bool force);
    void refreshPrayerTimesIfNeeded();
    void refreshReminders();
    void refreshAppleNotes(bool force);
    void refreshAppleNoteFolders(bool force);

    // Wallpapers.
    void refreshWallpaper(bool force);

    // Now playing: at once, or throttled to the pace of what is shown (the
    // tick's poll; one at a time).
    void refreshNowPlaying();
    void refreshNowPlayingIfNeeded();
    bool isRefreshingNowPlaying() const { return m_nowPlayingRefreshInFlight; }

    void refreshPrayerTimes(bool force);
    // What the rail's Refresh control runs: only the weather is forced.
    void refreshAll();
    // Trimmed texts; an empty one changes nothing.
    void updatePrayerLocation(const QString &city, const QString &country);
    bool prayerNotificationEnabled(const PrayerTime &prayer) const;
    void setPrayerNotificationEnabled(bool enabled, const PrayerTime &prayer);
    // The next prayer of the held day, or nothing after its last one.
    std::optional<PrayerTime> upcomingPrayer() const;
    std::optional<AppleNoteFolder> selectedAppleNoteFolder() const;
    // Hides the prayer alert and brings it back after `minutes`.
    void snoozePrayer(int minutes);

    // Opens web pages and files with the desktop's default applications.
    UrlOpener &urlOpener() const;

    // Favourite links: typed text that is no web address is ignored.
    void addLink(const QString &title, const QString &url);
    void deleteLink(const SavedLink &link);

    // Web search. A built-in provider cannot be deleted; an unusable template
    // or an empty query is ignored.
    WebSearchProvider selectedWebSearchProvider() const;
    void openWebSearch(const QString &query);
    void addWebSearchProvider(const QString &title, const QString &searchURLTemplate);
    void deleteWebSearchProvider(const WebSearchProvider &provider);

    // Wallpapers. The tasks may be dropped: they finish on their own.
    void moveWallpaperSelection(int offset);
    QCoro::Task<> chooseWallpaperFolder();
    void clearWallpaperFolder();
    QCoro::Task<> applyCurrentWallpaper();
    // Picks an index below its argument (at least 1) for the shown wallpaper
    // after a load; uniform from the system generator unless replaced.
    void setWallpaperRandomIndex(std::function<qsizetype(qsizetype)> pick);

    // Clipboard history: what the capture found goes on top, replacing its twin.
    void addClipboardCaptureResult(const ClipboardCaptureResult &result);
    void deleteClipboardItem(const ClipboardItem &item);
    void clearClipboardHistory();
    void openClipboardItem(const ClipboardItem &item);
    QCoro::Task<> copyClipboardItem(ClipboardItem item);

    // File tray. A drop counts when it offers at least one file address.
    bool receiveFileTrayDrop(const QMimeData &drop);
    void addFileTrayURLs(const QList<QUrl> &urls);
    void toggleFileTraySelection(const FileTrayItem &item);
    // What a drag of `startingWith` carries: the selection when it is
    // selected, else the file alone; held files no longer on disk are left
    // out (so a missing file alone gives nothing to drag).
    QList<QUrl> fileTrayDragURLs(const FileTrayItem &startingWith) const;
    void removeFileTrayItem(const FileTrayItem &item);
    // Sends the selected files (or all) to a paired phone or computer.
    QCoro::Task<> airDropFileTrayItems();

    static constexpr int maxLinks = 80;
    // The reminders card lists at most this many open reminders.
    static constexpr int maxOpenReminders = 12;
    // What a fetch of one more than `maxOpenReminders` leaves in the state.
    static ReminderList keptOpenReminders(RemindersConnectionState connection, std::vector<ReminderItem> fetched);
    static constexpr int maxFileTrayItems = 24;
    // The sizes the clipboard history can be set to, smallest first.
    static constexpr std::array<int, 4> clipboardHistoryLimitOptions{10, 20, 30, 40};

    // What the message feed reads at each check: the feed address and the
    // build number. Compiled in; tests put their own.
    struct BundleInformation {
        std::optional<QString> messageFeedURL;
        std::optional<QString> buildNumber;
        static BundleInformation compiledIn();
    };
    void setBundleInformation(BundleInformation information) { m_bundleInformation = std::move(information); }
    const QDateTime &lastRemoteMessageCheck() const { return m_lastRemoteMessageCheck; }
    // Asks the feed when six hours have passed since the last check, or at
    // once when forced.
    void checkRemoteMessageIfNeeded(bool force);

    // Access to the calendars, reminders, notes and the screenshots folders,
    // reported in the one system-access status line.
    enum class AccessArea { calendar, reminders, notes };
    void requestCalendarPermission();
    void requestRemindersPermission();
    void requestNotesPermission();
    void requestDesktopPermission();
    // Asks the window layer for Kolu's own settings page, where the folders
    // are chosen.
    void openRemindersAccessSettings();
    // The settings page where the calendar, to-do and notes folders are chosen.
    void openDesktopAppsSettings();
    // Hides every other application's windows and reports the count.
    void minimizeAllApplications();
    // Whether the hide-all button can work here (X11 with a window manager).
    bool canMinimizeAllApplications() const;
    // Replaces the desktop's hider (tests).
    void setApplicationHider(std::unique_ptr<ApplicationHider> hider) { m_applicationHider = std::move(hider); }

    // Reminders, calendar alert leads and the focus snooze.
    void addReminder(ReminderDraft draft);
    void toggleReminder(ReminderItem item);
    void completeReminderAlert();
    void snoozeReminder(int minutes);
    // When the alert of a snoozed reminder comes back.
    std::optional<QDateTime> reminderSnoozedUntil(const QString &reminderID) const;
    int calendarAlertLeadMinutes(const CalendarEvent &event) const;
    void setCalendarAlertLeadMinutes(int minutes, const CalendarEvent &event);
    void snoozePomodoro(int minutes);

    // The Now Playing card's transport and mute buttons.
    void mediaAction(MediaAction action);

    // The radio and the ambient soundscapes, which never play together:
    // starting the soundscapes stops the radio first, and the soundscapes
    // stop once the radio is heard (a station that never plays leaves them
    // playing). Each reads now playing again.
    // The radio's play and pause button.
    void toggleQuranRadio();
    // A station row: chooses the station, which plays at once while the
    // radio is busy.
    void selectQuranStation(const QuranRadioStation &station);
    // A sound's tile, and a mix button.
    void toggleSoundscape(const SoundscapeTrack &track);
    void applySoundscapeMix(const SoundscapeMix &mix);
    // Stops every ambient sound; the radio is left alone.
    void stopSoundscapes();
    // The summary button: pauses or resumes whichever source is chosen (the
    // radio when it has a station or is busy), or opens the module when
    // nothing has been chosen.
    void toggleSystemAudio();

Q_SIGNALS:
    void changed(kolu::AppStateField field);
    // The reactions the window layer follows, each emitted after the field
    // is stored (also when it did not change).
    void expandedChanged(bool expanded);
    void dockRevealChanged(bool revealed);
    // The rail's chrome (alerts, buttons, edge, size) needs laying out again.
    void chromeNeedsLayout();
    // Asks the window layer for the settings page where the calendar, to-do
    // and notes folders are chosen.
    void showDesktopAppsSettings();
    // Asks the window layer for the settings window and for the onboarding.
    void showOrlixSettings();
    void showOrlixOnboarding();

private:
    // The radio's status moved: once it plays, the ambient sounds stop.
    void onRadioStatusChanged();

    template<typename T>
    void assign(Field field, T &member, T value)
    {
        member = std::move(value);
        Q_EMIT changed(field);
        react(field);
    }

    // The member behind a field.
    template<Field F>
    auto &storage()
    {
        // clang-format off
        KOLU_APP_STATE_FIELDS(KOLU_FIELD_STORAGE)
        {
            return m_isExpanded;
        }
        // clang-format on
    }

    void react(Field field);
    // Starts the delayed save unless one is pending.
    void scheduleStateSave();
    // Writes a stored field (KOLU_APP_STATE_SETTINGS) under its key.
    void storeSetting(Field field);
    void ensureSelectedModuleIsVisible();
    void deactivateModule(RailModule module);
    // Drops the state of every hidden module; run once at start.
    void deactivateHiddenModules();

    // Loads what a module shows when it is opened or shown again.
    void loadModuleDataIfNeeded(RailModule module);
    // Keeps the scheduled prayer and meeting notifications in step.
    void schedulePrayerNotifications();
    // Schedules the alerts of the events shown.
    void scheduleCalendarNotifications();

    // Links, search providers and the clipboard history at launch.
    void cleanInvalidFavoriteLinks();
    void loadWebSearchProviders();
    void trimClipboardHistoryToLimit();
    void saveClipboardHistoryThenDeleteImages(const std::vector<ClipboardItem> &dropped);
    void dropClipboardImagesAndPersist(const std::vector<ClipboardItem> &dropped);
    void cleanupOlderClipboardImages();

    void tick();
    void triggerTimeBasedAlertsIfNeeded();
    void triggerCalendarAlertsIfNeeded();
    void triggerPrayerAlertsIfNeeded();
    void triggerReminderAlertsIfNeeded();
    // Removes what saves, downloads and unpackings of a killed earlier run
    // left in Kolu's own folders.
    void removeLeftoversOfEarlierRuns();
    // The work of each refresh after its service call is started; each
    // checks that the object and its module are still there on return.
    void startupRefresh();
    // Runs `action` once after `delay`; the timer goes with this object, so
    // nothing is left waiting when it is destroyed first.
    void runAfter(std::chrono::milliseconds delay, std::function<void()> action);
    static QCoro::Task<> captureClipboard(QPointer<AppState> self);
    static QCoro::Task<> captureScreenshot(QPointer<AppState> self);
    static QCoro::Task<> fetchWeather(QPointer<AppState> self, quint64 request, QString city, QString country);
    static QCoro::Task<> fetchPrayerDay(QPointer<AppState> self, quint64 request, PrayerSettings settings,
                                        QDateTime date);
    static QCoro::Task<> fetchCalendarEvents(QPointer<AppState> self, quint64 request);
    static QCoro::Task<> fetchReminders(QPointer<AppState> self, quint64 request);
    static QCoro::Task<> fetchAppleNotes(QPointer<AppState> self, quint64 request);
    static QCoro::Task<> fetchAppleNoteFolders(QPointer<AppState> self, quint64 request);

    void insertLink(const SavedLink &link);
    void removeLegacyClipboardLinksIfNeeded();
    void ensureSelectedWebSearchProviderExists();
    void writeWebSearchProviders();

    void reactToWallpaperLibrary();
    QCoro::Task<> loadWallpapers(bool force);
    // Loads again after a folder change, once the running load has ended.
    void reloadWallpapers();
    void finishWallpaperLoad();
    qsizetype randomWallpaperIndex(qsizetype count);

    void reactToClipboardHistoryLimit();
    void deleteLocalClipboardImageFile(const ClipboardItem &item);
    void showClipboardPulse();
    QCoro::Task<> copyImage(QString path);
    void copyFile(const QString &path);

    void deliverRemoteMessageIfNeeded(const RemoteAppMessage &message);
    static QCoro::Task<> fetchRemoteMessage(QPointer<AppState> self, QUrl feedURL, int build);
    void requestAccess(AccessArea area);
    static QCoro::Task<> awaitAccessGrant(QPointer<AppState> self, AccessArea area);
    // Reads the notes from the folder the settings name now.
    void followNotesFolder();
    // Refreshes the notes when their folders change.
    void followNotesFolderChanges();
    void watchDataFolders();
    // Publishes the answer of a reminder write (and drops the written
    // reminder's snooze), then fetches the open reminders again.
    static QCoro::Task<> finishReminderWrite(QPointer<AppState> self, QCoro::Task<RemindersConnectionState> write,
                                             QString snoozeToDrop);
    // Fetches the open reminders and publishes them with their state.
    static QCoro::Task<> refetchOpenReminders(QPointer<AppState> self);
    // `list` as published: a fetch that went well does not hide why the
    // last write failed.
    ReminderList withReminderWriteFailure(ReminderList list) const;
    static QCoro::Task<> runRefreshNowPlaying(QPointer<AppState> self);
    static QCoro::Task<> runThrottledNowPlayingRefresh(QPointer<AppState> self, double interval);
    static QCoro::Task<> runMediaAction(QPointer<AppState> self, MediaAction action);
    void showNowPlaying(quint64 request, NowPlayingItem item);
    ApplicationHider &applicationHider() const;
    double nowPlayingRefreshInterval() const;

    UserDefaults &m_defaults;
    Clock &m_clock;
    LocalStore m_store;
    PersistedFiles m_files;
    AppServices m_services;
    std::unique_ptr<ClipboardService> m_clipboardService;
    std::unique_ptr<WallpaperService> m_wallpaperService;

    // Bookkeeping of the tick, the refreshes and the alert engine.
    ClockTimer *m_refreshTimer = nullptr;
    QDateTime m_lastSlowRefresh;
    QDateTime m_lastRemoteMessageCheck;
    QDateTime m_lastPomodoroPersist;
    QDateTime m_lastAlertCheck;
    bool m_nowPlayingRefreshInFlight = false;
    // Each refresh kind numbers its requests. Only the answer of the latest
    // one is published or saved, so an earlier answer that lands last never
    // wins; its loading flag is the latest request's, cleared when that ends.
    enum class RefreshKind { weather, prayers, calendar, reminders, notes, noteFolders, wallpapers, nowPlaying };
    std::array<quint64, 8> m_latestRequests{};
    quint64 beginRequest(RefreshKind kind) { return ++m_latestRequests[static_cast<std::size_t>(kind)]; }
    bool isLatestRequest(RefreshKind kind, quint64 request) const
    {
        return m_latestRequests[static_cast<std::size_t>(kind)] == request;
    }
    // Now playing has many sources (the tick's probe, refreshes, the buttons'
    // re-reads): an answer is shown unless a later-started one was shown.
    quint64 m_shownNowPlayingRequest = 0;
    // The calendar answer the events shown were taken from, while they still
    // are (any other change of them lets it go), and the version of the
    // events shown, changed with them.
    std::shared_ptr<const std::vector<CalendarEvent>> m_calendarAnswer;
    quint64 m_calendarEventsVersion = 0;
    // The folder or library changed while a load ran: its answer is dropped
    // and, for a folder change, a new load follows it.
    bool m_wallpaperReloadPending = false;
    ClockTimer *m_clipboardPulseReset = nullptr;
    QSet<QString> m_firedCalendarAlertKeys;
    QSet<QString> m_firedPrayerAlertKeys;
    QSet<QString> m_firedReminderAlertKeys;
    QHash<PrayerName, QDateTime> m_snoozedPrayerDates;
    QHash<QString, QDateTime> m_snoozedReminderDates;
    // Why the last reminder write failed, until a write succeeds.
    std::optional<RemindersConnectionState> m_reminderWriteFailure;
    bool m_stateFilesLoaded = false;
    // The start-up refresh's two conditions: its delay has passed, the
    // first frame is shown.
    bool m_startupDelayPassed = false;
    bool m_firstFrameShown = true;
    ClockTimer *m_stateSaveTimer = nullptr;
    // The focus timer as last read or written, so that a tick that changes
    // nothing asks for no save.
    PomodoroState m_savedPomodoro;

    std::function<qsizetype(qsizetype)> m_wallpaperRandomIndex;
    BundleInformation m_bundleInformation = BundleInformation::compiledIn();
    mutable std::unique_ptr<ApplicationHider> m_applicationHider;

    KOLU_APP_STATE_FIELDS(KOLU_FIELD_MEMBER)
};

#undef KOLU_FIELD_ACCESS
#undef KOLU_FIELD_STORAGE
#undef KOLU_FIELD_MEMBER

} // namespace kolu
