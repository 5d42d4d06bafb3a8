#include "platform/calendar/CalendarStoreWork.h"
#include "platform/calendar/ICalendarReader.h"
#include "platform/calendar/TodoWriter.h"

#include "CalendarFixtures.h"
#include "FailingDevice.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QTimeZone berlin("Europe/Berlin");
const QString longUid =
    u"errand-0123456789-abcdefghijklmnopqrstuvwxyz-0123456789-abcdefghijklmnopqrstuvwxyz-ABCDEFGHIJ"_s;

const ReminderItem *find(const std::vector<ReminderItem> &todos, const QString &id)
{
    const auto it = std::find_if(todos.begin(), todos.end(), [&](const ReminderItem &t) { return t.id == id; });
    return it == todos.end() ? nullptr : &*it;
}

class CalendarStoreTodos : public ::testing::Test {
protected:
    void SetUp() override { test::copyCalendarFixture(u"todos"_s, root.path()); }
    QString path(const QString &relative) const { return root.filePath(relative); }

    QTemporaryDir root;
    const QDateTime now = QDateTime(QDate(2026, 3, 2), QTime(10, 15, 30), Qt::UTC);
};

} // namespace

TEST_F(CalendarStoreTodos, ListsOpenTodosWithTheirFields)
{
    const auto todos = loadOpenTodos(root.path(), berlin);
    QStringList ids;
    for (const ReminderItem &todo : todos)
        ids.push_back(todo.id);
    // Lists by name (errands, home), files by name; completed and cancelled ones are left out.
    EXPECT_EQ(ids, (QStringList{longUid, u"a4c2d2b8f1e94f4c8d0b7e1d2c3b4a59"_s, u"call-mom"_s, u"pay-rent"_s,
                                u"t-apple"_s, u"t-banana"_s, u"t-cherry"_s}));
    // A due day alone is its local midnight, without a time.
    const ReminderItem *milk = find(todos, u"a4c2d2b8f1e94f4c8d0b7e1d2c3b4a59"_s);
    EXPECT_EQ(milk->dueDate, QDateTime(QDate(2026, 3, 2), QTime(23, 0), Qt::UTC));
    EXPECT_FALSE(milk->includesTime);
    EXPECT_EQ(milk->priority, 5);
    EXPECT_FALSE(milk->isFlagged);
    const ReminderItem *call = find(todos, u"call-mom"_s);
    EXPECT_EQ(call->dueDate, QDateTime(QDate(2026, 3, 2), QTime(17, 0), Qt::UTC));
    EXPECT_TRUE(call->includesTime);
    EXPECT_TRUE(call->isFlagged);
    const ReminderItem *rent = find(todos, u"pay-rent"_s);
    EXPECT_EQ(rent->url, QUrl(u"https://bank.example.com/transfer"_s));
    EXPECT_EQ(rent->notes, u"Transfer to the landlord"_s);
    EXPECT_EQ(rent->priority, 9);
}

TEST_F(CalendarStoreTodos, ATodoWithoutTitleOrUsableAddressStillLists)
{
    ASSERT_TRUE(test::writeFile(path(u"home/bare.ics"_s), "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\n"
                                                            "UID:bare\r\nURL:  \r\nEND:VTODO\r\nEND:VCALENDAR\r\n"));
    const auto todos = loadOpenTodos(root.path(), berlin);
    const ReminderItem *bare = find(todos, u"bare"_s);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->title, u"Untitled"_s);
    EXPECT_EQ(bare->url, std::nullopt);
    EXPECT_EQ(bare->dueDate, std::nullopt);
}

