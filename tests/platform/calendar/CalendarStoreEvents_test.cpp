#include "platform/calendar/CalendarFolders.h"
#include "platform/calendar/CalendarStoreWork.h"
#include "platform/calendar/RecurrenceExpansion.h"

#include "CalendarFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QTimeZone berlin("Europe/Berlin");

QDateTime utc(int month, int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
}

// Monday 2 March 2026 to Monday 9 March, midnight in Berlin.
std::vector<StoredEvent> firstWeekOfMarch(const QString &root)
{
    return *loadEvents(root, utc(3, 1, 23), utc(3, 8, 23), berlin);
}

std::vector<QDateTime> startsOf(const std::vector<StoredEvent> &events, const QString &id)
{
    std::vector<QDateTime> starts;
    for (const StoredEvent &event : events) {
        if (event.seriesId == id)
            starts.push_back(event.start);
    }
    return starts;
}

const StoredEvent *find(const std::vector<StoredEvent> &events, const QString &id, const QDateTime &start)
{
    for (const StoredEvent &event : events) {
        if (event.seriesId == id && event.start == start)
            return &event;
    }
    return nullptr;
}

} // namespace

TEST(CalendarStoreEvents, ExpandsRulesExceptionsAndOverridesWithOneIdPerSeries)
{
    const auto events = firstWeekOfMarch(test::calendarFixture(u"synced"_s));
    // Monday is cancelled by an override, Wednesday removed by EXDATE,
    // Friday moved to 11:00; every occurrence keeps the series' UID.
    EXPECT_EQ(startsOf(events, u"standup-2026@example.com"_s),
              (std::vector<QDateTime>{utc(3, 3, 8, 30), utc(3, 5, 8, 30), utc(3, 6, 10)}));
    const StoredEvent *moved = find(events, u"standup-2026@example.com"_s, utc(3, 6, 10));
    const StoredEvent *tuesday = find(events, u"standup-2026@example.com"_s, utc(3, 3, 8, 30));
    ASSERT_TRUE(moved && tuesday);
    EXPECT_EQ(std::tuple(moved->title, moved->end, moved->location),
              std::tuple(u"Standup (moved)"_s, utc(3, 6, 10, 15), u"Room 2.01"_s));
    EXPECT_EQ(tuesday->end, utc(3, 3, 8, 45));
    ASSERT_EQ(tuesday->attendees.size(), 6u);
    EXPECT_EQ(std::tuple(tuesday->attendees[0].name, tuesday->attendees[1].name, tuesday->attendees[1].address),
              std::tuple(u"  Team Lead  "_s, std::nullopt, u"mailto:jane.doe@example.com"_s));

    // RDATE adds dates with the series' length; DTSTART lies before the window.
    EXPECT_EQ(startsOf(events, u"workshop@example.com"_s), (std::vector<QDateTime>{utc(3, 3, 16), utc(3, 7, 11)}));
    EXPECT_EQ(find(events, u"workshop@example.com"_s, utc(3, 7, 11))->end, utc(3, 7, 11, 30));
    // UNTIL is inclusive; the day before the window is not listed.
    EXPECT_EQ(startsOf(events, u"early-check@example.com"_s), (std::vector<QDateTime>{utc(3, 2, 7), utc(3, 3, 7)}));
    // COUNT counts from the first occurrence, years-old rules still reach today.
    EXPECT_EQ(startsOf(events, u"course-three-times"_s), (std::vector<QDateTime>{utc(3, 3, 15)}));
    EXPECT_TRUE(startsOf(events, u"course-two-times"_s).empty());
    EXPECT_EQ(startsOf(events, u"choir-since-2019"_s), (std::vector<QDateTime>{utc(3, 3, 18)}));
    // An event that began before the window and is still going on is listed.
    EXPECT_EQ(startsOf(events, u"deploy-night@example.com"_s), (std::vector<QDateTime>{utc(3, 1, 22)}));

    // An UNTIL that is a date ends an all-day series on that date, included.
    const auto may = *loadEvents(test::calendarFixture(u"synced"_s), utc(5, 9, 22), utc(5, 17, 22), berlin);
    EXPECT_EQ(startsOf(may, u"harvest-week@example.com"_s),
              (std::vector<QDateTime>{utc(5, 10, 22), utc(5, 11, 22), utc(5, 12, 22), utc(5, 13, 22)}));
    const StoredEvent *lastDay = find(may, u"harvest-week@example.com"_s, utc(5, 13, 22));
    ASSERT_TRUE(lastDay);
    EXPECT_TRUE(lastDay->isAllDay);
    EXPECT_EQ(lastDay->end, utc(5, 14, 22));
}

