#pragma once

#include "state/AppServices.h"
#include "platform/net/backend/QtNetwork.h"

#include "model/LocalStore.h"
#include "platform/notes/LocalNoteStore.h"
#include "platform/notifications/NotificationScheduler.h"
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
#include "services/share/DeviceShareService.h"
#include "services/wallpaper/WallpaperService.h"
#include "services/info/WeatherService.h"

#include "FakeAudioPlayer.h"
#include "FakePasteboard.h"
#include "LocalHttpServer.h"
#include "ManualClock.h"
#include "PlatformFakes.h"
#include "PrivateBus.h"
#include "RecordingProcessRunner.h"
#include "TemporaryHome.h"

#include <QDir>

namespace kolu::test {

// The application's real services built on test collaborators: files in the
// test's temporary home, a private bus, web services on a local HTTP server,
// recording fakes for processes, notifications, sounds, audio, the clipboard
// and the desktop. Pointers to the fakes stay valid while the services live.
class TestAppServices {
public:
    TestAppServices(UserDefaults &defaults, ManualClock &clock, const TemporaryHome &home)
    {
        AppServices &s = m_services;
        // Makes a fake, keeps a pointer to it in `kept`, and hands it over.
        const auto made = [](auto *&kept) {
            auto fake = std::make_unique<std::remove_reference_t<decltype(*kept)>>();
            kept = fake.get();
            return fake;
        };
        s.network = std::make_unique<QtNetwork>();
        s.processes = made(processes);
        const auto roots = std::make_shared<SharedCalendarRoots>();
        s.calendarStore =
            std::make_unique<VdirCalendarStore>(defaults, home.home(), QTimeZone::systemTimeZone(), roots);
        s.remindersStore =
            std::make_unique<VdirCalendarStore>(defaults, home.home(), QTimeZone::systemTimeZone(), roots);
        QDir().mkpath(home.path(QStringLiteral("Notes")));
        s.makeNoteStore = [noteRunner = processes, &defaults, homePath = home.home()]() -> std::shared_ptr<NoteStore> {
            return std::make_shared<LocalNoteStore>(
                LocalNoteStore::rootsFor(defaults.string(SettingsKey::notesFolderPath), homePath), *noteRunner);
        };
        s.noteStore = s.makeNoteStore();
        s.notificationServer = made(notifications);
        s.notificationScheduler = std::make_unique<NotificationScheduler>(*s.notificationServer, clock);
        scheduler = s.notificationScheduler.get();
        s.soundPlayer = made(sounds);
        s.alertSounds = std::make_unique<AlertSounds>(defaults, *s.soundPlayer, home.runtimeDir());
        s.audioPlayers = made(audio);
        s.pasteboard = made(pasteboard);
        s.desktopPicture = made(desktopPicture);
        s.folderPicker = made(folderPicker);
        s.urlOpener = made(urlOpener);

        const QUrl base = server.url();
        s.calendarService = std::make_unique<CalendarService>(*s.calendarStore, clock);
        s.remindersService = std::make_unique<RemindersService>(*s.remindersStore, clock);
        s.notesService = std::make_unique<NotesService>(s.noteStore);
        s.prayerTimesService = std::make_unique<PrayerTimesService>(*s.network, clock, base);
        s.weatherService = std::make_unique<WeatherService>(*s.network, clock, base, base);
        s.notificationService =
            std::make_unique<NotificationService>(*s.notificationScheduler, *s.alertSounds, defaults, clock);
        s.remoteMessageService = std::make_unique<RemoteAppMessageService>(*s.network);
        s.nowPlayingService = std::make_unique<NowPlayingService>(bus.connect(QStringLiteral("kolu")), *s.processes,
                                                                  clock, home.path(QStringLiteral("run/artwork")));
        s.quranAudioManager = std::make_unique<QuranAudioManager>(defaults, *s.audioPlayers, clock);
        s.quranAudioManager->setNetworkCheck([up = networkUp] { return *up; });
        s.soundscapeAudioManager = std::make_unique<SoundscapeAudioManager>(
            *s.audioPlayers, QStringList{home.path(QStringLiteral("soundscapes"))});
        s.deviceShareService = std::make_unique<DeviceShareService>(*s.processes);

        s.makeClipboardService = [board = pasteboard, &clock](const LocalStore &store) {
            return std::make_unique<ClipboardService>(*board, store.subfolder(QStringLiteral("Clipboard")), clock,
                                                      QStringList());
        };
        s.makeWallpaperService = [network = s.network.get(), desktopSetter = desktopPicture, folders = folderPicker,
                                  base, &defaults, &clock](const LocalStore &store) {
            return std::make_unique<WallpaperService>(*network, store.subdirectory(QStringLiteral("Wallpapers")),
                                                      defaults, *desktopSetter, *folders, clock,
                                                      base.resolved(QUrl(QStringLiteral("/archive.zip"))));
        };
    }

    // The services; call once.
    AppServices take() { return std::move(m_services); }

    LocalHttpServer server;
    PrivateBus bus;
    RecordingProcessRunner *processes = nullptr;
    RecordingNotificationServer *notifications = nullptr;
    NotificationScheduler *scheduler = nullptr;
    RecordingSoundPlayer *sounds = nullptr;
    FakeAudioPlayerFactory *audio = nullptr;
    FakePasteboard *pasteboard = nullptr;
    FakeDesktopPicture *desktopPicture = nullptr;
    FakeFolderPicker *folderPicker = nullptr;
    RecordingUrlOpener *urlOpener = nullptr;
    // Whether the radio finds a network connection when a station fails.
    std::shared_ptr<bool> networkUp = std::make_shared<bool>(true);

private:
    AppServices m_services;
};

} // namespace kolu::test
