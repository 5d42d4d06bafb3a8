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

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const StoredTodo *find(const std::vector<StoredTodo> &todos, const QString &id)
{
    const auto it = std::find_if(todos.begin(), todos.end(), [&](const StoredTodo &t) { return t.id == id; });
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
    for (const StoredTodo &todo : todos)
        ids.push_back(todo.id);
    // Lists by name (errands, home), files by name; completed and cancelled ones are left out.
    EXPECT_EQ(ids, (QStringList{longUid, u"a4c2d2b8f1e94f4c8d0b7e1d2c3b4a59"_s, u"call-mom"_s, u"pay-rent"_s,
                                u"t-apple"_s, u"t-banana"_s, u"t-cherry"_s}));
    const StoredTodo *milk = find(todos, u"a4c2d2b8f1e94f4c8d0b7e1d2c3b4a59"_s);
    EXPECT_EQ(milk->dueDate, QDate(2026, 3, 3));
    EXPECT_EQ(milk->dueTime, std::nullopt);
    EXPECT_EQ(milk->priority, 5);
    EXPECT_FALSE(milk->isFlagged);
    const StoredTodo *call = find(todos, u"call-mom"_s);
    EXPECT_EQ(call->dueTime, QDateTime(QDate(2026, 3, 2), QTime(17, 0), Qt::UTC));
    EXPECT_TRUE(call->isFlagged);
    const StoredTodo *rent = find(todos, u"pay-rent"_s);
    EXPECT_EQ(rent->url, u"https://bank.example.com/transfer"_s);
    EXPECT_EQ(rent->notes, u"Transfer to the landlord"_s);
    EXPECT_EQ(rent->priority, 9);
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

    const ICalComponentPtr root = parseICalendar(bytes);
    ASSERT_TRUE(root);
    EXPECT_EQ(icalcomponent_count_errors(root.get()), 0);
    const auto items = itemComponents(root.get(), ICAL_VTODO_COMPONENT);
    ASSERT_EQ(items.size(), 1u);
    icalcomponent *item = items[0];
    EXPECT_STREQ(icalcomponent_get_uid(item), "new-uid");
    EXPECT_EQ(icaltime_as_timet(icalcomponent_get_dtstamp(item)), now.toSecsSinceEpoch());
    EXPECT_EQ(icaltime_as_timet(icalproperty_get_created(icalcomponent_get_first_property(item, ICAL_CREATED_PROPERTY))),
              now.toSecsSinceEpoch());
    EXPECT_EQ(QString::fromUtf8(icalcomponent_get_summary(item)), todo.title);
    EXPECT_EQ(QString::fromUtf8(icalcomponent_get_description(item)), *todo.notes);
    const icaltimetype due = icalproperty_get_due(icalcomponent_get_first_property(item, ICAL_DUE_PROPERTY));
    EXPECT_TRUE(icaltime_is_utc(due));
    EXPECT_EQ(icaltime_as_timet(due), todo.dueTime->toSecsSinceEpoch());
    icalcomponent *alarm = icalcomponent_get_first_component(item, ICAL_VALARM_COMPONENT);
    ASSERT_TRUE(alarm);
    EXPECT_EQ(icalproperty_get_action(icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY)),
              ICAL_ACTION_DISPLAY);
    const icaltriggertype trigger =
        icalproperty_get_trigger(icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY));
    EXPECT_EQ(icaltime_as_timet(trigger.time), todo.dueTime->toSecsSinceEpoch());

    // Our own reader reads the flag and the open state back.
    const ICalFile read = readICalendar(bytes);
    ASSERT_EQ(read.todos.size(), 1u);
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
    EXPECT_TRUE(contentOf(path(u"errands/nc-7F3A91.ics"_s)).contains("STATUS:COMPLETED"));
    EXPECT_EQ(writeTodoCompletion(root.path(), u"no-such-todo"_s, true, now).status, TodoWriteResult::Status::notFound);
    // An event with that UID is not a to-do.
    EXPECT_EQ(writeTodoCompletion(root.path(), u"event-only"_s, true, now).status, TodoWriteResult::Status::notFound);
}

TEST_F(CalendarStoreTodos, AFailedOrUnsafeWriteLeavesTheFileAsItWas)
{
    const QString file = path(u"home/call-mom.ics"_s);
    const QByteArray before = contentOf(file);
    const auto failed = writeTodoCompletion(root.path(), u"call-mom"_s, true, now, test::failAfterBytes(40));
    EXPECT_EQ(failed.status, TodoWriteResult::Status::failed);
    EXPECT_FALSE(failed.message.isEmpty());
    EXPECT_EQ(contentOf(file), before);

    // A file the parser had to skip parts of is not rewritten: it would lose them.
    QFile damaged(path(u"home/damaged.ics"_s));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    const QByteArray damagedBytes = "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:damaged\r\nSUMMARY:Half\r\n"
                                    "DUE:notadate\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    damaged.write(damagedBytes);
    damaged.close();
    EXPECT_EQ(writeTodoCompletion(root.path(), u"damaged"_s, true, now).status, TodoWriteResult::Status::failed);
    EXPECT_EQ(contentOf(damaged.fileName()), damagedBytes);

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