TEST(CalendarStoreEvents, ReadsEveryKindOfTimeZone)
{
    const auto events = firstWeekOfMarch(test::calendarFixture(u"synced"_s));
    // A system zone named by TZID, UTC, a zone name from another system, a
    // zone defined only in the file, and a floating time in the local zone.
    EXPECT_EQ(startsOf(events, u"Z1NJ7QJ3XBGW1A6B3XKU1X2E7Q9T0N3J8V5C"_s), (std::vector<QDateTime>{utc(3, 4, 15)}));
    EXPECT_EQ(startsOf(events, u"review-1@example.com"_s), (std::vector<QDateTime>{utc(3, 3, 13)}));
    EXPECT_EQ(startsOf(events, u"040000008200E00074C5B7101A82E00800000000"_s), (std::vector<QDateTime>{utc(3, 5, 14)}));
    EXPECT_EQ(startsOf(events, u"custom-zone@example.com"_s), (std::vector<QDateTime>{utc(3, 5, 14, 30)}));
    EXPECT_EQ(startsOf(events, u"floating-untitled"_s), (std::vector<QDateTime>{utc(3, 5, 6)}));

    // After the change to summer time the same wall-clock times move an hour.
    const auto later = *loadEvents(test::calendarFixture(u"synced"_s), utc(3, 29, 22), utc(4, 5, 22), berlin);
    EXPECT_EQ(startsOf(later, u"standup-2026@example.com"_s).front(), utc(3, 30, 7, 30));
    EXPECT_EQ(startsOf(later, u"choir-since-2019"_s), (std::vector<QDateTime>{utc(3, 31, 17)}));
}

TEST(CalendarStoreEvents, MarksAllDayEventsAndKeepsTheFolderOrder)
{
    const auto events = firstWeekOfMarch(test::calendarFixture(u"synced"_s));
    const StoredEvent *offsite =
        find(events, u"offsite@example.com"_s, QDateTime(QDate(2026, 3, 4), QTime(0, 0), berlin));
    ASSERT_TRUE(offsite && offsite->isAllDay);
    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const StoredEvent &e) { return e.isAllDay; }), 1);
    // Calendars by folder name, items by file name.
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(std::tuple(events[0].seriesId, events[1].seriesId, events[1].title),
              std::tuple(u"lunch-zeta"_s, u"lunch-empty-title"_s, QString()));
    EXPECT_EQ(events.back().seriesId, u"workshop@example.com"_s);
}

TEST(CalendarStoreEvents, SkipsOrBoundsDamagedAndHostileFiles)
{
    QTemporaryDir outside;
    QTemporaryDir root;
    test::copyCalendarFixture(u"hostile"_s, root.path());
    // A link that leads out of the calendar folder, and a calendar folder that is one.
    ASSERT_TRUE(test::writeFile(outside.filePath(u"secret.ics"_s),
                                test::icsWith("VEVENT", "UID:leaked\r\nDTSTART:20260303T100000Z\r\n")));
    ASSERT_TRUE(QFile::link(outside.filePath(u"secret.ics"_s), root.filePath(u"inbox/leak.ics"_s)));
    ASSERT_TRUE(QFile::link(outside.path(), root.filePath(u"elsewhere"_s)));

    const auto events = firstWeekOfMarch(root.path());
    EXPECT_EQ(startsOf(events, u"still-here"_s), (std::vector<QDateTime>{utc(3, 3, 12)}));
    // An unknown zone, or a zone definition that could not be expanded in
    // bounded time, reads as local time.
    EXPECT_EQ(startsOf(events, u"unknown-zone"_s), (std::vector<QDateTime>{utc(3, 3, 14)}));
    EXPECT_EQ(startsOf(events, u"bad-zone-rule"_s), (std::vector<QDateTime>{utc(3, 3, 15)}));
    EXPECT_LE(startsOf(events, u"every-second"_s).size(), static_cast<size_t>(kMaxOccurrencesPerSeries));
    // Every second of the year listed in a yearly rule: its first seconds of
    // the window, found without walking the year.
    const auto listed = startsOf(events, u"every-second-listed"_s);
    ASSERT_EQ(listed.size(), static_cast<size_t>(kMaxOccurrencesPerSeries));
    EXPECT_EQ(std::tuple(listed.front(), listed.back()),
              std::tuple(utc(3, 1, 23), utc(3, 1, 23).addSecs(kMaxOccurrencesPerSeries - 1)));
    // A plainly counted rule is counted by periods: it reaches the window,
    // within the same bounds.
    EXPECT_EQ(startsOf(events, u"huge-count"_s).size(), static_cast<size_t>(kMaxOccurrencesPerSeries));
    for (const QString &id : {u"no-start"_s, u"far-year"_s, u"leaked"_s, u"broken-lines"_s})
        EXPECT_TRUE(startsOf(events, id).empty()) << id.toStdString();
}

