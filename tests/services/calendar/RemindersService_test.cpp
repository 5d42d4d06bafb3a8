#include "services/calendar/RemindersService.h"

#include "model/UserDefaults.h"
#include "platform/calendar/ICalendarReader.h"
#include "platform/calendar/VdirCalendarStore.h"

#include "../ServiceTests.h"
#include "CalendarFixtures.h"

using namespace kolu;

namespace {

QDateTime march(int day, int hour, int minute = 0)
{
    return test::utc(2026, 3, day, hour, minute);
}

QStringList titles(const std::vector<ReminderItem> &items)
{
    return test::each(items, &ReminderItem::title);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList({u"*.ics"_s}, QDir::Files, QDir::Name);
}

ReminderDraft draft(const QString &title, const std::function<void(ReminderDraft &)> &fill = {})
{
    ReminderDraft d;
    d.title = title;
    if (fill)
        fill(d);
    return d;
}

class RemindersServiceTest : public ::testing::Test {
protected:
    RemindersServiceTest()
    {
        test::copyCalendarFixture(u"todos"_s, root.path());
        defaults.set(SettingsKey::remindersFolderPath, root.path());
    }

    std::pair<RemindersConnectionState, std::vector<ReminderItem>> fetch(int limit = 12)
    {
        return test::awaitTask(service.fetchOpenReminders(limit));
    }
    RemindersConnectionState add(const ReminderDraft &draft) { return test::awaitTask(service.addReminder(draft)); }
    RemindersConnectionState complete(const QString &id, bool completed)
    {
        return test::awaitTask(service.setCompleted(id, completed));
    }
    // Adds `draft` and reads back the one file it wrote into `list`.
    ICalTodo added(const ReminderDraft &draft, const QString &list)
    {
        const QStringList before = filesIn(root.filePath(list));
        EXPECT_EQ(add(draft), RemindersConnectionState::ready());
        QStringList after = filesIn(root.filePath(list));
        for (const QString &name : before)
            after.removeOne(name);
        EXPECT_EQ(after.size(), 1);
        const ICalFile read = readICalendar(test::readFile(root.filePath(QString(list + u'/' + after.value(0)))));
        EXPECT_EQ(read.todos.size(), 1u);
        return read.todos.empty() ? ICalTodo{} : read.todos.front();
    }

    QTemporaryDir root;
    QTemporaryDir config;
    UserDefaults defaults{config.filePath(u"defaults.json"_s)};
    const QTimeZone berlin{"Europe/Berlin"};
    test::ManualClock clock{march(2, 8)};
    VdirCalendarStore store{defaults, config.path(), berlin};
    RemindersService service{store, clock, berlin};
};

} // namespace

TEST_F(RemindersServiceTest, ListsOpenRemindersDueFirstThenByTitle)
{
    EXPECT_EQ(fetch().first, RemindersConnectionState::ready());
    EXPECT_EQ(titles(fetch().second), (QStringList{u"Pay rent"_s, u"Call mom"_s, u"Buy milk"_s, u"Return parcel"_s,
                                                   u"apple"_s, u"Banana"_s, u"cherry"_s}));
    // The fields are the store's to read (tested with it).
    EXPECT_EQ(titles(fetch(3).second), (QStringList{u"Pay rent"_s, u"Call mom"_s, u"Buy milk"_s}));
    EXPECT_TRUE(fetch(-1).second.empty());
}

TEST(RemindersServiceSort, DatedRemindersFillTheLimitBeforeUndatedOnes)
{
    // Undated first in the input; a later and an earlier due date; a tie with
    // the earlier one keeps its input order.
    std::vector<ReminderItem> items(4);
    for (int i = 0; i < 4; ++i)
        items[i].id = QStringList{u"a"_s, u"b"_s, u"c"_s, u"tie"_s}[i];
    items[1].dueDate = march(1, 9);
    items[2].dueDate = items[3].dueDate = march(1, 8);
    RemindersService::sortForDisplay(items);
    EXPECT_EQ(test::each(items, &ReminderItem::id), (QStringList{u"c"_s, u"tie"_s, u"b"_s, u"a"_s}));
}

