// Painting glass: a 318 x 500 card surface and a 441 x 620 rail canvas (tool
// strip, detail panel and a card on it), into raster images at device pixel
// ratio 1 and 2. "First" paints with empty caches (shadow blur, surface
// rendering); "Cached" repaints unchanged surfaces, the common case.
// "FadeFrame" is one frame of the opened rail fading in: the canvas's glass
// blended at half opacity inside what changed, three rectangles. Arg 0 draws
// through the whole clip as Qt does by itself (span by span, on its pool of
// threads), arg 1 once per rectangle; its CPU time is the whole process's.
#include "model/UserDefaults.h"
#include "style/ClipRects.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>

using namespace kolu;

namespace {

struct Scene {
    UserDefaults defaults{QString()};
    OrlixStyle style{defaults};
    Scene() { style.setGlassTier(GlassTier::translucent); }
};

Scene &scene()
{
    static Scene s;
    return s;
}

void paintCard(QPainter &painter)
{
    LiquidGlassSurface::paint(painter, QRectF(0, 0, 318, 500), 16, OrlixGlassProfile::card());
}

void paintRailCanvas(QPainter &painter)
{
    // Tool strip along the edge, the panel beside it, a card inside the panel.
    LiquidGlassSurface::paint(painter, QRectF(12, 60, 64, 500), 22, OrlixGlassProfile::rail());
    LiquidGlassSurface::paint(painter, QRectF(100, 60, 318, 500), 28, OrlixGlassProfile::panel());
    LiquidGlassSurface::paint(painter, QRectF(114, 120, 290, 200), 16, OrlixGlassProfile::card());
}

template<void (*Paint)(QPainter &)>
void run(benchmark::State &state, QSize size, bool cold)
{
    scene();
    const qreal dpr = qreal(state.range(0));
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            LiquidGlassSurface::clearCache();
            state.ResumeTiming();
        }
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Paint(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_CardFirstPaint(benchmark::State &state)
{
    run<paintCard>(state, {318, 500}, true);
}
void BM_CardCachedRepaint(benchmark::State &state)
{
    run<paintCard>(state, {318, 500}, false);
}
void BM_RailCanvasFirstPaint(benchmark::State &state)
{
    run<paintRailCanvas>(state, {441, 620}, true);
}
void BM_RailCanvasCachedRepaint(benchmark::State &state)
{
    run<paintRailCanvas>(state, {441, 620}, false);
}

void BM_RailCanvasFadeFrame(benchmark::State &state)
{
    scene();
    QImage picture(441, 620, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painting(&picture);
    paintRailCanvas(painting);
    painting.end();
    const QPixmap glass = QPixmap::fromImage(picture);
    QImage image(441, 620, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    // As a window's repaint is clipped to what changed in the frame.
    const QRegion changed = QRegion(0, 40, 441, 300) + QRegion(60, 340, 381, 200) + QRegion(0, 540, 120, 80);
    image.paintEngine()->setSystemClip(changed);
    const bool perRectangle = state.range(0) != 0;
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setOpacity(0.5);
        if (perRectangle)
            drawPerRect(painter, changed, [&] { painter.drawPixmap(0, 0, glass); });
        else
            painter.drawPixmap(0, 0, glass);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(BM_CardFirstPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardCachedRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RailCanvasFirstPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RailCanvasCachedRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RailCanvasFadeFrame)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);
