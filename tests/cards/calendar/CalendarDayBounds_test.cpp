#include "cards/calendar/CalendarDays.h"

#include "PinnedZone.h"

#include <gtest/gtest.h>

#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace kolu::calendar {
namespace {

// Whatever clock a start is written on (local, UTC, a fixed offset, a named
// zone), it lands on the local day that holds that moment: the last
// millisecond before a local midnight on the earlier day, the midnight
// itself on the later one, across the night the clocks go forward.
TEST(CalendarDayBounds, EachStartLandsOnTheLocalDayThatHoldsIt)
{
    test::PinnedZone pinned("Europe/London");
    // Summer time begins at 01:00 UTC on 30 March 2025.
    const QDateTime now(QDate(2025, 3, 28), QTime(12, 0));
    const QDateTime midnight30 = QDate(2025, 3, 30).startOfDay(); // 00:00 GMT
    const QDateTime midnight31 = QDate(2025, 3, 31).startOfDay(); // 23:00 UTC on the 30th
    const QDateTime weekEnd = QDate(2025, 4, 4).startOfDay();
    const struct {
        QDateTime start;
        int day; // offset from today; -1 for no day
    } cases[] = {
        {midnight30.addMSecs(-1), 1},
        {midnight30, 2},
        {midnight31.addMSecs(-1).toUTC(), 2},
        {midnight31.toUTC(), 3},
        {midnight31.toOffsetFromUtc(5 * 3600), 3},
        {midnight31.addMSecs(-1).toTimeZone(QTimeZone("America/New_York")), 2},
        {QDate(2025, 3, 28).startOfDay().addMSecs(-1).toUTC(), -1},
        {weekEnd.addMSecs(-1), 6},
        {weekEnd.toUTC(), -1},
    };
    std::vector<CalendarEvent> events;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        events.push_back({QString::number(i), {}, cases[i].start, cases[i].start.addSecs(60), {}, {}, {}});
    const auto days = upcomingDays(events, now);
    ASSERT_EQ(days.size(), 7u);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        int found = -1;
        for (std::size_t d = 0; d < days.size(); ++d)
            for (const CalendarEvent &event : days[d].events)
                if (event.id == QString::number(i))
                    found = int(d);
        EXPECT_EQ(found, cases[i].day) << i << " " << cases[i].start.toString(Qt::ISODateWithMs).toStdString();
    }
}

} // namespace
} // namespace kolu::calendar
