// Capturing large copies: how long the main thread is held while a capture is
// read and handed off, and how long the whole capture takes with the worker.
#include "model/LocalStore.h"
#include "services/clipboard/ClipboardService.h"

#include "AwaitTask.h"
#include "FakePasteboard.h"
#include "ManualClock.h"
#include "ScreenshotImage.h"
#include "TemporaryHome.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

QString largeText(qsizetype length)
{
    QString text;
    text.reserve(length);
    for (int line = 0; text.size() < length; ++line)
        text += u"%1: a line of some copied log output, long enough to look real\n"_s.arg(line);
    return text;
}

QImage noisyImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 255) / width, (y * 255) / height, int(random.bounded(32)));
    }
    return image;
}

// Each iteration copies a new content (the i-th variant), then
// measures the main thread until the capture is handed to the worker, and
// the whole capture until its entry is ready; for an image, also the size
// of the file stored.
template<typename Copy>
void measureCapture(benchmark::State &state, Copy copy)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    test::FakePasteboard pasteboard;
    const QString folder = LocalStore(home.dataHome()).subdirectory(u"Clipboard"_s);
    ClipboardService service(pasteboard, folder, clock, {});
    double mainThreadMs = 0;
    double storedMegabytes = 0;
    int iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        copy(pasteboard.copy(), iteration++);
        state.ResumeTiming();
        QElapsedTimer handOff;
        handOff.start();
        auto probe = test::startTask(service.captureLatestIfNeeded());
        mainThreadMs += double(handOff.nsecsElapsed()) / 1e6;
        auto result = probe.wait(std::chrono::minutes(2));
        if (!result)
            state.SkipWithError("nothing was captured");
        else if (result->item.kind == ClipboardItemKind::image)
            storedMegabytes = double(QFileInfo(result->item.value).size()) / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(result);
    }
    state.counters["main_thread_ms"] = benchmark::Counter(mainThreadMs / double(std::max(iteration, 1)));
    if (storedMegabytes > 0)
        state.counters["stored_MiB"] = benchmark::Counter(storedMegabytes);
}

void captureTenMegabyteText(benchmark::State &state)
{
    const QString text = largeText(10 * 1024 * 1024 / 2); // 10 MB in UTF-16
    measureCapture(state, [&text](test::FakePasteboard &pasteboard, int i) {
        pasteboard.setText(QString(QString::number(i) + text));
    });
}
BENCHMARK(captureTenMegabyteText)->Unit(benchmark::kMillisecond)->UseRealTime();

void captureFourKImage(benchmark::State &state)
{
    const QImage image = noisyImage(3840, 2160);
    measureCapture(state, [&image](test::FakePasteboard &pasteboard, int i) {
        QImage variant = image;
        variant.setPixel(0, 0, qRgb(i % 256, i / 256 % 256, 7));
        pasteboard.setLocalImage(variant);
    });
}
BENCHMARK(captureFourKImage)->Unit(benchmark::kMillisecond)->UseRealTime();

void captureFourKScreenshot(benchmark::State &state)
{
    const QImage image = test::screenshotLikeImage();
    measureCapture(state, [&image](test::FakePasteboard &pasteboard, int i) {
        QImage variant = image;
        variant.setPixel(0, 0, qRgb(i % 256, i / 256 % 256, 5));
        pasteboard.setLocalImage(variant);
    });
}
BENCHMARK(captureFourKScreenshot)->Unit(benchmark::kMillisecond)->UseRealTime();

// As another program offers it: PNG bytes, decoded and encoded again.
void captureFourKPngFromAnotherProgram(benchmark::State &state)
{
    const QImage image = noisyImage(3840, 2160);
    measureCapture(state, [&image](test::FakePasteboard &pasteboard, int i) {
        QImage variant = image;
        variant.setPixel(0, 0, qRgb(i % 256, i / 256 % 256, 9));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        variant.save(&buffer, "PNG", 90);
        pasteboard.setData(u"image/png"_s, png);
    });
}
BENCHMARK(captureFourKPngFromAnotherProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
