// Repaint cost of the collapsed side rail while an alert shows with its
// rings: one frame of the ring animation, drawn at dpr 1 and 2.
#include "model/UserDefaults.h"
#include "shell/rail/DockRail.h"
#include "shell/rail/EdgeNotificationRings.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

using namespace kolu;

void BM_CollapsedSideRailWithAlert(benchmark::State &bench)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state(defaults, clock, services.take());
    state.setRailEdge(RailEdge::right);
    ActiveReminderAlert alert;
    alert.reminder.id = u"r"_s;
    alert.reminder.title = u"Call the bank"_s;
    state.setActiveReminderAlert(alert);

    double seconds = 0;
    EdgeNotificationRings::setTimeSource([&seconds] { return seconds; });
    DockRail rail(state);
    const QSize size(441 + 354, 620);
    rail.resize(size);
    rail.show();

    const qreal dpr = qreal(bench.range(0));
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    for (auto _ : bench) {
        seconds += 1.0 / 60.0; // the next frame of the rings
        image.fill(Qt::transparent);
        QPainter painter(&image);
        rail.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    EdgeNotificationRings::setTimeSource({});
}

} // namespace

BENCHMARK(BM_CollapsedSideRailWithAlert)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
