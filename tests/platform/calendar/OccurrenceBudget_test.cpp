#include "model/UserDefaults.h"
#include "platform/calendar/CalendarFileCache.h"
#include "platform/calendar/CalendarStoreWork.h"
#include "platform/calendar/OccurrenceBudget.h"
#include "platform/calendar/VdirCalendarStore.h"

#include "AwaitTask.h"
#include "CalendarFixtures.h"
#include "LogCapture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QDateTime from(QDate(2026, 3, 2), QTime(0, 0), Qt::UTC);
const QDateTime to = from.addDays(7);

QByteArray stamp(const QDateTime &moment)
{
    return moment.toString(u"yyyyMMdd'T'HHmmss'Z'"_s).toLatin1();
}

// `series` events that each repeat every minute, the first a day before the
// window, each a few seconds after the one before.
QByteArray floodingFile(int series)
{
    QByteArray bytes = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (int i = 0; i < series; ++i) {
        const QDateTime start = from.addDays(-1).addSecs(i);
        bytes += "BEGIN:VEVENT\r\nUID:tick-" + QByteArray::number(i) + "\r\nDTSTART:" + stamp(start)
                 + "\r\nDURATION:PT30S\r\nRRULE:FREQ=MINUTELY\r\nEND:VEVENT\r\n";
    }
    return bytes + "END:VCALENDAR\r\n";
}

QByteArray meetingAt(const QDateTime &start)
{
    return test::icsWith("VEVENT",
                         "UID:meeting\r\nSUMMARY:Planning\r\nDTSTART:" + stamp(start) + "\r\nDURATION:PT1H\r\n");
}

// `series` events that each list every second of every minute, a day
// before the window on.
QByteArray everySecondFile(int series)
{
    QByteArray seconds = "0";
    for (int second = 1; second < 60; ++second)
        seconds += "," + QByteArray::number(second);
    QByteArray bytes = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (int i = 0; i < series; ++i)
        bytes += "BEGIN:VEVENT\r\nUID:tick-" + QByteArray::number(i) + "\r\nDTSTART:" + stamp(from.addDays(-1))
                 + "\r\nRRULE:FREQ=MINUTELY;BYSECOND=" + seconds + "\r\nEND:VEVENT\r\n";
    return bytes + "END:VCALENDAR\r\n";
}

std::vector<QDateTime> startsOf(const std::vector<StoredEvent> &events, bool flood)
{
    std::vector<QDateTime> starts;
    for (const StoredEvent &event : events) {
        if (event.seriesId.startsWith(u"tick-"_s) == flood)
            starts.push_back(event.start);
    }
    std::sort(starts.begin(), starts.end());
    return starts;
}

BudgetedOccurrence at(int minute, std::size_t order)
{
    return {u"s"_s, {nullptr, from.addSecs(minute * 60), from.addSecs(minute * 60)}, order};
}

} // namespace

