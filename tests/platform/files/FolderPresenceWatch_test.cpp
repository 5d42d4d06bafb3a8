#include "model/UserDefaults.h"
#include "platform/files/FolderPresenceWatch.h"
#include "platform/calendar/VdirCalendarStore.h"
#include "platform/notes/LocalNoteStore.h"
#include "platform/system/ProcessRunner.h"

#include "CalendarFixtures.h"
#include "EventWait.h"
#include "RecordingProcessRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

TEST(FolderPresenceWatch, AFolderMovedAwayAndBackOrMadeLaterIsReportedEachTime)
{
    QTemporaryDir home;
    const QString tasks = home.filePath(u"tasks"_s);
    const QString later = home.filePath(u"later/calendars"_s);
    ASSERT_TRUE(QDir().mkpath(tasks));
    FolderPresenceWatch watch;
    watch.setFolders({tasks, later});
    QSignalSpy changes(&watch, &FolderPresenceWatch::changed);
    const auto reported = [&] {
        const bool any = test::waitUntil([&] { return changes.count() > 0; });
        changes.clear();
        return any;
    };

    ASSERT_TRUE(QDir().rename(tasks, home.filePath(u"away"_s)));
    EXPECT_TRUE(reported()) << "moved away";
    ASSERT_TRUE(QDir().rename(home.filePath(u"away"_s), tasks));
    EXPECT_TRUE(reported()) << "moved back";
    test::writeFile(QDir(tasks).filePath(u"list.ics"_s));
    EXPECT_TRUE(reported()) << "an entry added, once back";

    ASSERT_TRUE(QDir(tasks).removeRecursively());
    EXPECT_TRUE(reported()) << "removed";
    ASSERT_TRUE(QDir().mkpath(tasks));
    EXPECT_TRUE(reported()) << "made again";

    // A folder whose parent is missing too.
    ASSERT_TRUE(QDir().mkpath(later));
    EXPECT_TRUE(reported()) << "made with its parent";
}

// A rename tells nothing in the folder renamed: only the folder above it
// knows, and it is watched for that one name.
TEST(FolderPresenceWatch, AFolderOrOneAboveItRenamedEitherWayIsReportedAndNothingElseNearby)
{
    QTemporaryDir home;
    const QString outer = home.filePath(u"outer"_s);
    const QString tasks = home.filePath(u"outer/tasks"_s);
    ASSERT_TRUE(QDir().mkpath(QDir(tasks).filePath(u"list"_s)));
    FolderPresenceWatch watch;
    watch.setFolders({tasks});
    QSignalSpy changes(&watch, &FolderPresenceWatch::changed);
    const auto reported = [&] {
        const bool any = test::waitUntil([&] { return changes.count() > 0; });
        changes.clear();
        return any;
    };
    const auto rename = [](const QString &from, const QString &to) { return QDir().rename(from, to); };

    ASSERT_TRUE(rename(tasks, home.filePath(u"outer/away"_s)));
    EXPECT_TRUE(reported()) << "moved away";
    ASSERT_TRUE(rename(home.filePath(u"outer/away"_s), tasks));
    EXPECT_TRUE(reported()) << "moved back";
    ASSERT_TRUE(rename(outer, home.filePath(u"elsewhere"_s)));
    EXPECT_TRUE(reported()) << "the folder above moved away";
    ASSERT_TRUE(rename(home.filePath(u"elsewhere"_s), outer));
    EXPECT_TRUE(reported()) << "the folder above moved back";

    // Moved away and another put in its place: the one there now is watched.
    ASSERT_TRUE(rename(tasks, home.filePath(u"outer/old"_s)));
    ASSERT_TRUE(QDir().mkpath(tasks));
    EXPECT_TRUE(reported()) << "replaced";
    ASSERT_TRUE(QDir().mkpath(QDir(tasks).filePath(u"inner"_s)));
    EXPECT_TRUE(reported()) << "an entry added to the new one";

    // Neighbours made, renamed and removed beside the folder and above it,
    // files deeper in it, and the one it replaced, are none of its business.
    const qint64 ignoredBefore = watch.ignoredCount();
    ASSERT_TRUE(QDir().mkpath(home.filePath(u"outer/neighbour"_s)));
    ASSERT_TRUE(rename(home.filePath(u"outer/neighbour"_s), home.filePath(u"outer/neighbours"_s)));
    ASSERT_TRUE(QDir().rmdir(home.filePath(u"outer/neighbours"_s)));
    test::writeFile(home.filePath(u"notes.txt"_s));
    test::writeFile(QDir(tasks).filePath(u"inner/deeper.ics"_s));
    test::writeFile(home.filePath(u"outer/old/list/item.ics"_s));
    ASSERT_TRUE(test::waitUntil([&] { return watch.ignoredCount() >= ignoredBefore + 5; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(changes.count(), 0);
}

TEST(FolderPresenceWatch, StoresReportTheirFoldersComingBackWithoutARefresh)
{
    QTemporaryDir home;
    UserDefaults defaults(home.filePath(u"defaults.json"_s));
    const QString todos = home.filePath(u"todos"_s);
    defaults.set(SettingsKey::remindersFolderPath, todos);
    VdirCalendarStore store(defaults, home.path());
    int storeChanges = 0;
    store.setOnFolderChange([&] { ++storeChanges; });
    // The folder is missing when access is looked at, as after a move away.
    EXPECT_FALSE(store.hasReminderAccess());
    ASSERT_TRUE(QDir().mkpath(QDir(todos).filePath(u"tasks"_s)));
    EXPECT_TRUE(test::waitUntil([&] { return storeChanges > 0; }));
    EXPECT_TRUE(store.hasReminderAccess());
    // Renamed away and back, the folder itself and the one above it.
    for (const QString &moved : {todos, home.path()}) {
        const QString away = moved + u"-away"_s;
        storeChanges = 0;
        ASSERT_TRUE(QDir().rename(moved, away));
        EXPECT_TRUE(test::waitUntil([&] { return storeChanges > 0; })) << qPrintable(moved);
        EXPECT_FALSE(store.hasReminderAccess());
        storeChanges = 0;
        ASSERT_TRUE(QDir().rename(away, moved));
        EXPECT_TRUE(test::waitUntil([&] { return storeChanges > 0; })) << qPrintable(moved);
        EXPECT_TRUE(store.hasReminderAccess());
    }

    const QString notesFolder = home.filePath(u"Notes"_s);
    test::RecordingProcessRunner runner;
    LocalNoteStore notes(LocalNoteStore::rootsFor(notesFolder, home.path()), runner);
    int noteChanges = 0;
    notes.setOnFolderChange([&] { ++noteChanges; });
    ASSERT_TRUE(QDir().mkpath(notesFolder));
    EXPECT_TRUE(test::waitUntil([&] { return noteChanges > 0; }));
}
