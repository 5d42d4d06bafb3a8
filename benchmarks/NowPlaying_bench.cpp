// One now-playing refresh with five media players on the bus, the output
// mute included: read through a sound-server connection, as Kolu does, or
// through pactl, the way taken where no connection can be made.
#include "platform/media/PactlOutputMute.h"
#include "platform/media/backend/PulseOutputMute.h"
#include "services/media/NowPlayingService.h"

#include "AwaitTask.h"
#include "FakeMprisPlayer.h"
#include "LocalSoundServer.h"
#include "PrivateBus.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

enum class MuteRead { soundServer, pactl };

void refreshWithFivePlayers(benchmark::State &state, MuteRead muteRead)
{
    test::PrivateBus bus;
    test::LocalSoundServer server;
    if (!server.isRunning()) {
        state.SkipWithError("no PulseAudio daemon to measure against");
        return;
    }
    // pactl finds the benchmark's own server through the environment.
    qputenv("PULSE_SERVER", server.address());
    SystemProcessRunner processes;
    std::unique_ptr<OutputMute> mute = std::make_unique<PactlOutputMute>(processes);
    if (muteRead == MuteRead::soundServer)
        mute = std::make_unique<PulseOutputMute>(std::move(mute), server.address());
    server.pactl({u"set-sink-mute"_s, u"@DEFAULT_SINK@"_s, u"1"_s});
    QTemporaryDir runtime;
    NowPlayingService service(bus.connect(u"kolu"_s), processes, SystemClock::instance(),
                              QDir(runtime.path()).filePath(u"Kolu"_s), MprisClient::defaultCallTimeout,
                              std::move(mute));

    struct Setup {
        QString instance, identity, desktopEntry, status, title;
    };
    const Setup setups[] = {
        {u"spotify"_s, u"Spotify"_s, u"spotify"_s, u"Paused"_s, u"Paused song"_s},
        {u"vlc"_s, u"VLC media player"_s, u"vlc"_s, u"Paused"_s, u"A film"_s},
        {u"chromium.instance1"_s, u"Chromium"_s, u"chromium"_s, u"Playing"_s, u"(1) A video - YouTube"_s},
        {u"firefox.instance_1_2"_s, u"Mozilla Firefox"_s, u"firefox-esr"_s, u"Paused"_s, u"A stream"_s},
        {u"rhythmbox"_s, u"Rhythmbox"_s, u"org.gnome.Rhythmbox3"_s, u"Stopped"_s, {}},
    };
    std::vector<std::unique_ptr<test::FakeMprisPlayer>> players;
    for (const Setup &setup : setups) {
        auto player = std::make_unique<test::FakeMprisPlayer>(bus.connect(setup.instance), setup.instance);
        player->identity = setup.identity;
        player->desktopEntry = setup.desktopEntry;
        player->playbackStatus = setup.status;
        player->title = setup.title;
        player->artists = {u"Someone"_s};
        player->url = u"https://www.youtube.com/watch?v=abc"_s;
        player->artUrl = u"https://example.com/art.jpg"_s;
        players.push_back(std::move(player));
    }

    for (auto _ : state) {
        const NowPlayingItem item = test::awaitTask(service.currentItem());
        if (item.title != u"A video"_s || !item.isMuted)
            state.SkipWithError("wrong item chosen");
        benchmark::DoNotOptimize(item);
    }
}
BENCHMARK_CAPTURE(refreshWithFivePlayers, soundServerMute, MuteRead::soundServer)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(refreshWithFivePlayers, pactlMute, MuteRead::pactl)->Unit(benchmark::kMillisecond);

} // namespace
