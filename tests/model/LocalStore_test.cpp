#include "model/LocalStore.h"

#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class LocalStoreTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    QString data = home.dataHome();

    QString at(const QString &relative) const { return data + u'/' + relative; }

    void writeFile(const QString &relative, const QByteArray &bytes)
    {
        ASSERT_TRUE(test::writeFile(at(relative), bytes));
    }
    QByteArray readFile(const QString &relative) const { return test::readFile(at(relative)); }
};

} // namespace

TEST_F(LocalStoreTest, UsesKoluInTheUsersDataFolder)
{
    const LocalStore store;
    EXPECT_EQ(store.directory(), at(u"Kolu"_s));
    EXPECT_TRUE(QFileInfo(store.directory()).isDir());
    EXPECT_TRUE(QDir(store.directory()).isEmpty());
}

TEST_F(LocalStoreTest, TakesOverTheOlderLegacyFolderByCopying)
{
    writeFile(u"OXRail/links.json"_s, "[]");
    writeFile(u"OXRail/Clipboard/deep/shot.png"_s, "png");
    const LocalStore store;
    EXPECT_EQ(readFile(u"Kolu/links.json"_s), "[]");
    EXPECT_EQ(readFile(u"Kolu/Clipboard/deep/shot.png"_s), "png");
    EXPECT_TRUE(QFileInfo::exists(at(u"OXRail/links.json"_s))) << "the legacy folder stays";
}

TEST_F(LocalStoreTest, OrlixWinsOverOXRail)
{
    writeFile(u"Orlix/a.json"_s, "orlix");
    writeFile(u"OXRail/b.json"_s, "oxrail");
    const LocalStore store;
    EXPECT_EQ(readFile(u"Kolu/a.json"_s), "orlix");
    EXPECT_FALSE(QFileInfo::exists(at(u"Kolu/b.json"_s)));
}

TEST_F(LocalStoreTest, AnExistingFolderIsNeverRefilled)
{
    writeFile(u"Orlix/a.json"_s, "orlix");
    QDir().mkpath(at(u"Kolu"_s));
    const LocalStore store;
    EXPECT_TRUE(QDir(store.directory()).isEmpty());
}

TEST_F(LocalStoreTest, ADanglingLinkCountsAsSomethingThere)
{
    // At the data folder's own name: nothing is copied over it.
    writeFile(u"Orlix/a.json"_s, "orlix");
    ASSERT_TRUE(QFile::link(at(u"nowhere"_s), at(u"Kolu"_s)));
    {
        const LocalStore store;
        EXPECT_FALSE(QFileInfo::exists(at(u"Kolu/a.json"_s)));
    }
    QFile::remove(at(u"Kolu"_s));

    // At a legacy name: it is the one taken over, and OXRail is left alone.
    QDir(at(u"Orlix"_s)).removeRecursively();
    writeFile(u"OXRail/b.json"_s, "oxrail");
    ASSERT_TRUE(QFile::link(at(u"gone"_s), at(u"Orlix"_s)));
    const LocalStore store;
    EXPECT_FALSE(QFileInfo::exists(at(u"Kolu/b.json"_s)));
}

TEST_F(LocalStoreTest, CopyKeepsLinksAsLinksInsteadOfFollowingThem)
{
    writeFile(u"outside/secret.txt"_s, "secret");
    writeFile(u"Orlix/a.json"_s, "orlix");
    ASSERT_TRUE(QFile::link(at(u"outside"_s), at(u"Orlix/linked"_s)));
    const LocalStore store;
    const QFileInfo copied(at(u"Kolu/linked"_s));
    EXPECT_TRUE(copied.isSymLink());
    EXPECT_EQ(readFile(u"Kolu/a.json"_s), "orlix");
}

TEST_F(LocalStoreTest, AFileInTheWayIsSurvived)
{
    writeFile(u"Kolu"_s, "not a folder");
    writeFile(u"Orlix/a.json"_s, "orlix");
    const LocalStore store;
    EXPECT_EQ(readFile(u"Kolu"_s), "not a folder");
    const QString clipboard = store.subdirectory(u"Clipboard"_s);
    EXPECT_EQ(clipboard, at(u"Kolu/Clipboard"_s));
    EXPECT_FALSE(QFileInfo(clipboard).isDir());
}

TEST_F(LocalStoreTest, SubdirectoryIsCreatedOnceAndStable)
{
    const LocalStore store;
    const QString first = store.subdirectory(u"Wallpapers"_s);
    writeFile(u"Kolu/Wallpapers/keep.jpg"_s, "jpg");
    const QString second = store.subdirectory(u"Wallpapers"_s);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(QFileInfo(first).isDir());
    EXPECT_EQ(readFile(u"Kolu/Wallpapers/keep.jpg"_s), "jpg");
}
