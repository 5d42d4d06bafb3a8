// One frame of the expanded side rail with all ten modules and a card, at
// device pixel ratios 1 and 2, and one selection change (layout and paint).
// The 0.36 s slide holds 60 frames per second on software rendering when a
// frame stays under about 4 ms at ratio 1.
#include "shell/rail/expanded/ExpandedRail.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QLayout>
#include <QPainter>

using namespace kolu;

namespace {

struct Fixture {
    test::TemporaryHome home;
    test::ManualClock clock;
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state{defaults, clock, services.take()};
    ExpandedRail rail{state};

    Fixture()
    {
        state.setRailEdge(RailEdge::left);
        state.setSelectedModule(RailModule::links);
        rail.resize(441, 620);
        rail.setAttribute(Qt::WA_DontShowOnScreen);
        rail.show();
    }

    void frame(QImage &image)
    {
        image.fill(Qt::transparent);
        QPainter p(&image);
        rail.render(&p);
    }
};

void ExpandedRailFrame(benchmark::State &bench)
{
    Fixture f;
    const qreal dpr = qreal(bench.range(0));
    QImage image(QSize(441, 620) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    f.frame(image); // fills the glass caches, as the first frame of a slide does
    for (auto _ : bench)
        f.frame(image);
}
BENCHMARK(ExpandedRailFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void ExpandedRailSelectionChange(benchmark::State &bench)
{
    Fixture f;
    QImage image(QSize(441, 620), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1);
    const RailModule pair[] = {RailModule::notes, RailModule::focus};
    int i = 0;
    for (auto _ : bench) {
        f.state.setSelectedModule(pair[i++ % 2]);
        if (f.rail.layout())
            f.rail.layout()->activate();
        f.frame(image);
    }
}
BENCHMARK(ExpandedRailSelectionChange)->Unit(benchmark::kMillisecond);

} // namespace
