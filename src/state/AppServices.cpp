#include "state/AppServices.h"

#include "model/LocalStore.h"
#include "model/UserDefaults.h"
#include "platform/media/AudioPlayer.h"
#include "platform/media/MediaModule.h"
#include "platform/media/PactlOutputMute.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/notifications/DesktopNotifications.h"
#include "platform/desktop/DesktopPicture.h"
#include "platform/desktop/FolderPicker.h"
#include "platform/notes/LocalNoteStore.h"
#include "platform/notifications/NotificationScheduler.h"
#include "platform/desktop/Pasteboard.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/system/ProcessRunner.h"
#include "platform/media/SoundPlayer.h"
#include "platform/net/Http.h"
#include "platform/net/NetModule.h"
#include "platform/desktop/SystemDesktopPicture.h"
#include "platform/desktop/UrlOpener.h"
#include "platform/calendar/VdirCalendarStore.h"
#include "services/media/AlertSounds.h"
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
#include "services/share/DeviceShareService.h"

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Without a window layer there is no dialog to ask: every choice is cancelled.
class NoFolderPicker final : public FolderPicker {
public:
    QCoro::Task<std::optional<QString>> chooseFolder(FolderPickerOptions) override { co_return std::nullopt; }
};

} // namespace

AppServices::AppServices() = default;
AppServices::AppServices(AppServices &&) noexcept = default;
AppServices &AppServices::operator=(AppServices &&) noexcept = default;
AppServices::~AppServices() = default;

AppServices AppServices::createDefault(UserDefaults &defaults, Clock &clock, std::unique_ptr<FolderPicker> folderPicker,
                                       std::function<void()> beep, QDBusConnection bus)
{
    AppServices s;
    s.network = NetModule::makeNetwork(clock);
    s.processes = std::make_unique<SystemProcessRunner>(clock);
    // The calendar and the to-dos usually live in one root: its files are
    // parsed once for both stores.
    const auto roots = std::make_shared<SharedCalendarRoots>();
    s.calendarStore =
        std::make_unique<VdirCalendarStore>(defaults, QDir::homePath(), QTimeZone::systemTimeZone(), roots);
    s.remindersStore =
        std::make_unique<VdirCalendarStore>(defaults, QDir::homePath(), QTimeZone::systemTimeZone(), roots);
    ProcessRunner *processes = s.processes.get();
    s.makeNoteStore = [processes, &defaults]() -> std::shared_ptr<NoteStore> {
        return std::make_shared<LocalNoteStore>(LocalNoteStore::rootsFor(defaults.string(SettingsKey::notesFolderPath)),
                                                *processes);
    };
    s.noteStore = s.makeNoteStore();
    s.notificationServer = std::make_unique<DesktopNotifications>(bus);
    s.notificationScheduler = std::make_unique<NotificationScheduler>(*s.notificationServer, clock);
    s.soundPlayer = MediaModule::makeSoundPlayer(clock, std::move(beep));
    s.alertSounds = std::make_unique<AlertSounds>(defaults, *s.soundPlayer);
    s.audioPlayers = MediaModule::makeAudioPlayers();
    s.pasteboard = createSystemPasteboard();
    s.desktopPicture = std::make_unique<SystemDesktopPicture>(*s.processes, bus);
    s.folderPicker = folderPicker ? std::move(folderPicker) : std::make_unique<NoFolderPicker>();
    s.urlOpener = std::make_unique<DesktopUrlOpener>();

    s.calendarService = std::make_unique<CalendarService>(*s.calendarStore, clock);
    s.remindersService = std::make_unique<RemindersService>(*s.remindersStore, clock);
    s.notesService = std::make_unique<NotesService>(s.noteStore);
    s.prayerTimesService = std::make_unique<PrayerTimesService>(*s.network, clock);
    s.weatherService = std::make_unique<WeatherService>(*s.network, clock);
    s.notificationService =
        std::make_unique<NotificationService>(*s.notificationScheduler, *s.alertSounds, defaults, clock);
    s.remoteMessageService = std::make_unique<RemoteAppMessageService>(*s.network);
    s.nowPlayingService = std::make_unique<NowPlayingService>(
        bus, *s.processes, clock, NowPlayingService::defaultArtworkDirectory(), MprisClient::defaultCallTimeout,
        MediaModule::makeOutputMute(std::make_unique<PactlOutputMute>(*s.processes)));
    s.quranAudioManager = std::make_unique<QuranAudioManager>(defaults, *s.audioPlayers, clock);
    s.soundscapeAudioManager = std::make_unique<SoundscapeAudioManager>(*s.audioPlayers);
    s.deviceShareService = std::make_unique<DeviceShareService>(*s.processes);

    Pasteboard *pasteboard = s.pasteboard.get();
    s.makeClipboardService = [pasteboard, &clock](const LocalStore &store) {
        return std::make_unique<ClipboardService>(*pasteboard, store.subfolder(u"Clipboard"_s), clock);
    };
    Network *network = s.network.get();
    DesktopPicture *desktopPicture = s.desktopPicture.get();
    FolderPicker *picker = s.folderPicker.get();
    s.makeWallpaperService = [network, desktopPicture, picker, &defaults, &clock](const LocalStore &store) {
        return std::make_unique<WallpaperService>(*network, store.subdirectory(u"Wallpapers"_s), defaults,
                                                  *desktopPicture, *picker, clock);
    };
    return s;
}

} // namespace kolu
