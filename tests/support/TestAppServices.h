#pragma once

#include "state/AppServices.h"

#include "FakeAudioPlayer.h"
#include "FakePasteboard.h"
#include "LocalHttpServer.h"
#include "ManualClock.h"
#include "PlatformFakes.h"
#include "PrivateBus.h"
#include "RecordingProcessRunner.h"
#include "TemporaryHome.h"

namespace kolu::test {

// The application's real services built on test collaborators: files in the
// test's temporary home, a private bus, web services on a local HTTP server,
// recording fakes for processes, notifications, sounds, audio, the clipboard
// and the desktop. Pointers to the fakes stay valid while the services live.
class TestAppServices {
public:
    TestAppServices(UserDefaults &defaults, ManualClock &clock, const TemporaryHome &home);

    // The services; call once.
    AppServices take();

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

private:
    AppServices m_services;
};

} // namespace kolu::test
