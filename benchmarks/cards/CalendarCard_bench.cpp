// The calendar card with a busy week: 200 events over seven days, 60 of
// them on the busiest day. Measures building and painting the card on the
// busiest day, repainting it, and pressing another day (agenda rebuilt, laid
// out and painted). A rebuild should stay under 16 ms, one frame at 60 Hz.
#include "cards/calendar/CalendarAgendaList.h"
#include "cards/calendar/CalendarCard.h"
#include "cards/calendar/CalendarWeekStrip.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QVariantAnimation>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// What the detail panel shows of the card at a time.
const QSize kViewport(354, 700);

std::vector<CalendarEvent> busyWeek(const QDateTime &now)
{
    const QDateTime today = now.toLocalTime().date().startOfDay();
    // The busiest day holds 60 events; the other six share the remaining 140.
    const int perDay[] = {60, 24, 24, 23, 23, 23, 23};
    std::vector<CalendarEvent> events;
    int n = 0;
    for (int day = 0; day < 7; ++day) {
        for (int i = 0; i < perDay[day]; ++i, ++n) {
            const QDateTime start = today.addDays(day).addSecs(7 * 3600 + i * 13 * 60);
            CalendarEvent event{u"bench-%1"_s.arg(n), u"Meeting %1 about the quarterly plan"_s.arg(n), start,
                                start.addSecs(30 * 60), {}, {}, {}};
            if (n % 2 == 0)
                event.location = u"Room %1, Building 7"_s.arg(n % 9);
            if (n % 3 == 0)
                event.meetingURL = QUrl(u"https://meet.example.com/room-%1"_s.arg(n));
            for (int a = 0; a < n % 6; ++a)
                event.attendeeInitials << QString(QChar(u'A' + a));
            events.push_back(std::move(event));
        }
    }
    return events;
}

struct Fixture {
    test::TemporaryHome home;
    test::ManualClock clock{QDateTime(QDate(2026, 3, 9), QTime(6, 0), Qt::UTC)};
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state{defaults, clock, services.take()};
    QImage image{kViewport, QImage::Format_ARGB32_Premultiplied};

    Fixture() { state.setCalendarEvents(busyWeek(clock.now())); }

    void paint(QWidget &card)
    {
        if (card.layout())
            card.layout()->activate();
        image.fill(Qt::transparent);
        QPainter painter(&image);
        card.render(&painter, QPoint(), QRegion(QRect(QPoint(), kViewport)));
    }
};

// The card at the panel's width and the full height of its content, as the
// detail panel's scroll area gives it.
void fit(QWidget &card)
{
    const int width = kViewport.width();
    card.resize(width, card.hasHeightForWidth() ? card.heightForWidth(width) : card.sizeHint().height());
}

void prepare(CalendarCard &card)
{
    card.setAttribute(Qt::WA_DontShowOnScreen);
    fit(card);
    card.show();
}

void CalendarCardBuildAndPaint(benchmark::State &bench)
{
    Fixture f;
    for (auto _ : bench) {
        CalendarCard card(f.state);
        prepare(card);
        f.paint(card);
        benchmark::DoNotOptimize(f.image.constBits());
    }
}
BENCHMARK(CalendarCardBuildAndPaint)->Unit(benchmark::kMillisecond);

void CalendarCardRepaint(benchmark::State &bench)
{
    Fixture f;
    CalendarCard card(f.state);
    prepare(card);
    f.paint(card);
    for (auto _ : bench) {
        f.paint(card);
        benchmark::DoNotOptimize(f.image.constBits());
    }
}
BENCHMARK(CalendarCardRepaint)->Unit(benchmark::kMillisecond);

void CalendarCardDayChange(benchmark::State &bench)
{
    Fixture f;
    CalendarCard card(f.state);
    prepare(card);
    f.paint(card);
    // Between the busiest day and a quieter one, every row set afresh.
    const auto cells = card.weekStrip()->cells();
    int i = 0;
    for (auto _ : bench) {
        card.selectDay(cells[std::size_t(i++ % 2)]->dayID());
        // Measured at rest: the new agenda's fade is taken to its end, so
        // the frame pays for every row rather than a transparent list.
        for (QVariantAnimation *fade : card.agenda()->findChildren<QVariantAnimation *>())
            fade->setCurrentTime(fade->duration());
        fit(card);
        f.paint(card);
        benchmark::DoNotOptimize(f.image.constBits());
    }
}
BENCHMARK(CalendarCardDayChange)->Unit(benchmark::kMillisecond);

} // namespace
