// Hostile input: how long Kolu takes over it, what it leaves on disk, and the
// longest time the main thread's event loop stood still meanwhile (aim: under
// 16 ms, one frame).
//
//   2 GiB of zeros packed into a 2 MB archive, offered as the wallpaper
//   library: refused from its listing, nothing left behind.
//   A 50 MB text copied by another program (xclip), read through Qt's
//   clipboard on the main thread and through the X11 pasteboard on a worker.
//   Needs an X display (scripts/bench.sh runs under xvfb-run) and xclip.
#include "model/LocalStore.h"
#include "platform/net/backend/QtNetwork.h"
#include "model/UserDefaults.h"
#include "platform/x11/X11Pasteboard.h"
#include "services/clipboard/ClipboardService.h"
#include "services/wallpaper/WallpaperService.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "FakeDesktop.h"
#include "LocalHttpServer.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "ZipWriter.h"

#include <benchmark/benchmark.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>

#include <zlib.h>

#include <algorithm>
#include <memory>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// The longest gap between two turns of the main thread's event loop while it
// runs: a zero-interval timer fires once a turn.
class StallMeter {
public:
    StallMeter()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longestNs = std::max(m_longestNs, m_sinceLastTurn.nsecsElapsed());
            m_sinceLastTurn.restart();
        });
        m_sinceLastTurn.start();
        m_timer.start();
    }

    double longestMs() const { return double(m_longestNs) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceLastTurn;
    qint64 m_longestNs = 0;
};

qint64 bytesBelow(const QString &folder)
{
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
    }
    return bytes;
}

// 2 GiB of zeros as one deflated entry named like a picture, built once.
const QByteArray &archiveBomb()
{
    static const QByteArray bytes = [] {
        constexpr quint32 kSize = 2048u * 1024 * 1024;
        const QByteArray block(1024 * 1024, '\0');
        z_stream stream{};
        deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
        QByteArray packed;
        QByteArray out(256 * 1024, Qt::Uninitialized);
        uLong crc = crc32(0, nullptr, 0);
        for (quint32 done = 0; done < kSize; done += quint32(block.size())) {
            crc = crc32(crc, reinterpret_cast<const Bytef *>(block.constData()), uInt(block.size()));
            stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(block.constData()));
            stream.avail_in = uInt(block.size());
            const int flush = done + quint32(block.size()) >= kSize ? Z_FINISH : Z_NO_FLUSH;
            do {
                stream.next_out = reinterpret_cast<Bytef *>(out.data());
                stream.avail_out = uInt(out.size());
                deflate(&stream, flush);
                packed.append(out.constData(), out.size() - qsizetype(stream.avail_out));
            } while (stream.avail_out == 0);
        }
        deflateEnd(&stream);
        test::ZipWriter zip;
        zip.addPackedFile(u"zeros.png"_s, packed, kSize, quint32(crc));
        return zip.bytes();
    }();
    return bytes;
}

void archiveBombOfTwoGigabytes(benchmark::State &state)
{
    test::LocalHttpServer server;
    server.respond(u"/library.zip"_s, {200, archiveBomb(), {{"Content-Type", "application/zip"}}});
    test::ManualClock clock;
    QtNetwork network;
    test::FakeDesktopPicture desktop;
    test::FakeFolderPicker picker;
    double longestStallMs = 0;
    qint64 leftOnDisk = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir root;
        UserDefaults defaults(root.filePath(u"defaults.json"_s));
        WallpaperService service(network, LocalStore(root.filePath(u"data"_s)).subdirectory(u"Wallpapers"_s), defaults,
                                 desktop, picker, clock, server.url(u"/library.zip"_s));
        state.ResumeTiming();
        StallMeter stalls;
        bool refused = false;
        try {
            test::awaitTask(service.wallpapers(WallpaperLibrary::still, false), std::chrono::minutes(2));
        } catch (const WallpaperServiceError &) {
            refused = true;
        }
        longestStallMs = std::max(longestStallMs, stalls.longestMs());
        state.PauseTiming();
        leftOnDisk = std::max(leftOnDisk, bytesBelow(root.path()) - bytesBelow(root.filePath(u"defaults.json"_s)));
        if (!refused)
            state.SkipWithError("the archive bomb was not refused");
        state.ResumeTiming();
    }
    state.counters["archive_bytes"] = double(archiveBomb().size());
    state.counters["left_on_disk_bytes"] = double(leftOnDisk);
    state.counters["longest_stall_ms"] = longestStallMs;
}
BENCHMARK(archiveBombOfTwoGigabytes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Another program offers 50 MB of text; each iteration captures it anew.
void fiftyMegabyteCopy(benchmark::State &state, bool onWorker)
{
    if (QGuiApplication::platformName() != u"xcb"_s || QStandardPaths::findExecutable(u"xclip"_s).isEmpty()) {
        state.SkipWithError("needs an X display and xclip");
        return;
    }
    test::TemporaryHome home;
    QTemporaryFile source(home.path(u"copy-XXXXXX"_s));
    QByteArray text;
    text.reserve(50'000'000);
    for (int i = 0; text.size() < 50'000'000; ++i)
        text += "line " + QByteArray::number(i) + " of a very long copied log, as a build prints it\n";
    if (!source.open() || source.write(text) != text.size() || !source.flush()) {
        state.SkipWithError("the copy could not be written");
        return;
    }
    const std::unique_ptr<Pasteboard> pasteboard =
        onWorker ? std::unique_ptr<Pasteboard>(std::make_unique<X11Pasteboard>())
                 : std::unique_ptr<Pasteboard>(std::make_unique<SystemPasteboard>());
    test::ManualClock clock;
    const QString folder = LocalStore(home.dataHome()).subdirectory(u"Clipboard"_s);
    double longestStallMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ClipboardService service(*pasteboard, folder, clock, {});
        const qint64 before = pasteboard->changeCount();
        QProcess owner;
        owner.start(u"xclip"_s, {u"-quiet"_s, u"-selection"_s, u"clipboard"_s, u"-t"_s, u"UTF8_STRING"_s, u"-i"_s,
                                 source.fileName()});
        if (!owner.waitForStarted(5000) || !test::waitUntil([&] { return pasteboard->changeCount() != before; })) {
            state.SkipWithError("xclip did not take the clipboard");
            break;
        }
        state.ResumeTiming();
        StallMeter stalls;
        const auto result = test::awaitTask(service.captureLatestIfNeeded(), std::chrono::minutes(1));
        longestStallMs = std::max(longestStallMs, stalls.longestMs());
        state.PauseTiming();
        if (!result || result->item.value.size() != clipboard::kMaxKeptTextLength)
            state.SkipWithError("the copy was not captured, shortened");
        // The next copy must not be mistaken for this one going away.
        const qint64 owned = pasteboard->changeCount();
        owner.kill();
        owner.waitForFinished(5000);
        test::waitUntil([&] { return pasteboard->changeCount() != owned; }, std::chrono::seconds(2));
        state.ResumeTiming();
    }
    state.counters["left_on_disk_bytes"] = double(bytesBelow(folder));
    state.counters["longest_stall_ms"] = longestStallMs;
}
BENCHMARK_CAPTURE(fiftyMegabyteCopy, qtClipboardOnMainThread, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(fiftyMegabyteCopy, x11PasteboardOnWorker, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
