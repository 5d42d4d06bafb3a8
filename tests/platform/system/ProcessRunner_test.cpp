#include "platform/system/ProcessRunner.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "ManualClock.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <pthread.h>
#include <unistd.h>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

TEST(SystemProcessRunner, RunsWithoutAShellCapturesOutputAndReportsAMissingProgram)
{
    SystemProcessRunner runner;
    const QString sh = runner.findExecutable(u"sh"_s);
    ASSERT_FALSE(sh.isEmpty());
    // The argument reaches the program as it is: no shell expansion of "$HOME".
    const ProcessResult result = test::awaitTask(runner.run(u"printf"_s, {u"%s"_s, u"$HOME; ok"_s}, 10s, {}));
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput, "$HOME; ok");

    const ProcessResult failed = test::awaitTask(runner.run(sh, {u"-c"_s, u"echo bad >&2; exit 3"_s}, 10s, {}));
    EXPECT_TRUE(failed.started);
    EXPECT_EQ(failed.exitCode, 3);
    EXPECT_EQ(failed.standardError, "bad\n");

    // A child killed by a signal crashed, whatever exit code it reads as.
    const ProcessResult hungUp = test::awaitTask(runner.run(sh, {u"-c"_s, u"kill -HUP $$"_s}, 10s, {}));
    EXPECT_TRUE(hungUp.started);
    EXPECT_TRUE(hungUp.crashed);
    EXPECT_FALSE(hungUp.succeeded());

    EXPECT_TRUE(runner.findExecutable(u"kolu-no-such-tool"_s).isEmpty());
    EXPECT_FALSE(test::awaitTask(runner.run(u"kolu-no-such-tool"_s, {}, 10s, {})).started);
}

namespace {

// One line of the kernel's status of a process, as the hexadecimal mask it holds.
quint64 statusMask(const QByteArray &status, const QByteArray &field)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(QByteArray(field + ':')))
            return line.mid(field.size() + 1).trimmed().toULongLong(nullptr, 16);
    }
    ADD_FAILURE() << "no " << field.constData() << " in the status";
    return ~0ULL;
}

} // namespace

// Kolu started under nohup ignores SIGHUP, and a caller may block signals:
// its children start with neither, so they can be hung up and interrupted.
TEST(SystemProcessRunner, ChildrenStartWithDefaultSignalsWhateverKoluIgnoresOrBlocks)
{
    struct sigaction ignore { };
    struct sigaction previous { };
    ignore.sa_handler = SIG_IGN;
    ::sigemptyset(&ignore.sa_mask);
    ASSERT_EQ(::sigaction(SIGHUP, &ignore, &previous), 0);
    sigset_t blocked;
    sigset_t previousMask;
    ::sigemptyset(&blocked);
    ::sigaddset(&blocked, SIGUSR2);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask), 0);

    SystemProcessRunner runner;
    const QString sh = runner.findExecutable(u"sh"_s);
    const ProcessResult hungUp = test::awaitTask(runner.run(sh, {u"-c"_s, u"kill -HUP $$"_s}, 10s, {}));
    const ProcessResult status = test::awaitTask(runner.run(u"cat"_s, {u"/proc/self/status"_s}, 10s, {}));

    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ::sigaction(SIGHUP, &previous, nullptr);

    EXPECT_TRUE(hungUp.started);
    EXPECT_TRUE(hungUp.crashed);
    ASSERT_TRUE(status.succeeded());
    EXPECT_EQ(statusMask(status.standardOutput, "SigIgn"), 0u);
    EXPECT_EQ(statusMask(status.standardOutput, "SigBlk"), 0u);
}

namespace {

// Whether the process is gone or only a zombie waiting to be reaped.
bool processEnded(pid_t pid)
{
    if (::kill(pid, 0) != 0)
        return true;
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 || line.mid(close + 2, 1) == "Z";
}

// The process whose number `pidFile` holds ends (bounded); killed after in any case.
void expectEnds(const QString &pidFile)
{
    const pid_t pid = pid_t(test::readFile(pidFile).trimmed().toLongLong());
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(test::waitUntil([&] { return processEnded(pid); }, 10s));
    ::kill(pid, SIGKILL);
}

} // namespace