TEST(CalendarStoreEvents, SecondlyRuleInsideTheWindowIsCappedPerSeries)
{
    ICalFile file =
        readICalendar(test::icsWith("VEVENT", "UID:s\r\nDTSTART:20260302T000000Z\r\nRRULE:FREQ=SECONDLY\r\n"));
    ASSERT_EQ(file.events.size(), 1u);
    const auto occurrences = occurrencesInWindow({&file.events[0], {}}, utc(3, 1, 23), utc(3, 8, 23), berlin);
    EXPECT_EQ(occurrences.size(), static_cast<size_t>(kMaxOccurrencesPerSeries));
}

TEST(CalendarFolders, FindsTheRootAndListsCalendarsByName)
{
    QTemporaryDir home;
    const QString local = home.filePath(u".local/share/calendars"_s);
    const QString dotted = home.filePath(u".calendars"_s);
    EXPECT_EQ(resolveCalendarRoot(std::nullopt, home.path()), local);
    QDir().mkpath(dotted);
    EXPECT_EQ(resolveCalendarRoot(std::nullopt, home.path()), dotted);
    QDir().mkpath(local);
    EXPECT_EQ(resolveCalendarRoot(std::nullopt, home.path()), local);
    EXPECT_EQ(resolveCalendarRoot(u"~/cal"_s, home.path()), home.filePath(u"cal"_s));
    EXPECT_EQ(resolveCalendarRoot(u"  "_s, home.path()), local);
    EXPECT_EQ(resolveCalendarRoot(u"/srv/cal"_s, home.path()), u"/srv/cal"_s);

    EXPECT_TRUE(isUsableFolder(local, true));
    EXPECT_FALSE(isUsableFolder(home.filePath(u"missing"_s), false));
    for (const char16_t *name : {u"/b", u"/a", u"/.hidden"})
        QDir().mkpath(local + QStringView(name));
    QStringList names;
    for (const auto &collection : calendarCollections(local))
        names.append(collection.name);
    EXPECT_EQ(names, (QStringList{u"a"_s, u"b"_s}));

    // Item files by name (upper case first), whatever the case of ".ics";
    // hidden files, other names, folders and pipes are not items.
    const QString folder = local + u"/a"_s;
    for (const char16_t *name : {u"b.ics", u"B.ICS", u"a.Ics", u"10.ics", u"9.ics", u".hidden.ics", u"notes.txt"}) {
        QFile file(folder + u'/' + QStringView(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QDir().mkpath(folder + u"/folder.ics"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + u"/pipe.ics"_s).constData(), 0600), 0);
    QStringList items;
    for (const QString &path : calendarItemFiles(folder))
        items.append(path.mid(path.lastIndexOf(u'/') + 1));
    EXPECT_EQ(items, (QStringList{u"10.ics"_s, u"9.ics"_s, u"B.ICS"_s, u"a.Ics"_s, u"b.ics"_s}));
}

TEST(CalendarStoreEvents, StartingNearTheWindowGivesTheSameOccurrencesAsCountingFromTheStart)
{
    // A rule with COUNT is walked from its first occurrence; one without is
    // started near the window. Both must agree.
    const QList<QByteArray> rules{"FREQ=DAILY;INTERVAL=3",           "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH",
                                  "FREQ=MONTHLY;BYDAY=1TU",          "FREQ=MONTHLY;BYMONTHDAY=-1,3",
                                  "FREQ=YEARLY;BYMONTH=3;BYDAY=1MO", "FREQ=HOURLY;INTERVAL=5",
                                  "FREQ=WEEKLY;BYDAY=SU;WKST=SU"};
    for (const QByteArray &rule : rules) {
        const auto file = [&](const QByteArray &extra) {
            return readICalendar(test::icsWith("VEVENT", "UID:r\r\nDTSTART;TZID=Europe/Berlin:20190301T093000\r\n"
                                                         "DURATION:PT45M\r\nRRULE:"
                                                             + rule + extra + "\r\n"));
        };
        const auto startsInWindow = [](const ICalFile &f) {
            std::vector<QDateTime> starts;
            for (const auto &o : occurrencesInWindow({&f.events.at(0), {}}, utc(3, 1, 23), utc(3, 8, 23), berlin))
                starts.push_back(o.start);
            return starts;
        };
        const auto jumping = startsInWindow(file(""));
        EXPECT_EQ(jumping, startsInWindow(file(";COUNT=90000"))) << rule.constData();
        EXPECT_FALSE(jumping.empty()) << rule.constData();
    }
}

TEST(CalendarStoreEvents, YearlyRulesListingTimesGiveWhatTheMonthlyRuleGives)
{
    // A yearly rule's times are listed apart from its days; the same rule
    // stepped by months is the iterator's alone. Counted, the times count.
    const QByteArray parts = ";BYMONTH=3;BYMONTHDAY=2,4,30;BYHOUR=9,17;BYMINUTE=0,30";
    for (const QByteArray &count : {QByteArray(), QByteArray(";COUNT=90"), QByteArray(";UNTIL=20260304T083000Z")}) {
        const auto startsOfRule = [&](const QByteArray &frequency) {
            const ICalFile file = readICalendar(
                test::icsWith("VEVENT", "UID:r\r\nDTSTART;TZID=Europe/Berlin:20190302T090000\r\nRRULE:FREQ=" + frequency
                                            + parts + count + "\r\n"));
            std::vector<QDateTime> starts;
            for (const auto &o : occurrencesInWindow({&file.events.at(0), {}}, utc(3, 1, 23), utc(3, 8, 23), berlin))
                starts.push_back(o.start);
            return starts;
        };
        const auto yearly = startsOfRule("YEARLY");
        EXPECT_EQ(yearly, startsOfRule("MONTHLY")) << count.constData();
        EXPECT_FALSE(yearly.empty()) << count.constData();
    }
}

TEST(CalendarStoreEvents, RulesSteppedBySumsGiveWhatTheIteratorGives)
{
    // A BYMONTH of every month changes nothing, but makes the rule one the
    // iterator walks. Across the change to summer time, counted or not.
    const QByteArray everyMonth = ";BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12";
    const QList<QByteArray> rules{"FREQ=SECONDLY;INTERVAL=7",
                                  "FREQ=MINUTELY;INTERVAL=13",
                                  "FREQ=HOURLY;INTERVAL=5",
                                  "FREQ=DAILY",
                                  "FREQ=DAILY;INTERVAL=3",
                                  "FREQ=WEEKLY;INTERVAL=2",
                                  "FREQ=HOURLY;INTERVAL=5;COUNT=20000",
                                  "FREQ=DAILY;INTERVAL=3;COUNT=900"};
    for (const QByteArray &rule : rules) {
        for (const QByteArray &start :
             {QByteArray("DTSTART;TZID=Europe/Berlin:20190301T023000"), QByteArray("DTSTART;VALUE=DATE:20190301")}) {
            const auto startsOfRule = [&](const QByteArray &written) {
                const ICalFile file =
                    readICalendar(test::icsWith("VEVENT", "UID:r\r\n" + start + "\r\nRRULE:" + written + "\r\n"));
                std::vector<QDateTime> starts;
                for (const auto &o :
                     occurrencesInWindow({&file.events.at(0), {}}, utc(3, 27, 23), utc(4, 3, 22), berlin))
                    starts.push_back(o.start);
                return starts;
            };
            const auto summed = startsOfRule(rule);
            EXPECT_EQ(summed, startsOfRule(rule + everyMonth)) << rule.constData() << ' ' << start.constData();
            EXPECT_FALSE(summed.empty()) << rule.constData();
        }
    }
}
