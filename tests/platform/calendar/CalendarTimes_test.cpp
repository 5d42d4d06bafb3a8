#include "platform/calendar/CalendarStoreWork.h"
#include "platform/calendar/RecurrenceExpansion.h"

#include "CalendarFixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QTimeZone berlin("Europe/Berlin");

QDateTime utc(int year, int month, int day, int hour, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

struct Span {
    QDateTime start;
    QDateTime end;
    bool operator==(const Span &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Span &span)
{
    return out << span.start.toString(Qt::ISODate).toStdString() << " - "
               << span.end.toString(Qt::ISODate).toStdString();
}

// The occurrences of the one event in a calendar root holding only it.
std::vector<Span> spansOf(const QByteArray &eventLines, const QDateTime &from, const QDateTime &to,
                          const QTimeZone &localZone = berlin)
{
    QTemporaryDir root;
    QByteArray file = test::eventFileWith(eventLines);
    if (eventLines.contains("TZID=Custom Berlin"))
        file.replace("TZID:Europe/Berlin", "TZID:Custom Berlin");
    test::writeCalendarItem(root.path(), u"personal"_s, u"item.ics"_s, file);
    std::vector<Span> spans;
    const StoredEventList events = loadEvents(root.path(), from, to, localZone);
    for (const StoredEvent &event : *events)
        spans.push_back({event.start, event.end});
    return spans;
}

std::vector<QDateTime> startsOf(const std::vector<Span> &spans)
{
    std::vector<QDateTime> starts;
    for (const Span &span : spans)
        starts.push_back(span.start);
    return starts;
}

} // namespace

TEST(CalendarTimes, LocalTimesInsideAClockChangeFollowTheRfcRule)
{
    // A time that does not exist moves forward by the gap; a time that
    // happens twice means its first occurrence.
    struct Case {
        QByteArray lines;
        Span expected;
    };
    // "Custom Berlin" is known only from the file's own definition.
    const std::vector<Case> cases{
        {"DTSTART;TZID=Custom Berlin:20260329T023000\nDTEND;TZID=Custom Berlin:20260329T040000\n",
         {utc(2026, 3, 29, 1, 30), utc(2026, 3, 29, 2)}},
        {"DTSTART;TZID=Custom Berlin:20261025T023000\nDTEND;TZID=Custom Berlin:20261025T033000\n",
         {utc(2026, 10, 25, 0, 30), utc(2026, 10, 25, 2, 30)}},
        {"DTSTART;TZID=Europe/Berlin:20260329T023000\nDTEND;TZID=Europe/Berlin:20260329T040000\n",
         {utc(2026, 3, 29, 1, 30), utc(2026, 3, 29, 2)}},
        {"DTSTART;TZID=Europe/Berlin:20261025T023000\nDTEND;TZID=Europe/Berlin:20261025T033000\n",
         {utc(2026, 10, 25, 0, 30), utc(2026, 10, 25, 2, 30)}},
        {"DTSTART;TZID=America/New_York:20260308T023000\nDTEND;TZID=America/New_York:20260308T040000\n",
         {utc(2026, 3, 8, 7, 30), utc(2026, 3, 8, 8)}},
        {"DTSTART;TZID=America/New_York:20261101T013000\nDTEND;TZID=America/New_York:20261101T020000\n",
         {utc(2026, 11, 1, 5, 30), utc(2026, 11, 1, 7)}},
        // A floating time is read in the user's zone.
        {"DTSTART:20260329T023000\nDTEND:20260329T033000\n", {utc(2026, 3, 29, 1, 30), utc(2026, 3, 29, 1, 30)}},
    };
    for (const Case &c : cases) {
        const QDateTime day = c.expected.start;
        EXPECT_EQ(spansOf("UID:gap\nSUMMARY:Night shift\n" + c.lines, day.addDays(-1), day.addDays(1)),
                  (std::vector<Span>{c.expected}))
            << c.lines.constData();
    }

    // Every occurrence of a series follows the same rule and keeps its length.
    const QByteArray daily = "UID:night\nDTSTART;TZID=Europe/Berlin:20260320T023000\n"
                             "DTEND;TZID=Europe/Berlin:20260320T031500\nRRULE:FREQ=DAILY\n";
    EXPECT_EQ(spansOf(daily, utc(2026, 3, 28, 12), utc(2026, 3, 29, 12)),
              (std::vector<Span>{Span{utc(2026, 3, 29, 1, 30), utc(2026, 3, 29, 2, 15)}}));
    EXPECT_EQ(spansOf(daily, utc(2026, 10, 24, 12), utc(2026, 10, 25, 12)),
              (std::vector<Span>{Span{utc(2026, 10, 25, 0, 30), utc(2026, 10, 25, 1, 15)}}));
}

TEST(CalendarTimes, EveryFrequencyWithAnIntervalKeepsItsPhase)
{
    // Each rule is checked against a plain expansion: the start plus whole
    // multiples of the interval, on the wall clock of the event's zone, with
    // dates that do not exist skipped.
    enum class Unit { seconds, days, months, years };
    struct Case {
        QByteArray rule;
        QDateTime firstWall; // the DTSTART as written, in Berlin
        Unit unit;
        int step;
        QDateTime from;
        QDateTime to;
    };
    const QDateTime wall2019(QDate(2019, 3, 1), QTime(0, 30, 13), Qt::UTC);
    const std::vector<Case> cases{
        {"FREQ=SECONDLY;INTERVAL=7", wall2019, Unit::seconds, 7, utc(2026, 3, 4, 10), utc(2026, 3, 4, 10, 10)},
        {"FREQ=MINUTELY;INTERVAL=13", wall2019, Unit::seconds, 13 * 60, utc(2026, 3, 4, 6), utc(2026, 3, 4, 18)},
        {"FREQ=HOURLY;INTERVAL=5", wall2019, Unit::seconds, 5 * 3600, utc(2026, 3, 1, 23), utc(2026, 3, 8, 23)},
        {"FREQ=HOURLY;INTERVAL=7", wall2019, Unit::seconds, 7 * 3600, utc(2026, 6, 1, 0), utc(2026, 6, 8, 0)},
        {"FREQ=DAILY;INTERVAL=3", wall2019, Unit::days, 3, utc(2026, 3, 1, 23), utc(2026, 3, 15, 23)},
        {"FREQ=WEEKLY;INTERVAL=3", wall2019, Unit::days, 21, utc(2026, 1, 1, 0), utc(2026, 6, 1, 0)},
        {"FREQ=MONTHLY;INTERVAL=5", QDateTime(QDate(2019, 1, 31), QTime(9, 30), Qt::UTC), Unit::months, 5,
         utc(2026, 1, 1, 0), utc(2030, 1, 1, 0)},
        {"FREQ=YEARLY;INTERVAL=3", QDateTime(QDate(2016, 2, 29), QTime(9, 30), Qt::UTC), Unit::years, 3,
         utc(2026, 1, 1, 0), utc(2060, 1, 1, 0)},
    };
    for (const Case &c : cases) {
        const auto wallAt = [&](qint64 k) -> std::optional<QDateTime> {
            switch (c.unit) {
            case Unit::seconds: return c.firstWall.addSecs(k * c.step);
            case Unit::days: return c.firstWall.addDays(k * c.step);
            case Unit::months:
            case Unit::years:
                const int n = static_cast<int>(k) * c.step;
                const QDateTime moved = c.unit == Unit::months ? c.firstWall.addMonths(n) : c.firstWall.addYears(n);
                return moved.date().day() == c.firstWall.date().day() ? std::optional(moved) : std::nullopt;
            }
            return std::nullopt;
        };
        std::vector<QDateTime> expected;
        // Wall-clock seconds are counted as if the wall clock were UTC.
        const QDateTime fromWall(c.from.toTimeZone(berlin).date(), c.from.toTimeZone(berlin).time(), Qt::UTC);
        qint64 k = c.unit == Unit::seconds ? std::max<qint64>(0, (c.firstWall.secsTo(fromWall) - 120) / c.step) : 0;
        for (;; ++k) {
            const auto wall = wallAt(k);
            if (!wall)
                continue;
            const QDateTime moment(wall->date(), wall->time(), berlin);
            if (moment >= c.to)
                break;
            if (moment.addSecs(60) > c.from)
                expected.push_back(moment.toUTC());
        }
        const QByteArray lines =
            "UID:phase\nDTSTART;TZID=Europe/Berlin:" + c.firstWall.toString(u"yyyyMMdd'T'HHmmss"_s).toUtf8()
            + "\nDURATION:PT1M\nRRULE:" + c.rule + "\n";
        ASSERT_FALSE(expected.empty()) << c.rule.constData();
        EXPECT_EQ(startsOf(spansOf(lines, c.from, c.to)), expected) << c.rule.constData();
    }
}

TEST(CalendarTimes, CountedRulesReachTodayAndEndWhereTheyShould)
{
    // Far more single steps than a hostile rule is allowed, yet plainly counted.
    std::vector<QDateTime> hours;
    for (int h = 0; h < 24 * 7; ++h)
        hours.push_back(utc(2026, 3, 2, 0).addSecs(h * 3600));
    EXPECT_EQ(startsOf(spansOf("UID:meter\nDTSTART:20100101T000000Z\nRRULE:FREQ=HOURLY;COUNT=200000\n",
                               utc(2026, 3, 2, 0), utc(2026, 3, 9, 0))),
              hours);

    // The last counted occurrence falls inside the window; none follows it.
    const qint64 steps = utc(2020, 1, 1, 0).secsTo(utc(2026, 3, 4, 12)) / 180;
    const auto counted = startsOf(spansOf("UID:poll\nDTSTART:20200101T000000Z\nRRULE:FREQ=MINUTELY;INTERVAL=3;COUNT="
                                              + QByteArray::number(steps + 1) + "\n",
                                          utc(2026, 3, 4, 11), utc(2026, 3, 4, 13)));
    ASSERT_EQ(counted.size(), 21u);
    EXPECT_EQ(counted.front(), utc(2026, 3, 4, 11));
    EXPECT_EQ(counted.back(), utc(2026, 3, 4, 12));

    // Periods that hold no occurrence (months without a 31st) are not counted:
    // seven a year from January 2020, so the 40th is in August 2025.
    EXPECT_EQ(startsOf(spansOf("UID:pay\nDTSTART;TZID=Europe/Berlin:20200131T090000\nRRULE:FREQ=MONTHLY;COUNT=40\n",
                               utc(2025, 7, 1, 0), utc(2026, 12, 31, 0))),
              (std::vector<QDateTime>{utc(2025, 7, 31, 7), utc(2025, 8, 31, 7)}));
}

TEST(CalendarTimes, RepeatingAllDayEventsLastWholeDaysAcrossClockChanges)
{
    const auto midnight = [](int month, int day) { return QDateTime(QDate(2026, month, day), QTime(0, 0), berlin); };
    const QByteArray weekly = "UID:bins\nSUMMARY:Bins\nDTSTART;VALUE=DATE:20260301\nDTEND;VALUE=DATE:20260302\n"
                              "RRULE:FREQ=WEEKLY\n";
    EXPECT_EQ(spansOf(weekly, midnight(3, 28), midnight(3, 31)),
              (std::vector<Span>{Span{midnight(3, 29), midnight(3, 30)}}));
    EXPECT_EQ(spansOf(weekly, midnight(10, 24), midnight(10, 27)),
              (std::vector<Span>{Span{midnight(10, 25), midnight(10, 26)}}));
    // A two-day event given by a duration, starting the day before the change.
    const QByteArray fair = "UID:fair\nDTSTART;VALUE=DATE:20260328\nDURATION:P2D\nRRULE:FREQ=YEARLY\n";
    EXPECT_EQ(spansOf(fair, midnight(3, 27), midnight(4, 1)),
              (std::vector<Span>{Span{midnight(3, 28), midnight(3, 30)}}));
    // The day after it ends is not touched by it.
    EXPECT_TRUE(spansOf(weekly, midnight(3, 30), midnight(4, 5)).empty());
}

TEST(CalendarTimes, SingleEventsAtTheWindowsEdgesCountByTheirMomentsInFarZones)
{
    // Zones up to fourteen hours from UTC put wall-clock times written a day
    // away from the window inside it, and some just outside.
    const QDateTime from = utc(2026, 3, 2, 0);
    const QDateTime to = utc(2026, 3, 3, 0);
    struct Case {
        QByteArray lines;
        std::vector<Span> expected;
        QTimeZone localZone = berlin;
    };
    const std::vector<Case> cases{
        {"DTSTART;TZID=Pacific/Kiritimati:20260303T130000\nDTEND;TZID=Pacific/Kiritimati:20260303T133000\n",
         {{utc(2026, 3, 2, 23), utc(2026, 3, 2, 23, 30)}}},
        {"DTSTART;TZID=Pacific/Kiritimati:20260303T140000\nDTEND;TZID=Pacific/Kiritimati:20260303T150000\n", {}},
        {"DTSTART;TZID=Pacific/Pago_Pago:20260301T140000\nDURATION:PT1H\n", {{utc(2026, 3, 2, 1), utc(2026, 3, 2, 2)}}},
        // Ending as the window begins.
        {"DTSTART;TZID=Pacific/Kiritimati:20260302T120000\nDTEND;TZID=Pacific/Kiritimati:20260302T140000\n", {}},
        {"DTSTART;TZID=Pacific/Pago_Pago:20260301T110000\nDTEND;TZID=Pacific/Pago_Pago:20260301T130001\n",
         {{utc(2026, 3, 1, 22), utc(2026, 3, 2, 0, 0, 1)}}},
        // Begun ten days before, still going on; an end that cannot be read
        // leaves the duration to tell.
        {"DTSTART:20260220T090000Z\nDURATION:P10DT1H\n", {{utc(2026, 2, 20, 9), utc(2026, 3, 2, 10)}}},
        {"DTSTART:20260220T090000Z\nDTEND:18000101T000000Z\nDURATION:P10DT1H\n",
         {{utc(2026, 2, 20, 9), utc(2026, 3, 2, 10)}}},
        // A floating day, read in the user's zone.
        {"DTSTART;VALUE=DATE:20260301\n", {{utc(2026, 3, 1, 11), utc(2026, 3, 2, 11)}}, QTimeZone("Pacific/Pago_Pago")},
        {"DTSTART;VALUE=DATE:20260303\n",
         {{utc(2026, 3, 2, 10), utc(2026, 3, 3, 10)}},
         QTimeZone("Pacific/Kiritimati")},
        {"DTSTART;VALUE=DATE:20260303\n", {{utc(2026, 3, 2, 23), utc(2026, 3, 3, 23)}}},
        {"DTSTART;VALUE=DATE:20260304\n", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(spansOf("UID:edge\nSUMMARY:Edge\n" + c.lines, from, to, c.localZone), c.expected)
            << c.lines.constData();
}
