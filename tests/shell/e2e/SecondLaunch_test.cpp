// A second start of the program for a user whose Kolu already runs: it
// leaves at once, says why on its error output, and reports success.
#include "shell/SingleInstanceLock.h"

#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

TEST(SecondLaunchTest, LeavesWithOneLineOnTheErrorOutputAndSuccess)
{
    kolu::test::TemporaryHome home;
    // The running copy's lock, taken as it takes it.
    kolu::SingleInstanceLock running;
    ASSERT_EQ(running.acquire(), kolu::SingleInstanceLock::Outcome::acquired);

    QProcess second;
    second.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    second.start(QStringLiteral(KOLU_EXECUTABLE), {});
    ASSERT_TRUE(second.waitForStarted(10000));
    ASSERT_TRUE(second.waitForFinished(60000)) << "the second copy stays";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardError(), "Kolu is already running.\n");
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty()) << "nothing says it runs";
}

} // namespace
