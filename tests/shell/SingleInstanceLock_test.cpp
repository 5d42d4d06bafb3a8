#include "shell/SingleInstanceLock.h"

#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kolu;
using namespace Qt::StringLiterals;
using Outcome = SingleInstanceLock::Outcome;

namespace {

class SingleInstanceLockTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    QString lockPath() const { return QDir(home.runtimeDir()).filePath(QString::fromLatin1(SingleInstanceLock::kFileName)); }
};

} // namespace

TEST_F(SingleInstanceLockTest, OneHolderAtATimeUntilReleased)
{
    EXPECT_EQ(SingleInstanceLock::runtimeFolder(), home.runtimeDir());

    SingleInstanceLock first;
    ASSERT_EQ(first.acquire(), Outcome::acquired);
    EXPECT_TRUE(QFile::exists(lockPath()));
    // flock belongs to the open file, so a second open in this process is
    // refused just as another process would be.
    SingleInstanceLock second;
    EXPECT_EQ(second.acquire(), Outcome::heldElsewhere);
    EXPECT_FALSE(second.isHeld());
    first.release();
    EXPECT_EQ(second.acquire(), Outcome::acquired);
    EXPECT_TRUE(QFile::exists(lockPath())) << "the file stays";
}

TEST_F(SingleInstanceLockTest, NeverFollowsALinkNorTouchesAnotherFile)
{
    const QString victim = home.path(u"victim.txt"_s);
    ASSERT_TRUE(test::writeFile(victim, "keep me"));
    ASSERT_TRUE(QFile::link(victim, lockPath()));
    SingleInstanceLock lock;
    EXPECT_EQ(lock.acquire(), Outcome::unavailable) << "the launch goes on without the lock";
    EXPECT_EQ(test::readFile(victim), "keep me");

    // A dangling link creates nothing at its target either.
    QFile::remove(lockPath());
    const QString target = home.path(u"created-by-link"_s);
    ASSERT_TRUE(QFile::link(target, lockPath()));
    EXPECT_EQ(lock.acquire(), Outcome::unavailable);
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(SingleInstanceLockTest, AFileThatIsNotOursOrNotAFileIsLeftAlone)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(lockPath()).constData(), 0600), 0);
    SingleInstanceLock lock;
    EXPECT_EQ(lock.acquire(), Outcome::unavailable);
    QFile::remove(lockPath());

    if (::geteuid() == 0) {
        QFile(lockPath()).open(QIODevice::WriteOnly);
        ASSERT_EQ(::chown(QFile::encodeName(lockPath()).constData(), 65534, 65534), 0);
        EXPECT_EQ(lock.acquire(), Outcome::unavailable);
    }

    EXPECT_EQ(lock.acquire(home.path(u"missing-folder"_s)), Outcome::unavailable);
}

TEST_F(SingleInstanceLockTest, RuntimeFolderIsNeverAForeignOrMissingOne)
{
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
