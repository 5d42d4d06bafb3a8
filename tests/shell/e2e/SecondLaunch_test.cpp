// Starts of the program that end at once with one line on the error output:
// a second start for a user whose Kolu already runs (which reports success),
// and a start where no X server answers.
#include "shell/SingleInstanceLock.h"

#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

mode_t modeOf(const QString &path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : mode_t(-1);
}

TEST(SecondLaunchTest, LeavesWithOneLineOnTheErrorOutputAndSuccess)
{
    kolu::test::TemporaryHome home;
    // The running copy's lock, taken as it takes it.
    kolu::SingleInstanceLock running;
    ASSERT_EQ(running.acquire(), kolu::SingleInstanceLock::Outcome::acquired);
    // What an earlier run left in the cache is the running copy's to tidy:
    // a second one leaves at once, whatever the cache holds.
    const QString cover = home.path(u".cache/Kolu/art/cover.png"_s);
    ASSERT_TRUE(QDir().mkpath(home.path(u".cache/Kolu/art"_s)));
    ASSERT_TRUE(QFile(cover).open(QIODevice::WriteOnly));
    ASSERT_EQ(::chmod(QFile::encodeName(home.path(u".cache/Kolu"_s)).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(cover).constData(), 0644), 0);

    QProcess second;
    second.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    second.start(QStringLiteral(KOLU_EXECUTABLE), {});
    ASSERT_TRUE(second.waitForStarted(10000));
    ASSERT_TRUE(second.waitForFinished(60000)) << "the second copy stays";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardError(), "Kolu is already running.\n");
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty()) << "nothing says it runs";
    EXPECT_EQ(std::pair(modeOf(home.path(u".cache/Kolu"_s)), modeOf(cover)), std::pair(0755u, 0644u));
}

// Qt's own answer is an abort with several lines and a core dump, whatever
// kind of display name it was given.
TEST(SecondLaunchTest, WithoutAnXServerLeavesWithOneLineOnTheErrorOutput)
{
    kolu::test::TemporaryHome home;
    for (const QString &display : {u"bogus"_s, u"localhost:118"_s, u":119"_s, QString()}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_QPA_PLATFORM"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.insert(u"DISPLAY"_s, display);
        QProcess kolu;
        kolu.setProcessEnvironment(environment);
        kolu.start(QStringLiteral(KOLU_EXECUTABLE), {});
        ASSERT_TRUE(kolu.waitForStarted(10000));
        ASSERT_TRUE(kolu.waitForFinished(60000)) << display.toStdString();
        EXPECT_EQ(kolu.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(kolu.exitCode(), 1);
        const QString reason = display.isEmpty() ? u"DISPLAY is not set"_s : u"no X server answers on "_s + display;
        EXPECT_EQ(QString::fromUtf8(kolu.readAllStandardError()),
                  u"Kolu needs an X11 display (or XWayland on a Wayland session): "_s + reason + u".\n"_s);
    }
}

} // namespace
