#include "platform/calendar/CalendarFileCache.h"
#include "platform/calendar/CalendarStoreWork.h"

#include "CalendarFixtures.h"
#include "EventWait.h"
#include "InotifyLeft.h"
#include "LogCapture.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QTimeZone berlin("Europe/Berlin");

QDateTime utc(int day, int hour)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, 0), Qt::UTC);
}

// An event on 3 March at `hour` whose title is `title`.
QByteArray eventFile(const QByteArray &uid, const QByteArray &title, int hour = 10)
{
    return test::icsWith("VEVENT", "UID:" + uid + "\r\nSUMMARY:" + title + "\r\nDTSTART:20260303T"
                                       + QByteArray::number(hour).rightJustified(2, '0') + "0000Z\r\n");
}

// Sets a file's modification time to the second `seconds` and `nanoseconds`.
void setModified(const QString &path, time_t seconds, long nanoseconds)
{
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

timespec realTimePlus(time_t seconds)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec += seconds;
    return now;
}

class CalendarFileCacheTest : public ::testing::Test {
protected:
    std::vector<QString> titles() { return titlesFrom(cache); }
    std::vector<QString> titlesFrom(CalendarFileCache &from)
    {
        std::vector<QString> result;
        const StoredEventList events = loadEvents(root.path(), utc(2, 0), utc(9, 0), berlin, &from);
        for (const StoredEvent &event : *events)
            result.push_back(event.title.value_or(QString()));
        std::sort(result.begin(), result.end());
        return result;
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        return test::writeCalendarItem(root.path(), u"work"_s, name, bytes);
    }

    QTemporaryDir root;
    // Every file on disk is long settled by this clock.
    CalendarFileCache cache{[] { return realTimePlus(3600); }};
};

} // namespace

TEST_F(CalendarFileCacheTest, ARefreshParsesOnlyFilesThatAreNewOrChanged)
{
    write(u"a.ics"_s, eventFile("a", "Alpha"));
    const QString b = write(u"b.ics"_s, eventFile("b", "Beta"));
    const QString c = write(u"c.ics"_s, eventFile("c", "Gamma"));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beta"_s, u"Gamma"_s}));
    EXPECT_EQ(cache.parseCount(), 3);

    // Nothing changed: nothing is parsed nor listed, the events are the same.
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beta"_s, u"Gamma"_s}));
    EXPECT_EQ(cache.parseCount(), 3);
    EXPECT_EQ(cache.listingCount(), 1);

    // Edited in place, removed, added: each shows on the next refresh, and
    // only the edited and the new file are parsed.
    test::writeFile(b, eventFile("b", "Beta, moved to the big room"));
    ASSERT_TRUE(QFile::remove(c));
    write(u"d.ics"_s, eventFile("d", "Delta"));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beta, moved to the big room"_s, u"Delta"_s}));
    EXPECT_EQ(cache.parseCount(), 5);

    // A file put back under a removed one's name is read afresh.
    write(u"c.ics"_s, eventFile("c", "Gamma again"));
    EXPECT_EQ(titles(),
              (std::vector<QString>{u"Alpha"_s, u"Beta, moved to the big room"_s, u"Delta"_s, u"Gamma again"_s}));
    EXPECT_EQ(cache.parseCount(), 6);
}

TEST_F(CalendarFileCacheTest, ChangesOfTheSameSizeWithinOneSecondAreNoticed)
{
    const time_t second = 1'772'000'000;
    const QString path = write(u"a.ics"_s, eventFile("a", "Alpha"));
    setModified(path, second, 100);
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s}));

    // Rewritten in place with as many bytes, within the same second.
    test::writeFile(path, eventFile("a", "Omega"));
    setModified(path, second, 200);
    EXPECT_EQ(titles(), (std::vector<QString>{u"Omega"_s}));

    // Replaced by another file of the same size and the very same time, as a
    // synchronisation tool saves: a new file under the old name.
    const QString staged = root.filePath(u"staged.tmp"_s);
    test::writeFile(staged, eventFile("a", "Sigma"));
    setModified(staged, second, 200);
    ASSERT_EQ(::rename(QFile::encodeName(staged).constData(), QFile::encodeName(path).constData()), 0);
    EXPECT_EQ(titles(), (std::vector<QString>{u"Sigma"_s}));
    EXPECT_EQ(cache.parseCount(), 3);
}

