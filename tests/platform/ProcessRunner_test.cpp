#include "platform/ProcessRunner.h"

#include "AwaitTask.h"
#include "RecordingProcessRunner.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

TEST(SystemProcessRunner, RunsWithoutAShellAndCapturesOutput)
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
}

TEST(SystemProcessRunner, AMissingProgramDoesNotStart)
{
    SystemProcessRunner runner;
    EXPECT_TRUE(runner.findExecutable(u"kolu-no-such-tool"_s).isEmpty());
    const ProcessResult result = test::awaitTask(runner.run(u"kolu-no-such-tool"_s, {}, 10s, {}));
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.succeeded());
}

TEST(RecordingProcessRunner, RecordsAndAnswers)
{
    test::RecordingProcessRunner runner;
    ProcessResult muted;
    muted.started = true;
    muted.exitCode = 0;
    muted.standardOutput = "Mute: yes\n";
    runner.respond(u"pactl"_s, muted);
    runner.setMissing({u"feh"_s});

    const ProcessResult result =
        test::awaitTask(runner.run(u"pactl"_s, {u"get-sink-mute"_s, u"@DEFAULT_SINK@"_s}, 2s, {}));
    EXPECT_EQ(result.standardOutput, "Mute: yes\n");
    EXPECT_FALSE(test::awaitTask(runner.run(u"feh"_s, {}, 2s, {})).started);
    EXPECT_TRUE(runner.findExecutable(u"feh"_s).isEmpty());
    ASSERT_EQ(runner.runs().size(), 2);
    EXPECT_EQ(runner.runs().front().arguments, (QStringList{u"get-sink-mute"_s, u"@DEFAULT_SINK@"_s}));
}