TEST_F(RemindersServiceTest, AddsAReminderThatReadsBack)
{
    const ICalTodo todo = added(draft(u"  Renew passport \n"_s,
                                      [](ReminderDraft &d) {
                                          d.notes = u"   "_s;
                                          d.url = u"example.com/passport"_s;
                                          d.dueDate = march(9, 8, 30).addSecs(42); // seconds are dropped
                                          d.hasDate = d.hasTime = d.isFlagged = true;
                                          d.priority = 5;
                                      }),
                                u"errands"_s);
    EXPECT_EQ(todo.summary, u"Renew passport"_s);
    EXPECT_EQ(todo.description, std::nullopt);
    EXPECT_EQ(todo.url, u"https://example.com/passport"_s);
    EXPECT_EQ(todo.priority, 5);
    EXPECT_TRUE(todo.flagged);
    EXPECT_EQ(momentOf(todo.due.value(), berlin), march(9, 8, 30));
    EXPECT_EQ(RemindersService::normalizedURL(u"mailto:a@example.com"_s), QUrl(u"mailto:a@example.com"_s));
}

TEST_F(RemindersServiceTest, ADraftWithoutDateIgnoresTheTimeAndGoesToTheChosenList)
{
    defaults.set(SettingsKey::remindersDefaultListName, u"home"_s);
    const ICalTodo todo = added(draft(u"Water plants"_s,
                                      [](ReminderDraft &d) {
                                          d.notes = u"Balcony too"_s;
                                          d.url = u"example page"_s;
                                          d.dueDate = march(9, 8);
                                          d.hasTime = true;
                                      }),
                                u"home"_s);
    EXPECT_FALSE(todo.due.has_value());
    EXPECT_EQ(todo.url, std::nullopt);
    EXPECT_EQ(todo.description, u"Balcony too"_s);

    // A date without a time is a due day in the local zone.
    const ICalTodo dated =
        added(draft(u"Dated"_s, [](ReminderDraft &d) { d.dueDate = march(9, 23, 30), d.hasDate = true; }), u"home"_s);
    EXPECT_TRUE(dated.due.value().isDate());
    EXPECT_EQ(dated.due->date(), QDate(2026, 3, 10)); // already 10 March in Berlin
}

TEST_F(RemindersServiceTest, CompletesAndReopensByIdentifier)
{
    EXPECT_EQ(complete(u"call-mom"_s, true), RemindersConnectionState::ready());
    EXPECT_FALSE(titles(fetch().second).contains(u"Call mom"_s));
    EXPECT_EQ(complete(u"call-mom"_s, false), RemindersConnectionState::ready());
    EXPECT_TRUE(titles(fetch().second).contains(u"Call mom"_s));
    EXPECT_EQ(complete(u"nope"_s, true), RemindersConnectionState::failed(u"Reminder could not be found."_s));
}

TEST_F(RemindersServiceTest, AnswersDeniedWithoutTheFolderAndFailedWithoutAList)
{
    // An empty title is answered at once, whatever the access.
    defaults.set(SettingsKey::remindersFolderPath, root.filePath(u"missing"_s));
    EXPECT_EQ(add(draft(u"  "_s)), RemindersConnectionState::ready());
    EXPECT_FALSE(store.hasReminderAccess());
    const auto [state, items] = fetch();
    EXPECT_EQ(state, RemindersConnectionState::denied());
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(add(draft(u"x"_s)), RemindersConnectionState::denied());
    EXPECT_EQ(complete(u"call-mom"_s, true), RemindersConnectionState::denied());

    QTemporaryDir empty;
    defaults.set(SettingsKey::remindersFolderPath, empty.path());
    EXPECT_TRUE(store.hasReminderAccess());
    EXPECT_EQ(add(draft(u"x"_s)), RemindersConnectionState::failed(u"No default Reminders list is available."_s));
}
