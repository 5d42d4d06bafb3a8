#include "model/UserDefaults.h"
#include "platform/calendar/CalendarStoreWork.h"
#include "platform/calendar/ICalendarReader.h"
#include "platform/calendar/TodoWriter.h"
#include "platform/calendar/VdirCalendarStore.h"

#include "AwaitTask.h"
#include "CalendarFixtures.h"
#include "FailingDevice.h"
#include "LogCapture.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThreadPool>

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
    std::transform(todos.begin(), todos.end(), std::back_inserter(ids), [](const auto &todo) { return todo.id; });
    // Lists by name (errands, home), files by name; completed and cancelled ones are left out.
    EXPECT_EQ(ids, (QStringList{longUid, u"a4c2d2b8f1e94f4c8d0b7e1d2c3b4a59"_s, u"call-mom"_s, u"pay-rent"_s,
                                u"t-apple"_s, u"t-banana"_s, u"t-cherry"_s}));
    // A due day alone is its local midnight, without a time.
    const ReminderItem *milk = find(todos, u"a4c2d2b8f1e94f4c8d0b7e1d2c3b4a59"_s);
    const ReminderItem *call = find(todos, u"call-mom"_s);
    const ReminderItem *rent = find(todos, u"pay-rent"_s);
    ASSERT_TRUE(milk && call && rent);
    EXPECT_EQ(std::tuple(milk->dueDate, milk->includesTime, milk->priority, milk->isFlagged),
              std::tuple(QDateTime(QDate(2026, 3, 2), QTime(23, 0), Qt::UTC), false, 5, false));
    EXPECT_EQ(std::tuple(call->dueDate, call->includesTime, call->isFlagged),
              std::tuple(QDateTime(QDate(2026, 3, 2), QTime(17, 0), Qt::UTC), true, true));
    EXPECT_EQ(std::tuple(rent->url, rent->notes, rent->priority),
              std::tuple(QUrl(u"https://bank.example.com/transfer"_s), u"Transfer to the landlord"_s, 9));
}

TEST_F(CalendarStoreTodos, ATodoWithoutTitleOrUsableAddressStillLists)
{
    ASSERT_TRUE(test::writeFile(path(u"home/bare.ics"_s), test::icsWith("VTODO", "UID:bare\r\nURL:  \r\n")));
    const auto todos = loadOpenTodos(root.path(), berlin);
    const ReminderItem *bare = find(todos, u"bare"_s);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->title, u"Untitled"_s);
    EXPECT_FALSE(bare->url || bare->dueDate);
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
    const auto &back = read.todos[0];
    EXPECT_EQ(
        std::tuple(back.uid, back.summary, back.description, back.url, back.priority, back.flagged, back.completed),
        std::tuple(u"new-uid"_s, todo.title, todo.notes, todo.url, 1, true, false));

    // A due day without a time is written as a date, without an alarm.
    todo.dueTime.reset();
    todo.dueDate = QDate(2026, 3, 10);
    todo.isFlagged = false;
    const QByteArray dated = composeTodoFile(todo, u"dated"_s);
    EXPECT_TRUE(dated.contains("DUE;VALUE=DATE:20260310\r\n")) << dated.constData();
    EXPECT_FALSE(dated.contains("VALARM"));
    EXPECT_FALSE(dated.contains("X-KOLU-FLAGGED"));
    EXPECT_TRUE(readICalendar(dated).todos.at(0).due.value().isDate());
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

    // Another program that saves the file again every time ours is written
    // wins, and the completion says it gave up.
    QByteArray theirs;
    int saves = 0;
    const auto rewrite = [&] {
        theirs = QByteArray(before).replace("BEGIN:VTODO",
                                            QByteArray("BEGIN:VTODO\r\nX-SAVE:" + QByteArray::number(++saves)));
        ASSERT_TRUE(test::writeFile(file, theirs));
    };
    const auto busy = writeTodoCompletion(root.path(), u"call-mom"_s, true, now, [&](QIODevice *target) {
        return std::make_unique<test::FailingDevice>(target, qint64(1) << 30, rewrite);
    });
    EXPECT_EQ(std::pair(busy.status, busy.message),
              std::pair(TodoWriteResult::Status::failed, u"Not saved: it kept changing."_s));
    EXPECT_EQ(test::readFile(file), theirs);

    // A file the parser had to skip parts of is not rewritten: it would lose them.
    const QByteArray damagedBytes = test::icsWith("VTODO", "UID:damaged\r\nSUMMARY:Half\r\nDUE:notadate\r\n");
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
    // A root without lists gets one named after the preferred list, when
    // that is a plain name, with the first to-do.
    QTemporaryDir empty;
    EXPECT_EQ(defaultTodoListPath(empty.path(), std::nullopt), std::nullopt);
    NewTodo todo;
    todo.title = u"x"_s;
    EXPECT_EQ(writeNewTodo(empty.path(), u"Errands"_s, todo).status, TodoWriteResult::Status::saved);
    EXPECT_EQ(defaultTodoListPath(empty.path(), std::nullopt),
              QFileInfo(empty.filePath(u"Errands"_s)).canonicalFilePath());
    EXPECT_EQ(test::readFile(empty.filePath(u"Errands/displayname"_s)), "Errands");
    // A link at the new list's name is not followed out of the root.
    QTemporaryDir linked;
    ASSERT_TRUE(QFile::link(root.path(), linked.filePath(u"reminders"_s)));
    EXPECT_EQ(writeNewTodo(linked.path(), u"../x"_s, todo).status, TodoWriteResult::Status::noList);
    EXPECT_TRUE(QDir(root.path()).entryList({u"*.ics"_s}, QDir::Files).isEmpty());
}

