// Painting glass: a 318 x 500 card surface and a 441 x 620 rail canvas (tool
// strip, detail panel and a card on it), into raster images at device pixel
// ratio 1 and 2. "First" paints with empty caches (shadow blur, surface
// rendering); "Cached" repaints unchanged surfaces, the common case.
#include "model/UserDefaults.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

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

} // namespace

BENCHMARK(BM_CardFirstPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardCachedRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RailCanvasFirstPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RailCanvasCachedRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
