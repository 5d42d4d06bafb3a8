#include "services/calendar/RemindersService.h"

#include "model/FilePath.h"
#include "model/UserDefaults.h"
#include "platform/calendar/ICalendarReader.h"
#include "platform/calendar/VdirCalendarStore.h"

#include "../ServiceTests.h"
#include "CalendarFixtures.h"
#include "PermissionsBind.h"

using namespace kolu;
using test::march;

namespace {

QStringList titles(const std::vector<ReminderItem> &items)
{
    return test::each(items, &ReminderItem::title);
}

struct RemindersServiceTest : ::testing::Test {
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
        const auto files = [&] { return QDir(root.filePath(list)).entryList({u"*.ics"_s}, QDir::Files); };
        const QStringList before = files();
        EXPECT_EQ(add(draft), RemindersConnectionState::ready());
        QStringList after = files();
        after.removeIf([&](const QString &name) { return before.contains(name); });
        EXPECT_EQ(after.size(), 1);
        const auto todos = readICalendar(test::readFile(root.filePath(QString(list + u'/' + after.value(0))))).todos;
        return todos.size() == 1 ? todos.front() : ICalTodo{};
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

TEST_F(RemindersServiceTest, ListsCompletesAndReopensDatedRemindersFirstOrAnswersDeniedOrFailed)
{
    EXPECT_EQ(fetch().first, RemindersConnectionState::ready());
    EXPECT_EQ(titles(fetch().second), (QStringList{u"Pay rent"_s, u"Call mom"_s, u"Buy milk"_s, u"Return parcel"_s,
                                                   u"apple"_s, u"Banana"_s, u"cherry"_s}));
    // The fields are the store's to read (tested with it).
    EXPECT_EQ(titles(fetch(3).second), (QStringList{u"Pay rent"_s, u"Call mom"_s, u"Buy milk"_s}));
    EXPECT_TRUE(fetch(-1).second.empty());

    EXPECT_EQ(complete(u"call-mom"_s, true), RemindersConnectionState::ready());
    EXPECT_FALSE(titles(fetch().second).contains(u"Call mom"_s));
    EXPECT_EQ(complete(u"call-mom"_s, false), RemindersConnectionState::ready());
    EXPECT_TRUE(titles(fetch().second).contains(u"Call mom"_s));
    EXPECT_EQ(complete(u"nope"_s, true), RemindersConnectionState::failed(u"Reminder could not be found."_s));

    // Dated first, whatever the input order; a tie keeps its input order.
    std::vector<ReminderItem> sorted(4);
    for (int i = 0; i < 4; ++i)
        sorted[i].id = QStringList{u"a"_s, u"b"_s, u"c"_s, u"tie"_s}[i];
    sorted[1].dueDate = march(1, 9);
    sorted[2].dueDate = sorted[3].dueDate = march(1, 8);
    RemindersService::sortForDisplay(sorted);
    EXPECT_EQ(test::each(sorted, &ReminderItem::id), (QStringList{u"c"_s, u"tie"_s, u"b"_s, u"a"_s}));

    // An empty title is answered at once, whatever the access.
    defaults.set(SettingsKey::remindersFolderPath, root.filePath(u"missing"_s));
    EXPECT_EQ(add({u"  "_s, {}, {}, {}}), RemindersConnectionState::ready());
    EXPECT_FALSE(store.hasReminderAccess());
    EXPECT_EQ(fetch(), std::pair(RemindersConnectionState::denied(), std::vector<ReminderItem>{}));
    EXPECT_EQ(add({u"x"_s, {}, {}, {}}), RemindersConnectionState::denied());
    EXPECT_EQ(complete(u"call-mom"_s, true), RemindersConnectionState::denied());

    // A folder just made for to-dos gets a list with the first one, which
    // later ones join, and lists them.
    QTemporaryDir empty;
    defaults.set(SettingsKey::remindersFolderPath, empty.path());
    EXPECT_TRUE(store.hasReminderAccess());
    EXPECT_EQ(add({u"Water plants"_s, {}, {}, {}}), RemindersConnectionState::ready());
    EXPECT_EQ(add({u"Call mom"_s, {}, {}, {}}), RemindersConnectionState::ready());
    EXPECT_EQ(QDir(empty.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{u"reminders"_s});
    EXPECT_EQ(QDir(empty.filePath(u"reminders"_s)).entryList({u"*.ics"_s}).size(), 2);
    EXPECT_EQ(test::readFile(empty.filePath(u"reminders/displayname"_s)), "Reminders");
    EXPECT_EQ(titles(fetch().second), (QStringList{u"Call mom"_s, u"Water plants"_s}));
}

TEST_F(RemindersServiceTest, AddsRemindersThatReadBackADraftWithoutDateIgnoringTheTimeInTheChosenList)
{
    // Title, notes, link, due moment (its seconds are dropped), date and time set, priority, flag.
    const ICalTodo todo = added({u"  Renew passport \n"_s, u"   "_s, u"example.com/passport"_s,
                                 march(9, 8, 30).addSecs(42), true, true, 5, true},
                                u"errands"_s);
    EXPECT_EQ(std::tuple(todo.summary, todo.description, todo.url, todo.priority, todo.flagged),
              std::tuple(u"Renew passport"_s, std::optional<QString>(),
                         std::optional(u"https://example.com/passport"_s), 5, true));
    EXPECT_EQ(momentOf(todo.due.value(), berlin), march(9, 8, 30));
    EXPECT_EQ(RemindersService::normalizedURL(u"mailto:a@example.com"_s), QUrl(u"mailto:a@example.com"_s));

    // A draft without a date ignores the time and goes to the chosen list.
    defaults.set(SettingsKey::remindersDefaultListName, u"home"_s);
    const ICalTodo undated =
        added({u"Water plants"_s, u"Balcony too"_s, u"example page"_s, march(9, 8), false, true}, u"home"_s);
    EXPECT_FALSE(undated.due.has_value() || undated.url.has_value());
    EXPECT_EQ(undated.description, u"Balcony too"_s);

    // A date without a time is a due day in the local zone.
    const ICalTodo dated = added({u"Dated"_s, {}, {}, march(9, 23, 30), true}, u"home"_s);
    EXPECT_TRUE(dated.due.value().isDate());
    EXPECT_EQ(dated.due->date(), QDate(2026, 3, 10)); // already 10 March in Berlin
}

// A folder that can only be read is read like any other: its reminders are
// listed. A save it refuses says which list, or which folder, refused it.
TEST_F(RemindersServiceTest, AReadOnlyFolderListsItsRemindersAndASaveItRefusesNamesTheListOrFolder)
{
    test::runWherePermissionsBind({root.path(), config.path()}, [&] {
        const QStringList lists{u"appointments"_s, u"errands"_s, u"home"_s};
        const QStringList open{u"Pay rent"_s, u"Call mom"_s, u"Buy milk"_s, u"Return parcel"_s,
                               u"apple"_s,    u"Banana"_s,   u"cherry"_s};
        // Only the folder itself is read-only: its lists still take new reminders.
        test::setMode(root.path(), 0555);
        EXPECT_TRUE(store.hasReminderAccess());
        EXPECT_EQ(fetch().first, RemindersConnectionState::ready());
        EXPECT_EQ(titles(fetch().second), open);
        EXPECT_EQ(add({u"Water plants"_s, {}, {}, {}}), RemindersConnectionState::ready());

        for (const QString &list : lists)
            test::setMode(root.filePath(list), 0555);
        const QStringList before = QDir(root.filePath(u"errands"_s)).entryList(QDir::Files);
        EXPECT_EQ(titles(fetch().second), open + QStringList{u"Water plants"_s});
        EXPECT_EQ(add({u"Call the plumber"_s, {}, {}, {}}),
                  RemindersConnectionState::failed(u"Not saved: the list “errands” is read-only."_s));
        EXPECT_EQ(QDir(root.filePath(u"errands"_s)).entryList(QDir::Files), before);
        EXPECT_EQ(complete(u"call-mom"_s, true),
                  RemindersConnectionState::failed(u"Not saved: the list “home” is read-only."_s));
        EXPECT_TRUE(titles(fetch().second).contains(u"Call mom"_s));

        // A read-only folder without any list has nowhere to put one.
        const QString empty = config.filePath(u"empty"_s);
        ASSERT_TRUE(QDir().mkpath(empty));
        test::setMode(empty, 0555);
        defaults.set(SettingsKey::remindersFolderPath, empty);
        EXPECT_TRUE(store.hasReminderAccess());
        EXPECT_EQ(fetch(), std::pair(RemindersConnectionState::ready(), std::vector<ReminderItem>{}));
        EXPECT_EQ(add({u"Call the plumber"_s, {}, {}, {}}),
                  RemindersConnectionState::failed(u"Not saved: “%1” is read-only and holds no list to add to."_s.arg(
                      homeRelativePath(empty, QDir::homePath()))));
        EXPECT_TRUE(QDir(empty).isEmpty());

        for (const QString &folder : QStringList{root.path(), empty} + lists)
            test::setMode(folder.startsWith(u'/') ? folder : root.filePath(folder), 0755);
    });
}