// A burst of refreshes, as a folder deleted and copied back gives, on a pool
// of two workers: a read waiting for another would hold a worker, and the
// parsing of the one it waits for needs one too. With the calendar and the
// to-dos in two folders, two reads hold both workers at once, and their
// parsing must still go on.
TEST_F(CalendarStoreTodos, ABurstOfReadsOnTwoWorkersEndsReadingTheFilesOnceMoreForEachKind)
{
    QThreadPool *pool = QThreadPool::globalInstance();
    const auto restore = qScopeGuard([pool, threads = pool->maxThreadCount()] { pool->setMaxThreadCount(threads); });
    pool->setMaxThreadCount(2);
    QTemporaryDir otherRoot;
    test::copyCalendarFixture(u"todos"_s, otherRoot.path());
    for (const QString &todosRoot : {root.path(), otherRoot.path()}) {
        SCOPED_TRACE(todosRoot == root.path() ? "one folder" : "two folders");
        QTemporaryDir home;
        UserDefaults defaults(home.filePath(u"defaults.json"_s));
        defaults.set(SettingsKey::calendarFolderPath, root.path());
        defaults.set(SettingsKey::remindersFolderPath, todosRoot);
        VdirCalendarStore store(defaults, home.path(), berlin);

        std::vector<test::TaskProbe<std::vector<ReminderItem>>> todoReads;
        std::vector<test::TaskProbe<StoredEventList>> eventReads;
        for (int i = 0; i < 8; ++i) {
            todoReads.push_back(test::startTask(store.openTodos()));
            eventReads.push_back(test::startTask(store.events(now, now.addDays(7))));
        }
        for (auto &read : todoReads)
            EXPECT_EQ(read.wait().size(), 7u);
        for (auto &read : eventReads)
            EXPECT_NE(read.wait(), nullptr);
        // The first read of each folder, then one for each kind asked for
        // while it ran.
        EXPECT_EQ(store.startedReadCount(), todosRoot == root.path() ? 3 : 4);
        // Nothing is left waiting for ever: the program could quit.
        EXPECT_TRUE(pool->waitForDone(10000));
    }
}

// The calendar and the to-dos are read by two stores, usually of one folder.
TEST_F(CalendarStoreTodos, StoresOfOneFolderParseItsFilesAndNameASkippedOneOnceForAll)
{
    const QString broken = path(u"home/broken.ics"_s);
    ASSERT_TRUE(test::writeFile(broken, "not a calendar"));
    QTemporaryDir home;
    UserDefaults defaults(home.filePath(u"defaults.json"_s));
    defaults.set(SettingsKey::calendarFolderPath, root.path());
    defaults.set(SettingsKey::remindersFolderPath, root.path());
    const auto roots = std::make_shared<SharedCalendarRoots>();
    VdirCalendarStore calendar(defaults, home.path(), berlin, roots);
    VdirCalendarStore reminders(defaults, home.path(), berlin, roots);
    // A store given no shared roots parses on its own, and says so on its own.
    VdirCalendarStore apart(defaults, home.path(), berlin);
    test::LogCapture log;
    for (int read = 0; read < 2; ++read) {
        EXPECT_NE(test::awaitTask(calendar.events(now, now.addDays(7))), nullptr);
        EXPECT_EQ(test::awaitTask(reminders.openTodos()).size(), 7u);
    }
    EXPECT_EQ(log.warningsWith(broken).size(), 1);
    EXPECT_EQ(test::awaitTask(apart.openTodos()).size(), 7u);
    EXPECT_EQ(log.warningsWith(broken).size(), 2);
}
