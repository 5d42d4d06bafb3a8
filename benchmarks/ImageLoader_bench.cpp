// A 40-megapixel photograph loaded for the wallpaper preview: how long the
// whole load takes, and the longest stretch the main thread is held while
// it runs (target: under 16 ms, one frame). The picture is decoded on a
// worker, already scaled to the preview's size.
#include "services/images/ImageLoader.h"
#include "services/images/ImageSlot.h"
#include "platform/net/backend/QtNetwork.h"

#include "ManualClock.h"
#include "StallMeter.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// 7300 x 5480 pixels (40 megapixels) of gradients and stripes, as a JPEG.
QString fortyMegapixelPhoto(const QTemporaryDir &folder)
{
    const QString path = folder.filePath(u"forty.jpg"_s);
    QImage image(7300, 5480, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 7300, 5480);
    sky.setColorAt(0, QColor(30, 60, 120));
    sky.setColorAt(1, QColor(240, 170, 90));
    painter.fillRect(image.rect(), sky);
    for (int x = 0; x < 7300; x += 40)
        painter.fillRect(x, 0, 12, 5480, QColor(255, 255, 255, 40));
    painter.end();
    image.save(path, "JPEG", 88);
    return path;
}

void loadFortyMegapixelPreview(benchmark::State &state)
{
    QTemporaryDir folder;
    const QUrl photo = QUrl::fromLocalFile(fortyMegapixelPhoto(folder));
    test::ManualClock clock;
    QtNetwork network;
    double longestStall = 0;
    QSize decoded;
    for (auto _ : state) {
        ImageLoader loader(network, clock); // an empty cache each time
        ImageSlot slot(loader);
        QEventLoop loop;
        QObject::connect(&slot, &ImageSlot::changed, &loop, [&] {
            if (slot.phase() != ImageSlot::Phase::loading)
                loop.quit();
        });
        bench::StallMeter stalls;
        slot.show(photo, QSize(282, 214) * 2); // the preview at pixel ratio 2
        if (slot.phase() == ImageSlot::Phase::loading)
            loop.exec();
        const double stall = stalls.longestMs();
        if (slot.phase() != ImageSlot::Phase::loaded)
            state.SkipWithError("the photo did not load");
        decoded = slot.image().size();
        longestStall = std::max(longestStall, stall);
    }
    state.counters["longest_main_thread_stall_ms"] = longestStall;
    state.counters["decoded_megapixels"] = double(decoded.width()) * decoded.height() / 1e6;
}
BENCHMARK(loadFortyMegapixelPreview)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
