#include "cards/calendar/CalendarDays.h"

#include "PinnedZone.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace kolu::calendar {
namespace {

using LocalZone = test::PinnedZone;

CalendarEvent eventAt(const QString &id, const QDateTime &start)
{
    return CalendarEvent{id, id, start, start.addSecs(1800), {}, {}, {}};
}

TEST(CalendarDays, EveryDayOfTheWeekHasItsOwnIdAcrossAnOffsetChange)
{
    // British summer time begins on 30 March 2025: local midnights before
    // it are UTC midnights, after it they fall on the previous UTC day.
    for (const char *zone : {"Europe/London", "Africa/Casablanca", "America/New_York", "Pacific/Auckland"}) {
        LocalZone pinned(zone);
        const QDateTime now(QDate(2025, 3, 27), QTime(12, 0));
        const auto days = upcomingDays({}, now);
        ASSERT_EQ(days.size(), 7u) << zone;
        QSet<QString> ids;
        for (const CalendarDayGroup &day : days)
            ids.insert(day.id());
        EXPECT_EQ(ids.size(), 7) << zone;
        EXPECT_EQ(days.front().id(), u"2025-03-27"_s) << zone;
        EXPECT_EQ(days.back().id(), u"2025-04-02"_s) << zone;
        for (const CalendarDayGroup &day : days)
            EXPECT_EQ(selectedDay(days, day.id(), now).day, day.day) << zone;
    }
}

TEST(CalendarDays, EventsGoToTheLocalDayTheyStartOn)
{
    LocalZone pinned("Europe/Berlin");
    const QDateTime now(QDate(2026, 3, 14), QTime(9, 0));
    const std::vector<CalendarEvent> events{
        eventAt(u"late"_s, QDateTime(QDate(2026, 3, 14), QTime(23, 30))),
        eventAt(u"early"_s, QDateTime(QDate(2026, 3, 14), QTime(8, 0))),
        eventAt(u"yesterday"_s, QDateTime(QDate(2026, 3, 13), QTime(10, 0))),
        eventAt(u"nextWeek"_s, QDateTime(QDate(2026, 3, 21), QTime(10, 0))),
        eventAt(u"invalid"_s, QDateTime()),
    };
    const auto days = upcomingDays(events, now);
    ASSERT_EQ(days.size(), 7u);
    ASSERT_EQ(days[0].events.size(), 2u);
    EXPECT_EQ(days[0].events[0].id, u"late"_s) << "list order is kept";
    EXPECT_EQ(days[0].events[1].id, u"early"_s);
    for (std::size_t i = 1; i < days.size(); ++i)
        EXPECT_TRUE(days[i].events.empty()) << i;

    EXPECT_EQ(selectedDay(days, u"unknown"_s, now).day, days.front().day);
    EXPECT_EQ(selectedDay({}, u"unknown"_s, now).day, QDate(2026, 3, 14));
    EXPECT_TRUE(selectedDay({}, {}, now).events.empty());

    const std::pair<std::size_t, QString> summaries[] = {{0, u"Clear"_s}, {1, u"1 event"_s}, {2, u"2 events"_s},
                                                         {60, u"60 events"_s}};
    for (const auto &[count, text] : summaries)
        EXPECT_EQ(daySummary(count), text) << count;
}

// Whatever clock a start is written on (local, UTC, a fixed offset, a named
// zone), it lands on the local day that holds that moment: the last
// millisecond before a local midnight on the earlier day, the midnight
// itself on the later one, across the night the clocks go forward.
TEST(CalendarDayBounds, EachStartLandsOnTheLocalDayThatHoldsIt)
{
    LocalZone pinned("Europe/London");
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
        events.push_back(eventAt(QString::number(i), cases[i].start));
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