TEST(OccurrenceBudget, AFileThatFloodsKeepsItsEarliestAndLeavesTheOthersTheirEvents)
{
    QTemporaryDir root;
    test::writeCalendarItem(root.path(), u"home"_s, u"flood.ics"_s, floodingFile(40));
    test::writeCalendarItem(root.path(), u"home"_s, u"meeting.ics"_s, meetingAt(from.addSecs(2 * 3600)));
    const std::vector<StoredEvent> whole =
        *loadEvents(root.path(), from, to, QTimeZone::utc(), nullptr, {1'000'000, {}});
    ASSERT_EQ(whole.size(), 40u * kMaxOccurrencesPerSeries + 1);

    test::LogCapture log;
    CalendarFileCache cache;
    const int bound = 300;
    const std::vector<StoredEvent> bounded = *loadEvents(root.path(), from, to, QTimeZone::utc(), &cache, {bound, {}});
    ASSERT_EQ(bounded.size(), size_t(bound));
    EXPECT_EQ(startsOf(bounded, false), std::vector<QDateTime>{from.addSecs(2 * 3600)});
    // The flooding file keeps its earliest, listed in the order of the whole.
    std::vector<QDateTime> earliest = startsOf(whole, true);
    earliest.resize(bound - 1);
    EXPECT_EQ(startsOf(bounded, true), earliest);
    std::set<std::pair<QString, qint64>> kept;
    for (const StoredEvent &event : bounded)
        kept.insert({event.seriesId, event.start.toSecsSinceEpoch()});
    std::vector<StoredEvent> wholeKept;
    std::copy_if(whole.begin(), whole.end(), std::back_inserter(wholeKept), [&](const StoredEvent &event) {
        return kept.count({event.seriesId, event.start.toSecsSinceEpoch()}) > 0;
    });
    EXPECT_EQ(wholeKept, bounded);

    // One line names the file, not every occurrence, and only once while the
    // file stays as it is; a change to it is told again.
    EXPECT_EQ(log.warningsWith(u"flood.ics"_s).size(), 1);
    EXPECT_TRUE(log.warningsWith(u"meeting.ics"_s).isEmpty());
    loadEvents(root.path(), from.addDays(1), to.addDays(1), QTimeZone::utc(), &cache, {bound, {}});
    EXPECT_EQ(log.warningsWith(u"flood.ics"_s).size(), 1);
    test::writeCalendarItem(root.path(), u"home"_s, u"flood.ics"_s, floodingFile(41));
    loadEvents(root.path(), from, to, QTimeZone::utc(), &cache, {bound, {}});
    EXPECT_EQ(log.warningsWith(u"flood.ics"_s).size(), 2);

    // The store reads within the bound its limits name.
    QTemporaryDir config;
    UserDefaults defaults(config.filePath(u"defaults.json"_s));
    defaults.set(SettingsKey::calendarFolderPath, root.path());
    VdirCalendarStore store(defaults, config.path(), QTimeZone::utc());
    const StoredEventList stored = test::awaitTask(store.events(from, to));
    EXPECT_EQ(stored->size(), size_t(kMaxOccurrencesPerRead));
    EXPECT_EQ(startsOf(*stored, false), std::vector<QDateTime>{from.addSecs(2 * 3600)});
}

TEST(OccurrenceBudget, RulesThatExamineTooManyInstantsLeaveTheOtherFilesTheirEvents)
{
    // Each series examines about a thousand instants; the read has 4,000, so
    // the flood spends them and then each file has a few thousand of its own.
    QTemporaryDir root;
    test::writeCalendarItem(root.path(), u"a-flood"_s, u"flood.ics"_s, everySecondFile(60));
    test::writeCalendarItem(root.path(), u"home"_s, u"meeting.ics"_s, meetingAt(from.addSecs(2 * 3600)));
    test::writeCalendarItem(root.path(), u"home"_s, u"weekly.ics"_s,
                            test::icsWith("VEVENT", "UID:weekly\r\nDTSTART:20250304T090000Z\r\nRRULE:FREQ=WEEKLY\r\n"));
    // A course of 300 sessions since last March: read from its first, it
    // needs more instants than a series has once the read's are spent, but
    // fewer than its file has.
    test::writeCalendarItem(
        root.path(), u"home"_s, u"course.ics"_s,
        test::icsWith("VEVENT",
                      "UID:course\r\nDTSTART:20250303T080000Z\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR;COUNT=300\r\n"));
    test::LogCapture log;
    const std::vector<StoredEvent> events =
        *loadEvents(root.path(), from, to, QTimeZone::utc(), nullptr, {kMaxOccurrencesPerRead, {}, 4000});
    EXPECT_EQ(startsOf(events, false),
              (std::vector<QDateTime>{from.addSecs(2 * 3600), from.addSecs(8 * 3600), from.addDays(1).addSecs(9 * 3600),
                                      from.addDays(2).addSecs(8 * 3600), from.addDays(4).addSecs(8 * 3600)}));
    const std::vector<QDateTime> flood = startsOf(events, true);
    EXPECT_GE(flood.size(), 4000u);
    EXPECT_LT(flood.size(), 60u * 200);
    EXPECT_EQ(log.warningsWith(u"flood.ics"_s).size(), 1);
    // The first series spend the read's instants and then the file's own;
    // every later one examines only what each series has, so it lists the
    // first seconds of the window and no more.
    const auto startsOfSeries = [&](const QString &id) {
        std::vector<QDateTime> starts;
        for (const StoredEvent &event : events) {
            if (event.seriesId == id)
                starts.push_back(event.start);
        }
        return starts;
    };
    std::vector<QDateTime> firstSeconds;
    for (int second = 0; second < kCandidatesPerSeriesOnceSpent; ++second)
        firstSeconds.push_back(from.addSecs(second));
    EXPECT_EQ(startsOfSeries(u"tick-59"_s), firstSeconds);
    EXPECT_EQ(startsOfSeries(u"tick-0"_s).back(), from.addSecs(kMaxOccurrencesPerSeries - 1));
}

