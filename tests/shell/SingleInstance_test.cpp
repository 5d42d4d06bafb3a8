// One copy of the program per session: the lock a launch takes, and the
// other copies of it found running and asked to quit.
#include "shell/DuplicateInstances.h"
#include "shell/SingleInstanceLock.h"

#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Outcome = SingleInstanceLock::Outcome;

namespace {
// Run as a child of this test: a copy of "the program" that ignores the
// polite request to quit when asked to.
const char kChildVariable[] = "KOLU_TEST_DUPLICATE_CHILD";

struct ChildMode {
    ChildMode()
    {
        const QByteArray mode = qgetenv(kChildVariable);
        if (mode.isEmpty())
            return;
        if (mode == "stubborn")
            ::signal(SIGTERM, SIG_IGN);
        [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, "ready\n", 6);
        // Bounded, so a failed test never leaves it behind for long.
        for (int i = 0; i < 600; ++i)
            ::usleep(100'000);
        std::_Exit(0);
    }
} childMode;

class SingleInstanceTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    const QString lockPath = home.runtimeDir() + u'/' + QString::fromLatin1(SingleInstanceLock::kFileName);
    QString proc = home.path(u"proc"_s);
    QString exe = QCoreApplication::applicationFilePath();

    // A /proc entry: a folder owned by `uid` with an `exe` link and the
    // environment of a process of this session.
    void addProcess(qint64 pid, const QString &executable, uid_t uid = ::getuid(),
                    const QByteArray &runtimeDir = qgetenv("XDG_RUNTIME_DIR"))
    {
        const QString folder = proc + u'/' + (pid < 0 ? u"self"_s : QString::number(pid));
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::link(executable, folder + u"/exe"_s));
        ASSERT_TRUE(test::writeFile(folder + u"/environ"_s, "HOME=/x\0XDG_RUNTIME_DIR="_ba + runtimeDir + '\0'));
        if (uid != ::getuid()) {
            ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), uid, uid), 0);
        }
    }

    std::unique_ptr<QProcess> startChild(const char *mode)
    {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildVariable), QString::fromLatin1(mode));
        child->setProcessEnvironment(env);
        child->start(exe, {});
        EXPECT_TRUE(child->waitForStarted(5000));
        EXPECT_TRUE(child->waitForReadyRead(10000));
        return child;
    }
};

} // namespace

TEST_F(SingleInstanceTest, LockIsHeldByOneAtATimeAndNeverFollowsALinkNorTakesAFileOrFolderThatIsNotOurs)
{
    EXPECT_EQ(SingleInstanceLock::runtimeFolder(), home.runtimeDir());

    SingleInstanceLock first;
    ASSERT_EQ(first.acquire(), Outcome::acquired);
    EXPECT_TRUE(QFile::exists(lockPath));
    // flock belongs to the open file, so a second open in this process is
    // refused just as another process would be.
    SingleInstanceLock second;
    EXPECT_EQ(second.acquire(), Outcome::heldElsewhere);
    EXPECT_FALSE(second.isHeld());
    first.release();
    EXPECT_EQ(second.acquire(), Outcome::acquired);
    EXPECT_TRUE(QFile::exists(lockPath)) << "the file stays";
    second.release();

    QFile::remove(lockPath);
    const QString victim = home.path(u"victim.txt"_s);
    ASSERT_TRUE(test::writeFile(victim, "keep me"));
    ASSERT_TRUE(QFile::link(victim, lockPath));
    // What is planted in the lock's place could stand for a lock nobody
    // holds: the launch is refused, not run unguarded, and says what is there.
    SingleInstanceLock lock;
    EXPECT_EQ(lock.acquire(), Outcome::refused);
    EXPECT_EQ(lock.refusal(), QString(u"the lock "_s + lockPath + u" is a link or not a file of this user's"_s));
    EXPECT_EQ(test::readFile(victim), "keep me");

    // A dangling link creates nothing at its target either.
    QFile::remove(lockPath);
    const QString target = home.path(u"created-by-link"_s);
    ASSERT_TRUE(QFile::link(target, lockPath));
    EXPECT_EQ(lock.acquire(), Outcome::refused);
    EXPECT_FALSE(QFile::exists(target));
    // Nor a pipe, a file of another user or a link in the folder's place.
    QFile::remove(lockPath);
    ASSERT_EQ(::mkfifo(QFile::encodeName(lockPath).constData(), 0600), 0);
    EXPECT_EQ(lock.acquire(), Outcome::refused);
    QFile::remove(lockPath);
    if (::geteuid() == 0) {
        QFile(lockPath).open(QIODevice::WriteOnly);
        ASSERT_EQ(::chown(QFile::encodeName(lockPath).constData(), 65534, 65534), 0);
        EXPECT_EQ(lock.acquire(), Outcome::refused);
    }
    // A link in the folder's place leading to a folder others may write to
    // is refused; the user's own link to a folder of theirs alone is that
    // folder.
    const QString linkedFolder = home.path(u"linked-run"_s);
    const QString wide = home.path(u"wide-run"_s);
    ASSERT_TRUE(QDir().mkpath(wide) && ::chmod(QFile::encodeName(wide).constData(), 0777) == 0);
    ASSERT_TRUE(QFile::link(wide, linkedFolder));
    EXPECT_EQ(lock.acquire(linkedFolder), Outcome::refused);
    EXPECT_EQ(lock.refusal(), QString(u"the lock's folder "_s + linkedFolder + u" is a symbolic link"_s));
    ASSERT_TRUE(QFile::remove(linkedFolder) && QFile::link(home.runtimeDir(), linkedFolder));
    QFile::remove(lockPath);
    EXPECT_EQ(lock.acquire(linkedFolder), Outcome::acquired);
    lock.release();

    // Only where there is no place for a lock at all does the launch go on.
    EXPECT_EQ(lock.acquire(home.path(u"missing-folder"_s)), Outcome::unavailable);

    // The runtime folder is never a relative, foreign or missing one.
    qputenv("XDG_RUNTIME_DIR", "relative/path");
    EXPECT_NE(SingleInstanceLock::runtimeFolder(), u"relative/path"_s);
    if (::geteuid() == 0) {
        const QString foreign = home.path(u"foreign"_s);
        ASSERT_TRUE(QDir().mkpath(foreign));
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(foreign));
        EXPECT_NE(SingleInstanceLock::runtimeFolder(), foreign);
    }
    EXPECT_FALSE(SingleInstanceLock::runtimeFolder().isEmpty());
}

