// The real program's first run on a desktop of the test's own with openbox:
// the welcome window follows the rail and is the window in front.
#include "EventWait.h"
#include "PrivateDisplay.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QProcess>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

TEST(FirstRunTest, OnboardingOpensInFrontOnceTheRailIsUp)
{
    test::TemporaryHome home;
    test::PrivateDisplay display{1440, 900};
    if (!display.isRunning() || !display.startWindowManager())
        GTEST_SKIP() << "no Xvfb with openbox here";

    // No defaults file at all: a fresh configuration.
    QProcess program;
    program.setProcessEnvironment(display.environment());
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(KOLU_EXECUTABLE), {});
    ASSERT_TRUE(program.waitForStarted(10000));

    quint32 welcome = 0;
    EXPECT_TRUE(test::waitUntil(
        [&] {
            welcome = display.findWindow(u"^Welcome to Kolu$"_s);
            return welcome != 0;
        },
        std::chrono::seconds(60)));
    EXPECT_NE(display.findWindow(u"^Kolu Rail$"_s), 0u);
    if (welcome) {
        EXPECT_EQ(display.geometry(welcome).size(), QSize(520, 520));
        EXPECT_TRUE(test::waitUntil(
            [&] { return display.run(u"xdotool"_s, {u"getactivewindow"_s}).trimmed() == QString::number(welcome); }));
    }
    program.terminate();
    if (!program.waitForFinished(10000))
        program.kill();
}

} // namespace