TEST_F(CalendarFileCacheTest, AFileChangedMomentsAgoIsReadAgainUntilItsTimesSettle)
{
    // The file system's clock moves in ticks: a second change within the tick
    // of the first would leave every time as it was, so a file this recent
    // is never trusted to be unchanged.
    const QString path = write(u"a.ics"_s, eventFile("a", "Alpha"));
    struct stat status { };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    CalendarFileCache recent([&] { return status.st_ctim; });
    loadEvents(root.path(), utc(2, 0), utc(9, 0), berlin, &recent);
    loadEvents(root.path(), utc(2, 0), utc(9, 0), berlin, &recent);
    EXPECT_EQ(recent.parseCount(), 2);
}

TEST_F(CalendarFileCacheTest, ATodoCompletedMeanwhileShowsCompletedOnTheNextRead)
{
    write(u"errand.ics"_s, test::icsWith("VTODO", "UID:errand\r\nSUMMARY:Errand\r\n"));
    EXPECT_EQ(loadOpenTodos(root.path(), berlin, &cache).size(), 1u);
    ASSERT_EQ(writeTodoCompletion(root.path(), u"errand"_s, true, utc(2, 9)).status, TodoWriteResult::Status::saved);
    EXPECT_TRUE(loadOpenTodos(root.path(), berlin, &cache).empty());
}

TEST_F(CalendarFileCacheTest, AFolderWithLinksIsListedAgainEachTime)
{
    // The link leads to a file not there yet; creating it changes only the
    // inner folder, yet the event shows.
    write(u"a.ics"_s, eventFile("a", "Alpha"));
    const QString folder = root.filePath(u"work"_s);
    ASSERT_TRUE(QDir(folder).mkpath(u"kept"_s));
    ASSERT_EQ(::symlink("kept/late.ics", QFile::encodeName(folder + u"/late.ics"_s).constData()), 0);
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s}));
    test::writeFile(folder + u"/kept/late.ics"_s, eventFile("late", "Late"));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Late"_s}));
}

// Once a folder was looked at in full while watched, a refresh with nothing
// reported about it looks at none of its files; any change to a file in it,
// even one that leaves the folder's own times alone, is still read.
TEST_F(CalendarFileCacheTest, AQuietFolderIsNotLookedAtFileByFileYetEveryChangeInItShows)
{
    ASSERT_TRUE(test::inotifyLeft());
    write(u"a.ics"_s, eventFile("a", "Alpha"));
    const QString b = write(u"b.ics"_s, eventFile("b", "Beta"));
    const QString c = write(u"c.ics"_s, eventFile("c", "Gamma"));
    // The kernel's change watches are shared by every program of the user: a
    // cache that finds none free looks at every file on every read instead
    // (and so still sees every change). While other programs hold them all,
    // the test starts again with a new cache, within a bound.
    std::unique_ptr<CalendarFileCache> watched;
    // This test reads through that cache.
    const auto titles = [&] { return titlesFrom(*watched); };
    ASSERT_TRUE(test::waitUntil(
        [&] {
            watched = std::make_unique<CalendarFileCache>([] { return realTimePlus(3600); });
            titles();
            titles(); // watched and looked at in full
            const qint64 looked = watched->checkCount();
            return titles() == std::vector<QString>{u"Alpha"_s, u"Beta"_s, u"Gamma"_s}
                   && watched->checkCount() == looked;
        },
        std::chrono::seconds(60)));

    // Written in place with as many bytes, then with its old times put back.
    struct stat before { };
    ASSERT_EQ(::stat(QFile::encodeName(b).constData(), &before), 0);
    test::writeFile(b, eventFile("b", "Beth"));
    setModified(b, before.st_mtim.tv_sec, before.st_mtim.tv_nsec);
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beth"_s, u"Gamma"_s}));
    titles();
    const qint64 quietAgain = watched->checkCount();
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beth"_s, u"Gamma"_s}));
    EXPECT_EQ(watched->checkCount(), quietAgain);

    // Edited twice more, each time while the folder was quiet.
    test::writeFile(c, eventFile("c", "Gamma, moved"));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beth"_s, u"Gamma, moved"_s}));
    titles();
    test::writeFile(c, eventFile("c", "Gamma, back"));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beth"_s, u"Gamma, back"_s}));

    // Removed, added, replaced by a rename.
    titles();
    ASSERT_TRUE(QFile::remove(c));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beth"_s}));
    titles();
    write(u"d.ics"_s, eventFile("d", "Delta"));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beth"_s, u"Delta"_s}));
    titles();
    const QString staged = root.filePath(u"staged.tmp"_s);
    test::writeFile(staged, eventFile("b", "Bravo"));
    ASSERT_EQ(::rename(QFile::encodeName(staged).constData(), QFile::encodeName(b).constData()), 0);
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Bravo"_s, u"Delta"_s}));
}