TEST_F(SingleInstanceTest, FindsOnlyOurOwnProgramOfOurOwnUser)
{
    const ProcessIdentity own{100, ::getuid(), exe, qgetenv("XDG_RUNTIME_DIR")};
    addProcess(100, exe);                               // ourselves
    addProcess(101, exe);                               // a duplicate
    addProcess(102, u"/usr/bin/sleep"_s);               // another program
    addProcess(104, exe + u"-other"_s);                 // a similar name
    addProcess(105, exe, ::getuid(), "/run/user/4711"); // another session, with its own lock
    ASSERT_TRUE(QDir().mkpath(proc + u"/notapid"_s));
    if (::geteuid() == 0)
        addProcess(103, exe, 65534); // another user's copy
    EXPECT_EQ(duplicates::find(proc, own), QList<pid_t>{101});
    EXPECT_TRUE(duplicates::find(proc, ProcessIdentity{100, ::getuid(), {}, {}}).isEmpty());
}

// Asked at once, or (as a launch does) once a worker has looked through the
// process list and the event loop has the result.
TEST_F(SingleInstanceTest, AsksDuplicatesToQuitAndKillsTheOnesStillThere)
{
    for (const bool inBackground : {false, true}) {
        SCOPED_TRACE(inBackground ? "in the background" : "at once");
        proc = home.path(inBackground ? u"proc-later"_s : u"proc"_s);
        addProcess(-1, exe);
        auto polite = startChild("polite");
        auto stubborn = startChild("stubborn");
        addProcess(polite->processId(), exe);
        addProcess(stubborn->processId(), exe);

        test::ManualClock clock;
        DuplicateInstanceCloser closer(clock, proc);
        QList<pid_t> asked;
        if (inBackground) {
            QObject::connect(&closer, &DuplicateInstanceCloser::asked,
                             [&asked](const QList<pid_t> &pids) { asked = pids; });
            closer.closeAllInBackground();
            EXPECT_TRUE(asked.isEmpty()) << "nothing is asked before the event loop runs";
            ASSERT_TRUE(test::waitUntil([&asked] { return !asked.isEmpty(); }));
        } else {
            asked = closer.closeAll();
        }
        EXPECT_EQ(asked.size(), 2);
        // Finished may already have been noticed while events ran.
        const auto finished = [](QProcess &child) {
            return child.state() == QProcess::NotRunning || child.waitForFinished(10000);
        };
        EXPECT_TRUE(finished(*polite));
        EXPECT_EQ(polite->exitStatus(), QProcess::CrashExit) << "ended by SIGTERM";
        EXPECT_EQ(stubborn->state(), QProcess::Running);

        clock.advance(799ms);
        QCoreApplication::processEvents();
        EXPECT_EQ(stubborn->state(), QProcess::Running);
        clock.advance(1ms);
        EXPECT_TRUE(finished(*stubborn));
        EXPECT_EQ(stubborn->exitStatus(), QProcess::CrashExit) << "killed";
    }
}
