#include "cards/reminders/ReminderRules.h"

#include "style/DateText.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

const QTimeZone berlin("Europe/Berlin");

ReminderItem due(const QString &id, const QDateTime &when, bool includesTime = true)
{
    ReminderItem item;
    item.id = id;
    item.title = id;
    item.dueDate = when;
    item.includesTime = includesTime;
    return item;
}

QStringList ids(const std::vector<ReminderItem> &items)
{
    QStringList out;
    for (const ReminderItem &item : items)
        out << item.id;
    return out;
}

TEST(ReminderRules, OnlyTheOfferedFiltersAreSelectedFromStoredText)
{
    using reminderrules::selectedFilter;
    for (const QString &raw : {u"flagged"_s, u"noDate"_s, u""_s, u"xyz"_s, u"Today"_s, u"today"_s})
        EXPECT_EQ(selectedFilter(raw), ReminderFilter::today) << raw.toStdString();
    EXPECT_EQ(selectedFilter(u"overdue"_s), ReminderFilter::overdue);
    EXPECT_EQ(selectedFilter(u"upcoming"_s), ReminderFilter::upcoming);
    EXPECT_EQ(reminderrules::label(ReminderFilter::upcoming), u"Scheduled"_s);
}

TEST(ReminderRules, DayBoundariesDecideTheFilterAndTheSection)
{
    const QDateTime now(QDate(2026, 3, 14), QTime(15, 0), berlin);
    const auto day = reminderrules::Day::of(now, berlin);
    const QDateTime midnight(QDate(2026, 3, 14), QTime(0, 0), berlin);
    const std::vector<ReminderItem> items{
        due(u"lastSecondYesterday"_s, midnight.addSecs(-1)),
        due(u"midnight"_s, midnight),
        due(u"earlierToday"_s, now.addSecs(-3600)),
        due(u"lastSecondToday"_s, midnight.addDays(1).addSecs(-1)),
        due(u"tomorrow"_s, midnight.addDays(1)),
        ReminderItem{u"undated"_s, u"undated"_s, {}, {}, false, 0, false, {}, false},
    };
    EXPECT_EQ(ids(reminderrules::filtered(items, ReminderFilter::overdue, day)), QStringList{u"lastSecondYesterday"_s});
    EXPECT_EQ(ids(reminderrules::filtered(items, ReminderFilter::today, day)),
              (QStringList{u"midnight"_s, u"earlierToday"_s, u"lastSecondToday"_s}));
    EXPECT_EQ(ids(reminderrules::filtered(items, ReminderFilter::upcoming, day)),
              (QStringList{u"midnight"_s, u"earlierToday"_s, u"lastSecondToday"_s, u"tomorrow"_s}));
    for (ReminderFilter hidden : {ReminderFilter::noDate, ReminderFilter::flagged})
        EXPECT_TRUE(reminderrules::filtered(items, hidden, day).empty());
}

TEST(ReminderRules, SectionsRunOverdueTodayTomorrowThenLaterDaysWithYearsApart)
{
    const QDateTime now(QDate(2026, 3, 14), QTime(15, 0), berlin);
    const auto day = reminderrules::Day::of(now, berlin);
    const DateText dates(u"en_US"_s, u"Europe/Berlin"_s);
    const QDateTime nine(QDate(2026, 3, 15), QTime(9, 0), berlin);
    const std::vector<ReminderItem> items{
        due(u"nextYear"_s, QDateTime(QDate(2027, 3, 20), QTime(9, 0), berlin)),
        due(u"later"_s, QDateTime(QDate(2026, 3, 20), QTime(9, 0), berlin)),
        due(u"tomorrowA"_s, nine),
        due(u"tomorrowB"_s, nine),
        due(u"tomorrowEarly"_s, nine.addSecs(-3600)),
        due(u"today"_s, now),
        due(u"overdue"_s, now.addDays(-3)),
    };
    const auto sections = reminderrules::sections(items, day, berlin, dates);
    QStringList titles;
    for (const auto &section : sections)
        titles << section.title;
    ASSERT_EQ(titles.size(), 5);
    EXPECT_EQ(titles.mid(0, 3), (QStringList{u"Overdue"_s, u"Today"_s, u"Tomorrow"_s}));
    EXPECT_TRUE(titles[3].contains(u"Friday"_s)) << titles[3].toStdString();
    EXPECT_TRUE(titles[4].contains(u"2027"_s)) << titles[4].toStdString();
    EXPECT_NE(titles[3], titles[4]);
    EXPECT_EQ(ids(sections[2].reminders), (QStringList{u"tomorrowEarly"_s, u"tomorrowA"_s, u"tomorrowB"_s}));
}

TEST(ReminderRules, TheCountNeverStatesLessThanTheStateMayHold)
{
    const struct {
        int count;
        QString text;
    } cases[] = {{0, u"0 open reminders"_s}, {1, u"1 open reminder"_s}, {2, u"2 open reminders"_s},
                 {11, u"11 open reminders"_s}, {12, u"12+ open reminders"_s}};
    for (const auto &c : cases)
        EXPECT_EQ(reminderrules::countText(c.count, 12), c.text);

    // A full list may hide what a filter would keep, so its empty state does not claim there is none.
    const auto ready = RemindersConnectionState::ready();
    EXPECT_EQ(reminderrules::emptyContent(ready, false).title, u"No open reminders"_s);
    EXPECT_NE(reminderrules::emptyContent(ready, true).title, u"No open reminders"_s);
    EXPECT_TRUE(reminderrules::emptyContent(RemindersConnectionState::denied(), false).offersSettings);
    const auto failed = RemindersConnectionState::failed(u"Disk gone"_s);
    EXPECT_EQ(reminderrules::emptyContent(failed, false).subtitle, u"Disk gone"_s);
    EXPECT_EQ(reminderrules::connectionLine(failed), u"Disk gone"_s);
    EXPECT_FALSE(reminderrules::emptyContent(failed, false).offersSettings);
}

} // namespace
} // namespace kolu
