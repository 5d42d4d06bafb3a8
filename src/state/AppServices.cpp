#include "state/AppServices.h"

#include "model/LocalStore.h"
#include "platform/AudioPlayer.h"
#include "platform/CalendarStore.h"
#include "platform/DesktopNotifications.h"
#include "platform/DesktopPicture.h"
#include "platform/FolderPicker.h"
#include "platform/LocalNoteStore.h"
#include "platform/NotificationScheduler.h"
#include "platform/Pasteboard.h"
#include "platform/ProcessRunner.h"
#include "platform/SoundEffectPlayer.h"
#include "platform/SystemDesktopPicture.h"
#include "platform/UrlOpener.h"
#include "platform/VdirCalendarStore.h"
#include "services/AlertSounds.h"
#include "services/CalendarService.h"
#include "services/ClipboardService.h"
#include "services/NotesService.h"
#include "services/NotificationService.h"
#include "services/NowPlayingService.h"
#include "services/PrayerTimesService.h"
#include "services/QuranAudioManager.h"
#include "services/RemindersService.h"
#include "services/RemoteAppMessageConfiguration.h"
#include "services/SoundscapeAudioManager.h"
#include "services/WallpaperService.h"
#include "services/WeatherService.h"

#include <QNetworkAccessManager>

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
    s.network = std::make_unique<QNetworkAccessManager>();
    s.processes = std::make_unique<SystemProcessRunner>();
    s.calendarStore = std::make_unique<VdirCalendarStore>(defaults);
    s.remindersStore = std::make_unique<VdirCalendarStore>(defaults);
    s.noteStore = std::make_shared<LocalNoteStore>(LocalNoteStore::defaultRoots(), *s.processes);
    s.notificationServer = std::make_unique<DesktopNotifications>(bus);
    s.notificationScheduler = std::make_unique<NotificationScheduler>(*s.notificationServer, clock);
    s.soundPlayer = std::make_unique<SoundEffectPlayer>(clock, std::move(beep));
    s.alertSounds = std::make_unique<AlertSounds>(defaults, *s.soundPlayer);
    s.audioPlayers = std::make_unique<MediaAudioPlayerFactory>();
    s.pasteboard = std::make_unique<SystemPasteboard>();
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
    s.nowPlayingService = std::make_unique<NowPlayingService>(bus, *s.processes, clock);
    s.quranAudioManager = std::make_unique<QuranAudioManager>(defaults, *s.audioPlayers, clock);
    s.soundscapeAudioManager = std::make_unique<SoundscapeAudioManager>(*s.audioPlayers);

    Pasteboard *pasteboard = s.pasteboard.get();
    s.makeClipboardService = [pasteboard, &clock](const LocalStore &store) {
        return std::make_unique<ClipboardService>(*pasteboard, store.subdirectory(u"Clipboard"_s), clock);
    };
    QNetworkAccessManager *network = s.network.get();
    ProcessRunner *processes = s.processes.get();
    DesktopPicture *desktopPicture = s.desktopPicture.get();
    FolderPicker *picker = s.folderPicker.get();
    s.makeWallpaperService = [network, processes, desktopPicture, picker, &defaults, &clock](const LocalStore &store) {
        return std::make_unique<WallpaperService>(*network, store.subdirectory(u"Wallpapers"_s), defaults, *processes,
                                                  *desktopPicture, *picker, clock);
    };
    return s;
}

} // namespace kolu
