// The tray card at its heaviest: 200 held files (a third of them pictures)
// and 40 captured images in the history, of which the card lists six.
// Measures the first show (built, laid out and painted, the pictures' decodes
// handed to workers) and a repaint once every thumbnail is in. The other
// cards aim at a first show under 30 ms and a repaint under 4 ms at dpr 1.
#include "CardBench.h"
#include "cards/tray/FileTrayCard.h"
#include "cards/tray/TrayThumbnails.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLayout>
#include <QPainter>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// What the detail panel shows of the card at a time, at s = 1.
const QSize kViewport(282, 464);

struct Fixture {
    test::TemporaryHome home;
    test::ManualClock clock{QDateTime(QDate(2026, 3, 9), QTime(6, 0), Qt::UTC)};
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state{defaults, clock, services.take()};
    QImage image{kViewport, QImage::Format_ARGB32_Premultiplied};

    Fixture()
    {
        QDir().mkpath(home.path(u"Files"_s));
        QDir().mkpath(home.path(u"Clip"_s));
        QImage picture(640, 480, QImage::Format_RGB32);
        picture.fill(QColor(30, 120, 200));
        std::vector<FileTrayItem> held;
        for (int i = 0; i < 200; ++i) {
            const bool isPicture = i % 3 == 0;
            const QString path = home.path(u"Files/file-%1.%2"_s.arg(i).arg(isPicture ? u"png"_s : u"pdf"_s));
            if (isPicture)
                picture.save(path);
            else
                writeBytes(path);
            held.push_back({QUuid::createUuid(), QUrl::fromLocalFile(path), clock.now()});
        }
        state.setFileTrayItems(std::move(held));
        std::vector<ClipboardItem> captured;
        for (int i = 0; i < 40; ++i) {
            const QString path = home.path(u"Clip/image-%1.png"_s.arg(i));
            picture.save(path);
            captured.push_back(
                {QUuid::createUuid(), ClipboardItemKind::image, u"Image"_s, path, clock.now(), {}, path});
        }
        state.setClipboardItems(std::move(captured));
    }

    static void writeBytes(const QString &path)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("%PDF-1.4\n");
    }

    void paint(QWidget &card) { bench::paintInto(card, image); }
};

void prepare(FileTrayCard &card)
{
    bench::showAtWidth(card, kViewport.width());
}

void waitForThumbnails()
{
    QElapsedTimer waited;
    waited.start();
    while (TrayThumbnails::shared().isBusy() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
}

void FileTrayCardFirstShow(benchmark::State &bench)
{
    Fixture f;
    for (auto _ : bench) {
        bench.PauseTiming();
        waitForThumbnails();
        TrayThumbnails::shared().clear();
        bench.ResumeTiming();
        FileTrayCard card(f.state);
        prepare(card);
        f.paint(card);
        benchmark::DoNotOptimize(f.image.constBits());
    }
    waitForThumbnails();
}
BENCHMARK(FileTrayCardFirstShow)->Unit(benchmark::kMillisecond);

void FileTrayCardRepaint(benchmark::State &bench)
{
    Fixture f;
    FileTrayCard card(f.state);
    prepare(card);
    waitForThumbnails();
    f.paint(card);
    for (auto _ : bench) {
        f.paint(card);
        benchmark::DoNotOptimize(f.image.constBits());
    }
}
BENCHMARK(FileTrayCardRepaint)->Unit(benchmark::kMillisecond);

} // namespace