// The same files read for another window give that window's occurrences.
TEST_F(CalendarFileCacheTest, AnotherWindowIsReadForItselfWithTheFilesUnchanged)
{
    write(u"a.ics"_s, eventFile("a", "Alpha", 10));
    write(u"b.ics"_s, eventFile("b", "Beta", 20));
    const auto read = [&](int fromHour, int toHour) {
        std::vector<QString> result;
        const StoredEventList events = loadEvents(root.path(), utc(3, fromHour), utc(3, toHour), berlin, &cache);
        for (const StoredEvent &event : *events)
            result.push_back(event.title.value_or(QString()));
        return result;
    };
    EXPECT_EQ(read(0, 23), (std::vector<QString>{u"Alpha"_s, u"Beta"_s}));
    EXPECT_EQ(read(0, 23), (std::vector<QString>{u"Alpha"_s, u"Beta"_s}));
    EXPECT_EQ(read(0, 12), std::vector<QString>{u"Alpha"_s});
    EXPECT_EQ(read(0, 23), (std::vector<QString>{u"Alpha"_s, u"Beta"_s}));
    EXPECT_EQ(read(12, 23), std::vector<QString>{u"Beta"_s});
    EXPECT_EQ(cache.parseCount(), 2);
}

// A refresh that finds every folder as it was hands back the very list of
// last time, without a look at any file; a file whose times cannot be
// trusted yet, a new calendar beside the others, and a change each end that.
TEST_F(CalendarFileCacheTest, AnUnchangedCalendarGivesBackTheVeryListOfLastTime)
{
    write(u"a.ics"_s, eventFile("a", "Alpha"));
    write(u"b.ics"_s, eventFile("b", "Beta"));
    const auto read = [&] { return loadEvents(root.path(), utc(2, 0), utc(9, 0), berlin, &cache); };
    read();
    const StoredEventList watched = read(); // watched and looked at in full
    const qint64 looked = cache.checkCount();
    EXPECT_EQ(read(), watched);
    EXPECT_EQ(read(), watched);
    EXPECT_EQ(cache.checkCount(), looked);

    // Times ahead of the cache's clock could hide a change within their tick.
    const QString ahead = write(u"c.ics"_s, eventFile("c", "Gamma"));
    setModified(ahead, realTimePlus(7200).tv_sec, 0);
    read();
    const StoredEventList withAhead = read();
    EXPECT_EQ(withAhead->size(), 3u);
    const qint64 parsed = cache.parseCount();
    EXPECT_NE(read(), withAhead);
    EXPECT_EQ(cache.parseCount(), parsed + 1);

    ASSERT_TRUE(QFile::remove(ahead));
    read();
    const StoredEventList settled = read();
    EXPECT_EQ(read(), settled);
    test::writeCalendarItem(root.path(), u"home"_s, u"d.ics"_s, eventFile("d", "Delta"));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beta"_s, u"Delta"_s}));
    const StoredEventList withHome = read();
    EXPECT_EQ(read(), withHome);
    test::writeFile(root.filePath(u"home/d.ics"_s), eventFile("d", "Delta, later"));
    EXPECT_EQ(titles(), (std::vector<QString>{u"Alpha"_s, u"Beta"_s, u"Delta, later"_s}));
}

