#include "platform/system/ProcessRunner.h"

#include "AwaitTask.h"
#include "EventWait.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include <gtest/gtest.h>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

TEST(SystemProcessRunner, RunsWithoutAShellCapturesOutputAndReportsAMissingProgram)
{
    SystemProcessRunner runner;
    const QString sh = runner.findExecutable(u"sh"_s);
    ASSERT_FALSE(sh.isEmpty());
    // The argument reaches the program as it is: no shell expansion of "$HOME".
    const ProcessResult result =
        test::awaitTask(runner.run(u"printf"_s, {u"%s"_s, u"$HOME; ok"_s}, 10s, {}));
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput, "$HOME; ok");

    const ProcessResult failed = test::awaitTask(runner.run(sh, {u"-c"_s, u"echo bad >&2; exit 3"_s}, 10s, {}));
    EXPECT_TRUE(failed.started);
    EXPECT_FALSE(failed.succeeded());
    EXPECT_EQ(failed.exitCode, 3);
    EXPECT_EQ(failed.standardError, "bad\n");

    EXPECT_TRUE(runner.findExecutable(u"kolu-no-such-tool"_s).isEmpty());
    const ProcessResult missing = test::awaitTask(runner.run(u"kolu-no-such-tool"_s, {}, 10s, {}));
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.succeeded());
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
