#include "model/UserDefaults.h"
#include "platform/files/FolderPresenceWatch.h"
#include "platform/calendar/VdirCalendarStore.h"
#include "platform/notes/LocalNoteStore.h"
#include "platform/system/ProcessRunner.h"

#include "CalendarFixtures.h"
#include "EventWait.h"
#include "InotifyLeft.h"
#include "ManualClock.h"
#include "RecordingProcessRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>

using namespace kolu;
using namespace Qt::StringLiterals;

TEST(FolderPresenceWatch, AFolderMovedAwayAndBackOrMadeLaterIsReportedEachTime)
{
    ASSERT_TRUE(test::inotifyLeft());
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
    ASSERT_TRUE(test::inotifyLeft());
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

// The kernel refuses an instance, or a single watch, when this user's are
// all in use. It is asked again after a while, longer each time, and on a
// refresh; once watching, a change is reported, as the folder may have moved
// meanwhile. No timer runs once it watches.
TEST(FolderPresenceWatch, AWatchTheKernelRefusedIsAskedForAgainUntilItStarts)
{
    ASSERT_TRUE(test::inotifyLeft());
    QTemporaryDir home;
    const QString tasks = home.filePath(u"tasks"_s);
    ASSERT_TRUE(QDir().mkpath(tasks));
    test::ManualClock clock;
    int refusals = 3;
    int asked = 0;
    FolderPresenceWatch watch(clock, [&] {
        ++asked;
        if (refusals-- > 0) {
            errno = EMFILE;
            return -1;
        }
        return InotifyChannel::openInstance();
    });
    QSignalSpy changes(&watch, &FolderPresenceWatch::changed);
    watch.setFolders({tasks}); // a refresh asks too
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(watch.isWatching());
    clock.advance(FolderPresenceWatch::kFirstRetry);
    EXPECT_EQ(asked, 3);
    clock.advance(FolderPresenceWatch::kFirstRetry); // waits twice as long now
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(changes.count(), 0);
    clock.advance(FolderPresenceWatch::kFirstRetry);
    EXPECT_EQ(asked, 4);
    ASSERT_TRUE(watch.isWatching());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(clock.activeTimerCount(), 0);

    changes.clear();
    ASSERT_TRUE(QDir().rename(tasks, home.filePath(u"away"_s)));
    EXPECT_TRUE(test::waitUntil([&] { return changes.count() > 0; }));

    // One watch refused, the instance given: asked for again the same way
    // (a folder not to be read is no refusal), and once given, its changes
    // are reported.
    const QString notes = home.filePath(u"notes"_s), closed = home.filePath(u"closed"_s);
    ASSERT_TRUE(QDir().mkpath(notes));
    ASSERT_TRUE(QDir().mkpath(closed));
    int watchRefusals = 2;
    FolderPresenceWatch partly(clock, {}, [&](int fd, const char *path, uint32_t mask) {
        const QString folder = QFile::decodeName(path);
        if ((folder == notes && watchRefusals-- > 0) || folder == closed) {
            errno = folder == closed ? EACCES : ENOSPC;
            return -1;
        }
        return InotifyChannel::addWatch(fd, path, mask);
    });
    QSignalSpy partlyChanges(&partly, &FolderPresenceWatch::changed);
    partly.setFolders({closed});
    EXPECT_TRUE(partly.isWatching());
    EXPECT_EQ(clock.activeTimerCount(), 0);
    partly.setFolders({closed, notes});
    EXPECT_FALSE(partly.isWatching());
    clock.advance(FolderPresenceWatch::kFirstRetry);
    EXPECT_FALSE(partly.isWatching());
    clock.advance(FolderPresenceWatch::kFirstRetry); // waits twice as long now
    EXPECT_EQ(watchRefusals, 0);
    EXPECT_EQ(partlyChanges.count(), 0);
    clock.advance(FolderPresenceWatch::kFirstRetry);
    ASSERT_TRUE(partly.isWatching());
    EXPECT_EQ(partlyChanges.count(), 1);
    EXPECT_EQ(clock.activeTimerCount(), 0);
    partlyChanges.clear();
    ASSERT_TRUE(test::writeFile(QDir(notes).filePath(u"groceries.md"_s)));
    EXPECT_TRUE(test::waitUntil([&] { return partlyChanges.count() > 0; }));

    // The wait between two asks grows to a bound and stays there.
    int refusedAsks = 0;
    FolderPresenceWatch refused(clock, [&] {
        ++refusedAsks;
        errno = EMFILE;
        return -1;
    });
    clock.advance(std::chrono::minutes(2));
    const int before = refusedAsks;
    clock.advance(5 * FolderPresenceWatch::kLongestRetry);
    EXPECT_EQ(refusedAsks, before + 5);
}

TEST(FolderPresenceWatch, StoresReportTheirFoldersComingBackWithoutARefresh)
{
    ASSERT_TRUE(test::inotifyLeft());
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

// Folders reached through links are followed along the whole way the links
// lead: the folder the link names, and each folder on the way to it, moved
// away and back, and a link pointed elsewhere, show without a refresh.
TEST(FolderPresenceWatch, StoresFollowFoldersReachedThroughLinksAlongTheWholeWay)
{
    ASSERT_TRUE(test::inotifyLeft());
    QTemporaryDir home;
    const auto at = [&](const QString &relative) { return home.filePath(relative); };
    for (const QString &folder :
         {u"real/todo/tasks"_s, u"real/calendars/work"_s, u"real/Notes"_s, u"links"_s, u"other/todo/tasks"_s})
        ASSERT_TRUE(QDir().mkpath(at(folder)));
    // Relative, absolute, and a link to a link.
    ASSERT_EQ(::symlink("../real/todo", QFile::encodeName(at(u"links/todo"_s)).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(at(u"real/calendars"_s)).constData(),
                        QFile::encodeName(at(u"links/calendars"_s)).constData()),
              0);
    ASSERT_EQ(::symlink("../real", QFile::encodeName(at(u"links/real"_s)).constData()), 0);
    ASSERT_EQ(::symlink("real/Notes", QFile::encodeName(at(u"links/Notes"_s)).constData()), 0);

    UserDefaults defaults(at(u"defaults.json"_s));
    defaults.set(SettingsKey::remindersFolderPath, at(u"links/todo"_s));
    defaults.set(SettingsKey::calendarFolderPath, at(u"links/calendars"_s));
    VdirCalendarStore store(defaults, home.path());
    int storeChanges = 0;
    store.setOnFolderChange([&] { ++storeChanges; });
    test::RecordingProcessRunner runner;
    LocalNoteStore notes(LocalNoteStore::rootsFor(at(u"links/Notes"_s), home.path()), runner);
    int noteChanges = 0;
    notes.setOnFolderChange([&] { ++noteChanges; });
    const auto access = [&] { return store.hasReminderAccess() && store.hasEventAccess() && notes.isAccessible(); };
    ASSERT_TRUE(access());

    for (const auto &[from, to] : {std::pair(u"real/todo"_s, u"real/todo.away"_s), std::pair(u"real"_s, u"real.away"_s),
                                   std::pair(u"real/Notes"_s, u"real/Notes.away"_s)}) {
        const bool forNotes = from != u"real/todo"_s;
        const bool forStore = from != u"real/Notes"_s;
        storeChanges = noteChanges = 0;
        ASSERT_TRUE(QDir().rename(at(from), at(to)));
        EXPECT_TRUE(test::waitUntil([&] { return (!forStore || storeChanges > 0) && (!forNotes || noteChanges > 0); }))
            << "moved away: " << qPrintable(from);
        EXPECT_FALSE(access());
        storeChanges = noteChanges = 0;
        ASSERT_TRUE(QDir().rename(at(to), at(from)));
        EXPECT_TRUE(test::waitUntil([&] { return (!forStore || storeChanges > 0) && (!forNotes || noteChanges > 0); }))
            << "moved back: " << qPrintable(from);
        EXPECT_TRUE(access());
    }

    // The link pointed elsewhere, as a sync tool swaps it; then something
    // made in the folder it leads to now.
    storeChanges = 0;
    ASSERT_EQ(::symlink("../other/todo", QFile::encodeName(at(u"links/todo.new"_s)).constData()), 0);
    ASSERT_EQ(::rename(QFile::encodeName(at(u"links/todo.new"_s)).constData(),
                       QFile::encodeName(at(u"links/todo"_s)).constData()),
              0);
    EXPECT_TRUE(test::waitUntil([&] { return storeChanges > 0; })) << "pointed elsewhere";
    storeChanges = 0;
    ASSERT_TRUE(QDir().mkpath(at(u"other/todo/more"_s)));
    EXPECT_TRUE(test::waitUntil([&] { return storeChanges > 0; })) << "made where the link leads now";
}