TEST(SystemProcessRunner, TimeOutOnTheInjectedClockKillsTheChildAndWhatItStarted)
{
    test::ManualClock clock;
    SystemProcessRunner runner(clock);
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(u"grandchild"_s);
    // A child that never ends on its own, with a grandchild of its own.
    auto probe = test::startTask(runner.run(
        u"sh"_s, {u"-c"_s, u"sleep 3600 & echo $! >\"$0.part\"; mv \"$0.part\" \"$0\"; wait"_s, pidFile}, 5s, {}));
    ASSERT_TRUE(test::waitUntil([&] { return QFile::exists(pidFile) && clock.activeTimerCount() > 0; }));
    clock.advance(4999ms);
    EXPECT_FALSE(probe.isDone());
    clock.advance(1ms);
    EXPECT_TRUE(probe.wait().timedOut);
    EXPECT_EQ(clock.activeTimerCount(), 0);
    expectEnds(pidFile);
}

TEST(SystemProcessRunner, ChildHasNoInputAndNoTerminalAndDiesWithItsParent)
{
    SystemProcessRunner runner;
    // Standard input is empty and closed, so a reader ends at once.
    const ProcessResult cat = test::awaitTask(runner.run(u"cat"_s, {}, 10s, {}));
    EXPECT_TRUE(cat.succeeded());
    EXPECT_TRUE(cat.standardOutput.isEmpty());

    // The child leads a session of its own, which no terminal controls.
    const ProcessResult session = test::awaitTask(runner.run(
        u"sh"_s, {u"-c"_s, u"echo $$; cut -d' ' -f6 /proc/$$/stat; exec 3</dev/tty && echo tty"_s}, 10s, {}));
    const QList<QByteArray> lines = session.standardOutput.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << session.standardOutput.constData();
    EXPECT_EQ(lines[0], lines[1]);

    // A parent killed while its child runs takes the child with it.
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(u"child"_s);
    const ProcessResult parent = test::awaitTask(runner.run(QString::fromUtf8(KOLU_DYING_PARENT), {pidFile}, 10s, {}));
    ASSERT_TRUE(parent.succeeded()) << parent.standardError.constData();
    expectEnds(pidFile);
}

TEST(SystemProcessRunner, AChildStillRunningWhenTheRunnerGoesIsKilledAndItsCallerResumes)
{
    QTemporaryDir dir;
    const QString mark = dir.filePath(u"started"_s);
    auto runner = std::make_unique<SystemProcessRunner>();
    auto run = test::startTask(runner->run(u"sh"_s, {u"-c"_s, u"touch \"$0\"; exec sleep 60"_s, mark}, 120s, {}));
    ASSERT_TRUE(test::waitUntil([&] { return QFile::exists(mark); }));
    runner.reset();
    const ProcessResult result = run.wait();
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.succeeded());
}

TEST(SystemProcessRunner, ARunResumedAfterItsRunnerWentNeverReadsTheRunner)
{
    // The child is running but its start is not yet known to the run (no
    // event has been handled), so the run resumes only after the runner
    // went. The runner's memory is scribbled over: a run that read it
    // would crash here every time.
    QTemporaryDir dir;
    const QString mark = dir.filePath(u"started"_s);
    alignas(SystemProcessRunner) std::byte storage[sizeof(SystemProcessRunner)];
    auto *runner = new (storage) SystemProcessRunner();
    auto run = test::startTask(runner->run(u"sh"_s, {u"-c"_s, u"touch \"$0\"; exec sleep 60"_s, mark}, 120s, {}));
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(mark) && waited.elapsed() < 20000)
        QThread::yieldCurrentThread();
    ASSERT_TRUE(QFile::exists(mark));
    runner->~SystemProcessRunner();
    std::memset(storage, 0xA5, sizeof storage);
    const ProcessResult result = run.wait();
    EXPECT_FALSE(result.succeeded());
}