TEST(OccurrenceBudget, FilesOverTheBoundShareItAndEachKeepsItsEarliest)
{
    // Three files of 10, 3 and 10 occurrences within a bound of 12: the
    // small one keeps all, the large ones share the rest.
    OccurrenceBudget budget(12);
    std::size_t order = 0;
    const auto file = [&](int count, int firstMinute) {
        std::vector<BudgetedOccurrence> occurrences;
        for (int i = count - 1; i >= 0; --i)
            occurrences.push_back(at(firstMinute + i, order++));
        return occurrences;
    };
    EXPECT_EQ(budget.roomForNextFile(), 12);
    budget.addFile(file(10, 100), false);
    EXPECT_EQ(budget.roomForNextFile(), 10);
    budget.addFile(file(3, 0), false);
    budget.addFile(file(10, 200), true);
    EXPECT_EQ(budget.cutFiles(), (std::vector<std::pair<std::size_t, int>>{{0, 5}, {2, 4}}));
    std::map<int, int> perHundred;
    std::vector<std::size_t> orders;
    for (const BudgetedOccurrence &kept : budget.takeKept()) {
        const int minute = int(from.secsTo(kept.occurrence.start) / 60);
        // Each file keeps the earliest of its own.
        EXPECT_LT(minute % 100, minute >= 200 ? 4 : minute >= 100 ? 5 : 3);
        ++perHundred[minute / 100];
        orders.push_back(kept.order);
    }
    EXPECT_EQ(perHundred, (std::map<int, int>{{0, 3}, {1, 5}, {2, 4}}));
    EXPECT_TRUE(std::is_sorted(orders.begin(), orders.end()));
}

TEST(OccurrenceBudget, AStoppedReadEndsWithNothingAndLeavesTheCacheWhole)
{
    QTemporaryDir root;
    test::writeCalendarItem(root.path(), u"home"_s, u"flood.ics"_s, floodingFile(5));
    test::writeCalendarItem(root.path(), u"home"_s, u"meeting.ics"_s, meetingAt(from.addSecs(3600)));
    CalendarFileCache cache;
    std::stop_source quitting;
    quitting.request_stop();
    EXPECT_TRUE(loadEvents(root.path(), from, to, QTimeZone::utc(), &cache, {1000, quitting.get_token()})->empty());
    EXPECT_TRUE(loadOpenTodos(root.path(), QTimeZone::utc(), &cache, quitting.get_token()).empty());
    const StoredEventList after = loadEvents(root.path(), from, to, QTimeZone::utc(), &cache, {1000, {}});
    EXPECT_EQ(after->size(), 1000u);
    EXPECT_EQ(startsOf(*after, false), std::vector<QDateTime>{from.addSecs(3600)});
}
