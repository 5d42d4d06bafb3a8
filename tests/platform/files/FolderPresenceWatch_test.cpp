#include "model/UserDefaults.h"
#include "platform/calendar/FolderPresenceWatch.h"
#include "platform/calendar/VdirCalendarStore.h"
#include "platform/notes/LocalNoteStore.h"
#include "platform/system/ProcessRunner.h"

#include "CalendarFixtures.h"
#include "EventWait.h"
#include "RecordingProcessRunner.h"

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

    const QString notesFolder = home.filePath(u"Notes"_s);
    test::RecordingProcessRunner runner;
    LocalNoteStore notes(LocalNoteStore::rootsFor(notesFolder, home.path()), runner);
    int noteChanges = 0;
    notes.setOnFolderChange([&] { ++noteChanges; });
    ASSERT_TRUE(QDir().mkpath(notesFolder));
    EXPECT_TRUE(test::waitUntil([&] { return noteChanges > 0; }));
}
