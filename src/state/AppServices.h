#pragma once

#include <QDBusConnection>

#include <functional>
#include <memory>

namespace kolu {

class AlertSounds;
class AudioPlayerFactory;
class CalendarService;
class CalendarStore;
class DeviceShareService;
class Clock;
class ClipboardService;
class DesktopPicture;
class FolderPicker;
class LocalStore;
class Network;
class NoteStore;
class NotesService;
class NotificationScheduler;
class NotificationServer;
class NotificationService;
class NowPlayingService;
class Pasteboard;
class PrayerTimesService;
class ProcessRunner;
class QuranAudioManager;
class RemindersService;
class RemoteAppMessageService;
class SoundPlayer;
class SoundscapeAudioManager;
class UrlOpener;
class UserDefaults;
class WallpaperService;
class WeatherService;

// Every service the application state owns, with what they are built on.
// Members are destroyed in reverse order, so each service goes before the
// collaborators it refers to. Tests fill one with real services built on
// test collaborators (a local HTTP server, a private bus, a recording process
// runner, a fake clipboard).
struct AppServices {
    AppServices();
    AppServices(AppServices &&) noexcept;
    AppServices &operator=(AppServices &&) noexcept;
    ~AppServices();

    // Collaborators.
    std::unique_ptr<Network> network;
    std::unique_ptr<ProcessRunner> processes;
    std::unique_ptr<CalendarStore> calendarStore;
    std::unique_ptr<CalendarStore> remindersStore;
    std::shared_ptr<NoteStore> noteStore;
    std::unique_ptr<NotificationServer> notificationServer;
    std::unique_ptr<NotificationScheduler> notificationScheduler;
    std::unique_ptr<SoundPlayer> soundPlayer;
    std::unique_ptr<AlertSounds> alertSounds;
    std::unique_ptr<AudioPlayerFactory> audioPlayers;
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<DesktopPicture> desktopPicture;
    std::unique_ptr<FolderPicker> folderPicker;
    std::unique_ptr<UrlOpener> urlOpener;

    // The services, in the order the application state creates them.
    std::unique_ptr<CalendarService> calendarService;
    std::unique_ptr<RemindersService> remindersService;
    std::unique_ptr<NotesService> notesService;
    std::unique_ptr<PrayerTimesService> prayerTimesService;
    std::unique_ptr<WeatherService> weatherService;
    std::unique_ptr<NotificationService> notificationService;
    std::unique_ptr<RemoteAppMessageService> remoteMessageService;
    std::unique_ptr<NowPlayingService> nowPlayingService;
    std::unique_ptr<QuranAudioManager> quranAudioManager;
    std::unique_ptr<SoundscapeAudioManager> soundscapeAudioManager;
    std::unique_ptr<DeviceShareService> deviceShareService;

    // The notes store for the folder the settings name now: made at the
    // start and again whenever that setting changes.
    std::function<std::shared_ptr<NoteStore>()> makeNoteStore;

    // The two services made on first use, from the data folder.
    std::function<std::unique_ptr<ClipboardService>(const LocalStore &)> makeClipboardService;
    std::function<std::unique_ptr<WallpaperService>(const LocalStore &)> makeWallpaperService;

    // The real services: the session bus, the network, the desktop's tools.
    // `folderPicker` comes from the window layer, which owns the dialogs
    // (without one, every folder choice is cancelled); `beep` is its
    // warning beep.
    static AppServices createDefault(UserDefaults &defaults, Clock &clock, std::unique_ptr<FolderPicker> folderPicker,
                                     std::function<void()> beep = {},
                                     QDBusConnection bus = QDBusConnection::sessionBus());
};

} // namespace kolu
