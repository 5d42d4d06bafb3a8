// Repaint cost of the collapsed side rail while an alert shows with its
// rings, drawn at dpr 1 and 2: the whole rail, and one picture of the rings
// as a frame of their motion repaints it (their box alone); and the rings
// alone, stroked against drawn from their kept pictures.
#include "model/UserDefaults.h"
#include "shell/rail/DockRail.h"
#include "shell/rail/EdgeNotificationRings.h"
#include "shell/rail/EdgeNotificationRingsPictures.h"
#include "shell/rules/RingPhase.h"
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

void BM_AlertRingsFrame(benchmark::State &bench)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state(defaults, clock, services.take());
    state.setRailEdge(RailEdge::right);
    CalendarEvent event;
    event.title = u"Design review"_s;
    event.startDate = clock.now().addSecs(480);
    state.setActiveCalendarAlert(event);

    double seconds = 0;
    EdgeNotificationRings::setTimeSource([&seconds] { return seconds; });
    DockRail rail(state);
    const QSize size(441, 620);
    rail.resize(size);
    rail.show();
    auto *rings = rail.findChild<EdgeNotificationRings *>(u"edgeAlertRings"_s);
    if (!rings) {
        bench.SkipWithError("no alert rings");
        return;
    }
    const QRect box(rings->mapTo(&rail, rings->ringsRect().topLeft()), rings->ringsRect().size());

    const qreal dpr = qreal(bench.range(0));
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    for (auto _ : bench) {
        seconds += 1.0 / (rings::cyclesPerSecond * rings::framesPerCycle); // the next picture
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(box, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        rail.render(&painter, box.topLeft(), QRegion(box), QWidget::DrawChildren);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    EdgeNotificationRings::setTimeSource({});
}

// The rings alone in their box, at picture `index`: stroked (range 1 = 0)
// or copied from a kept picture (1).
void BM_RingsPicture(benchmark::State &bench)
{
    const qreal dpr = qreal(bench.range(0));
    const bool kept = bench.range(1) == 1;
    const QSize size(104, 92);
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    const QColor tint(255, 149, 0);
    const QPointF centre = QRectF(QPointF(), size).center();
    int index = 0;
    for (auto _ : bench) {
        index = (index + 1) % rings::framesPerCycle;
        image.fill(Qt::transparent);
        QPainter painter(&image);
        if (kept)
            ringpictures::draw(painter, centre, tint, index);
        else
            ringpictures::stroke(painter, centre, tint, rings::phaseOfPicture(index));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(BM_CollapsedSideRailWithAlert)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AlertRingsFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RingsPicture)->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);
