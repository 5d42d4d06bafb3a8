// One now-playing refresh with five media players on the bus, the output
// mute included: read through a sound-server connection, as Kolu does, or
// through pactl, the way taken where no connection can be made; with no
// sound server at all; and, to measure against, playerctl reading every
// player's metadata on the same bus.
#include "platform/media/PactlOutputMute.h"
#include "platform/media/backend/PulseOutputMute.h"
#include "services/media/NowPlayingService.h"

#include "AwaitTask.h"
#include "FakeMprisPlayer.h"
#include "LocalSoundServer.h"
#include "PrivateBus.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

#include <sys/resource.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// CPU milliseconds of the child processes waited for so far.
double childCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

enum class MuteRead { soundServer, pactl, noServer };

struct Setup {
    QString instance, identity, desktopEntry, status, title;
};

std::vector<std::unique_ptr<test::FakeMprisPlayer>> fivePlayers(test::PrivateBus &bus)
{
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
    return players;
}

void refreshWithFivePlayers(benchmark::State &state, MuteRead muteRead)
{
    test::PrivateBus bus;
    test::LocalSoundServer server;
    QTemporaryDir nowhere;
    QByteArray address = "unix:" + nowhere.filePath(u"no-server"_s).toUtf8();
    if (muteRead != MuteRead::noServer) {
        if (!server.isRunning()) {
            state.SkipWithError("no PulseAudio daemon to measure against");
            return;
        }
        address = server.address();
        server.pactl({u"set-sink-mute"_s, u"@DEFAULT_SINK@"_s, u"1"_s});
    }
    // pactl finds the benchmark's own server (or none) through the environment.
    qputenv("PULSE_SERVER", address);
    SystemProcessRunner processes;
    std::unique_ptr<OutputMute> mute = std::make_unique<PactlOutputMute>(processes);
    if (muteRead != MuteRead::pactl)
        mute = std::make_unique<PulseOutputMute>(std::move(mute), address);
    QTemporaryDir runtime;
    NowPlayingService service(bus.connect(u"kolu"_s), processes, SystemClock::instance(),
                              QDir(runtime.path()).filePath(u"Kolu"_s), MprisClient::defaultCallTimeout,
                              std::move(mute));
    const auto players = fivePlayers(bus);
    const bool muted = muteRead != MuteRead::noServer;

    const double childrenBefore = childCpuMs();
    for (auto _ : state) {
        const NowPlayingItem item = test::awaitTask(service.currentItem());
        if (item.title != u"A video"_s || item.isMuted != muted)
            state.SkipWithError("wrong item chosen");
        benchmark::DoNotOptimize(item);
    }
    state.counters["child_cpu_ms"] = (childCpuMs() - childrenBefore) / double(state.iterations());
}
BENCHMARK_CAPTURE(refreshWithFivePlayers, soundServerMute, MuteRead::soundServer)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(refreshWithFivePlayers, pactlMute, MuteRead::pactl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(refreshWithFivePlayers, noSoundServer, MuteRead::noServer)->Unit(benchmark::kMillisecond);

// playerctl reading the same five players' status; the players answer from this
// process, so its event loop runs while playerctl waits.
void playerctlWithFivePlayers(benchmark::State &state)
{
    const QString playerctl = QStandardPaths::findExecutable(u"playerctl"_s);
    if (playerctl.isEmpty()) {
        state.SkipWithError("playerctl is not installed");
        return;
    }
    test::PrivateBus bus;
    const auto players = fivePlayers(bus);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address());
    const double childrenBefore = childCpuMs();
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        process.start(playerctl, {u"--all-players"_s, u"status"_s});
        loop.exec();
        if (process.exitCode() != 0)
            state.SkipWithError(
                QByteArray("playerctl failed: " + process.readAllStandardError().left(200)).constData());
    }
    state.counters["child_cpu_ms"] = (childCpuMs() - childrenBefore) / double(state.iterations());
}
BENCHMARK(playerctlWithFivePlayers)->Unit(benchmark::kMillisecond);

} // namespace
