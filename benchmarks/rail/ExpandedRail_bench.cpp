// One frame of the expanded side rail with all ten modules and a card, at
// device pixel ratios 1 and 2: at rest, with the four notifications of
// pending alerts beside the card, and halfway through the card's way in
// (drawn through its fade); and one selection change (layout and paint).
// The 0.36 s slide holds 60 frames per second on software rendering when a
// frame stays under about 4 ms at ratio 1.
#include "shell/rail/expanded/ExpandedRail.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QVariantAnimation>

#include <memory>
#include <QLayout>
#include <QPainter>

using namespace kolu;

namespace {

enum Pose { atRest, withNotifications, entering };

struct Fixture {
    test::TemporaryHome home;
    test::ManualClock clock;
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state{defaults, clock, services.take()};
    std::unique_ptr<ExpandedRail> rail;

    explicit Fixture(Pose pose = atRest)
    {
        state.setRailEdge(RailEdge::left);
        state.setSelectedModule(RailModule::links);
        if (pose == withNotifications) {
            state.setActiveCalendarAlert(CalendarEvent{});
            state.setActivePrayerAlert(ActivePrayerAlert{});
            state.setActiveReminderAlert(ActiveReminderAlert{});
            state.setPomodoroAlertVisible(true);
        }
        state.setIsExpanded(pose == entering);
        rail = std::make_unique<ExpandedRail>(state);
        rail->resize(pose == withNotifications ? 795 : 441, 620);
        rail->setAttribute(Qt::WA_DontShowOnScreen);
        rail->show();
        // Hold the card halfway in: its fade stays on.
        for (QVariantAnimation *a : rail->findChildren<QVariantAnimation *>())
            if (a->state() == QAbstractAnimation::Running) {
                a->setCurrentTime(a->duration() / 2);
                a->pause();
            }
    }

    void frame(QImage &image)
    {
        image.fill(Qt::transparent);
        QPainter p(&image);
        rail->render(&p);
    }
};

void ExpandedRailFrame(benchmark::State &bench)
{
    Fixture f(Pose(bench.range(1)));
    const qreal dpr = qreal(bench.range(0));
    QImage image(f.rail->size() * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    f.frame(image); // fills the glass caches, as the first frame of a slide does
    for (auto _ : bench)
        f.frame(image);
}
BENCHMARK(ExpandedRailFrame)
    ->ArgsProduct({{1, 2}, {atRest, withNotifications, entering}})
    ->ArgNames({"dpr", "pose"})
    ->Unit(benchmark::kMillisecond);

void ExpandedRailSelectionChange(benchmark::State &bench)
{
    Fixture f;
    QImage image(QSize(441, 620), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1);
    const RailModule pair[] = {RailModule::notes, RailModule::focus};
    int i = 0;
    for (auto _ : bench) {
        f.state.setSelectedModule(pair[i++ % 2]);
        if (f.rail->layout())
            f.rail->layout()->activate();
        f.frame(image);
    }
}
BENCHMARK(ExpandedRailSelectionChange)->Unit(benchmark::kMillisecond);

} // namespace