TEST_F(CalendarStoreTodos, ComposedTodoParsesBackWithEveryField)
{
    NewTodo todo;
    todo.title = u"Renew passport, \"urgent\"; ask at desk"_s;
    todo.notes = u"Bring photos\nand the old one"_s;
    todo.url = u"https://example.com/passport?a=1"_s;
    todo.priority = 1;
    todo.isFlagged = true;
    todo.dueTime = QDateTime(QDate(2026, 3, 9), QTime(8, 30), Qt::UTC);
    todo.alarmAtDueTime = true;
    todo.createdAt = now;
    const QByteArray bytes = composeTodoFile(todo, u"new-uid"_s);

    // Another iCalendar reader takes it without complaint; ours reads every field back.
    const ICalComponentPtr parsed = parseICalendar(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(icalcomponent_count_errors(parsed.get()), 0);
    for (const char *line : {"DTSTAMP:20260302T101530Z\r\n", "CREATED:20260302T101530Z\r\n", "DUE:20260309T083000Z\r\n",
                             "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:20260309T083000Z\r\n"})
        EXPECT_TRUE(bytes.contains(line)) << line << bytes.constData();
    const ICalFile read = readICalendar(bytes);
    ASSERT_EQ(read.todos.size(), 1u);
    EXPECT_EQ(read.todos[0].uid, u"new-uid"_s);
    EXPECT_EQ(read.todos[0].summary, todo.title);
    EXPECT_EQ(read.todos[0].description, todo.notes);
    EXPECT_EQ(read.todos[0].url, todo.url);
    EXPECT_EQ(read.todos[0].priority, 1);
    EXPECT_TRUE(read.todos[0].flagged);
    EXPECT_FALSE(read.todos[0].completed);

    // A due day without a time is written as a date, without an alarm.
    todo.dueTime.reset();
    todo.dueDate = QDate(2026, 3, 10);
    todo.isFlagged = false;
    const QByteArray dated = composeTodoFile(todo, u"dated"_s);
    EXPECT_TRUE(dated.contains("DUE;VALUE=DATE:20260310\r\n")) << dated.constData();
    EXPECT_FALSE(dated.contains("VALARM"));
    EXPECT_FALSE(dated.contains("X-KOLU-FLAGGED"));
    const ICalFile readDated = readICalendar(dated);
    ASSERT_TRUE(readDated.todos[0].due);
    EXPECT_TRUE(readDated.todos[0].due->isDate());
}

TEST_F(CalendarStoreTodos, FindsATodoByUidWhateverItsFileIsCalled)
{
    ASSERT_EQ(writeTodoCompletion(root.path(), longUid, true, now).status, TodoWriteResult::Status::saved);
    EXPECT_TRUE(test::readFile(path(u"errands/nc-7F3A91.ics"_s)).contains("STATUS:COMPLETED"));
    EXPECT_EQ(writeTodoCompletion(root.path(), u"no-such-todo"_s, true, now).status, TodoWriteResult::Status::notFound);
    // An event with that UID is not a to-do.
    EXPECT_EQ(writeTodoCompletion(root.path(), u"event-only"_s, true, now).status, TodoWriteResult::Status::notFound);
}

TEST_F(CalendarStoreTodos, AFailedOrUnsafeWriteLeavesTheFileAsItWas)
{
    const QString file = path(u"home/call-mom.ics"_s);
    const QByteArray before = test::readFile(file);
    const auto failed = writeTodoCompletion(root.path(), u"call-mom"_s, true, now, test::failAfterBytes(40));
    EXPECT_EQ(failed.status, TodoWriteResult::Status::failed);
    EXPECT_FALSE(failed.message.isEmpty());
    EXPECT_EQ(test::readFile(file), before);

    // A file the parser had to skip parts of is not rewritten: it would lose them.
    const QByteArray damagedBytes = "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:damaged\r\nSUMMARY:Half\r\n"
                                    "DUE:notadate\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    ASSERT_TRUE(test::writeFile(path(u"home/damaged.ics"_s), damagedBytes));
    EXPECT_EQ(writeTodoCompletion(root.path(), u"damaged"_s, true, now).status, TodoWriteResult::Status::failed);
    EXPECT_EQ(test::readFile(path(u"home/damaged.ics"_s)), damagedBytes);

    NewTodo todo;
    todo.title = u"Never written"_s;
    todo.createdAt = now;
    const QStringList before2 = QDir(path(u"errands"_s)).entryList(QDir::Files);
    EXPECT_EQ(writeNewTodo(root.path(), std::nullopt, todo, test::failAfterBytes(10)).status,
              TodoWriteResult::Status::failed);
    EXPECT_EQ(QDir(path(u"errands"_s)).entryList(QDir::Files), before2);
}

TEST_F(CalendarStoreTodos, ChoosesTheDefaultList)
{
    // The first list by name holding to-dos; "appointments" holds only events.
    EXPECT_EQ(defaultTodoListPath(root.path(), std::nullopt), QFileInfo(path(u"errands"_s)).canonicalFilePath());
    EXPECT_EQ(defaultTodoListPath(root.path(), u"home"_s), QFileInfo(path(u"home"_s)).canonicalFilePath());
    EXPECT_EQ(defaultTodoListPath(root.path(), u"gone"_s), QFileInfo(path(u"errands"_s)).canonicalFilePath());

    QTemporaryDir eventsOnly;
    test::copyCalendarFixture(u"todos/appointments"_s, eventsOnly.filePath(u"appointments"_s));
    EXPECT_EQ(defaultTodoListPath(eventsOnly.path(), std::nullopt),
              QFileInfo(eventsOnly.filePath(u"appointments"_s)).canonicalFilePath());
    QTemporaryDir empty;
    EXPECT_EQ(defaultTodoListPath(empty.path(), std::nullopt), std::nullopt);
    NewTodo todo;
    todo.title = u"x"_s;
    EXPECT_EQ(writeNewTodo(empty.path(), std::nullopt, todo).status, TodoWriteResult::Status::noList);
}
