// One now-playing refresh with five media players on the bus.
#include "services/media/NowPlayingService.h"

#include "AwaitTask.h"
#include "FakeMprisPlayer.h"
#include "PrivateBus.h"
#include "RecordingProcessRunner.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

void refreshWithFivePlayers(benchmark::State &state)
{
    test::PrivateBus bus;
    test::RecordingProcessRunner processes;
    QTemporaryDir runtime;
    NowPlayingService service(bus.connect(u"kolu"_s), processes, SystemClock::instance(),
                              QDir(runtime.path()).filePath(u"Kolu"_s));

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
        if (item.title != u"A video"_s)
            state.SkipWithError("wrong item chosen");
        benchmark::DoNotOptimize(item);
    }
}
BENCHMARK(refreshWithFivePlayers)->Unit(benchmark::kMillisecond);

} // namespace
