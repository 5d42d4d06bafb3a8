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
        // 23:30 UTC on the 14th is already the 15th in Berlin.
        eventAt(u"utc"_s, QDateTime(QDate(2026, 3, 14), QTime(23, 30), Qt::UTC)),
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
    ASSERT_EQ(days[1].events.size(), 1u);
    EXPECT_EQ(days[1].events[0].id, u"utc"_s);
    for (std::size_t i = 2; i < days.size(); ++i)
        EXPECT_TRUE(days[i].events.empty()) << i;

    EXPECT_EQ(selectedDay(days, u"unknown"_s, now).day, days.front().day);
    EXPECT_EQ(selectedDay({}, u"unknown"_s, now).day, QDate(2026, 3, 14));
    EXPECT_TRUE(selectedDay({}, {}, now).events.empty());

    const std::pair<std::size_t, QString> summaries[] = {{0, u"Clear"_s}, {1, u"1 event"_s}, {2, u"2 events"_s},
                                                         {60, u"60 events"_s}};
    for (const auto &[count, text] : summaries)
        EXPECT_EQ(daySummary(count), text) << count;
}

} // namespace
} // namespace kolu::calendar