// Events and to-dos read in turn through one cache, as when both live in one
// folder: each file is parsed once, and each reader sees what changed.
TEST_F(CalendarFileCacheTest, EventsAndTodosReadInTurnShareTheParsedFiles)
{
    write(u"a.ics"_s, eventFile("a", "Alpha"));
    const QString errand = write(u"errand.ics"_s, test::icsWith("VTODO", "UID:errand\r\nSUMMARY:Errand\r\n"));
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_EQ(titles(), std::vector<QString>{u"Alpha"_s});
        ASSERT_EQ(loadOpenTodos(root.path(), berlin, &cache).size(), 1u);
    }
    EXPECT_EQ(cache.parseCount(), 2);

    test::writeFile(errand, test::icsWith("VTODO", "UID:errand\r\nSUMMARY:Errand, before noon\r\n"));
    EXPECT_EQ(titles(), std::vector<QString>{u"Alpha"_s});
    const std::vector<ReminderItem> todos = loadOpenTodos(root.path(), berlin, &cache);
    ASSERT_EQ(todos.size(), 1u);
    EXPECT_EQ(todos[0].title, u"Errand, before noon"_s);
    EXPECT_EQ(cache.parseCount(), 3);
}

TEST_F(CalendarFileCacheTest, ASkippedFileIsNamedWithItsReasonOnceEachTimeItChanges)
{
    write(u"good.ics"_s, eventFile("good", "Good"));
    const QString truncated = write(u"truncated.ics"_s, eventFile("cut", "Cut").left(60));
    const QString garbage = write(u"garbage.ics"_s, "\x01\x02 not a calendar at all");
    QByteArray flood = "X-A";
    for (int i = 0; i < 5000; ++i)
        flood += ";P" + QByteArray::number(i) + "=v";
    const QString flooded = write(u"flooded.ics"_s, eventFile("flooded", "Flooded\r\n" + flood + ":x"));
    // The same behind a backslash and a quote, in a to-do.
    const QString escaped =
        write(u"escaped.ics"_s,
              test::icsWith("VTODO", "UID:escaped\r\nSUMMARY:Escaped\r\nX-A;Q=a\\\"b" + flood.mid(3) + ":x\r\n"));
    test::LogCapture log;
    const auto linesAbout = [&](const QString &path) { return log.warningsWith(path).size(); };

    // Its line of thousands of parameters is left out, the rest is read.
    EXPECT_EQ(titles(), (std::vector<QString>{u"Flooded"_s, u"Good"_s}));
    EXPECT_EQ(linesAbout(flooded), 1);
    ASSERT_EQ(loadOpenTodos(root.path(), berlin, &cache).size(), 1u);
    EXPECT_EQ(log.warningsWith(u"holds more than 100 parameters"_s),
              log.warningsWith(escaped) + log.warningsWith(flooded));
    EXPECT_EQ(linesAbout(truncated), 1);
    EXPECT_EQ(linesAbout(garbage), 1);
    EXPECT_TRUE(log.warningsWith(u"good.ics"_s).isEmpty());
    EXPECT_EQ(log.warningsWith(u"END:VCALENDAR"_s).size(), 1); // the reason the truncated file is skipped

    // Read again, unchanged: nothing more. Changed, yet still broken: once more.
    titles();
    EXPECT_EQ(linesAbout(truncated), 1);
    write(u"truncated.ics"_s, eventFile("cut", "Cut").left(70));
    titles();
    titles();
    EXPECT_EQ(linesAbout(truncated), 2);
    EXPECT_EQ(linesAbout(garbage), 1);
    EXPECT_EQ(linesAbout(flooded), 1);
    EXPECT_EQ(linesAbout(escaped), 1);

    // A file parsed again on every read while its times settle is named once.
    CalendarFileCache recent;
    for (int read = 0; read < 3; ++read)
        loadEvents(root.path(), utc(2, 0), utc(9, 0), berlin, &recent);
    EXPECT_EQ(linesAbout(garbage), 2);
    EXPECT_GE(recent.parseCount(), 6);
}
