#include "model/LocalStore.h"

#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

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

TEST_F(LocalStoreTest, TakesOverTheNewestLegacyFolderByCopying)
{
    writeFile(u"Orlix/a.json"_s, "orlix");
    writeFile(u"Orlix/Clipboard/deep/shot.png"_s, "png");
    writeFile(u"OXRail/b.json"_s, "oxrail");
    const LocalStore store;
    EXPECT_EQ(store.directory(), at(u"Kolu"_s));
    EXPECT_EQ(std::pair(readFile(u"Kolu/a.json"_s), readFile(u"Kolu/Clipboard/deep/shot.png"_s)),
              std::pair(QByteArray("orlix"), QByteArray("png")));
    EXPECT_FALSE(QFileInfo::exists(at(u"Kolu/b.json"_s))) << "Orlix wins over OXRail";
    EXPECT_TRUE(QFileInfo::exists(at(u"Orlix/a.json"_s))) << "the legacy folder stays";
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
    EXPECT_TRUE(QFileInfo(at(u"Kolu/linked"_s)).isSymLink());
    EXPECT_EQ(readFile(u"Kolu/a.json"_s), "orlix");
}

TEST_F(LocalStoreTest, AFileInTheWayIsSurvived)
{
    writeFile(u"Kolu"_s, "not a folder");
    writeFile(u"Orlix/a.json"_s, "orlix");
    const LocalStore store;
    EXPECT_EQ(readFile(u"Kolu"_s), "not a folder");
    EXPECT_EQ(store.subdirectory(u"Clipboard"_s), at(u"Kolu/Clipboard"_s));
    EXPECT_FALSE(QFileInfo(at(u"Kolu/Clipboard"_s)).isDir());
}

TEST_F(LocalStoreTest, AFailedTakeOverLeavesNothingAndTheNextRunTriesAgain)
{
    // A pipe cannot be copied, so the copy fails part way.
    writeFile(u"Orlix/a.json"_s, "orlix");
    writeFile(u"Orlix/Clipboard/b.png"_s, "png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(at(u"Orlix/pipe"_s)).constData(), 0600), 0);
    {
        const LocalStore store;
        EXPECT_TRUE(store.takeOverFailed());
        EXPECT_FALSE(QFileInfo::exists(at(u"Kolu"_s))) << "no half-filled data folder";
        EXPECT_FALSE(QFileInfo::exists(at(QLatin1StringView(LocalStore::kTakeOverFolderName))));
        store.subdirectory(u"Clipboard"_s);
        EXPECT_FALSE(QFileInfo::exists(at(u"Kolu"_s))) << "asking for a subfolder does not make it either";
    }
    QFile::remove(at(u"Orlix/pipe"_s));
    const LocalStore store;
    EXPECT_FALSE(store.takeOverFailed());
    EXPECT_EQ(std::pair(readFile(u"Kolu/a.json"_s), readFile(u"Kolu/Clipboard/b.png"_s)),
              std::pair(QByteArray("orlix"), QByteArray("png")));
}

TEST_F(LocalStoreTest, WhatAnInterruptedTakeOverLeftIsReplacedByAWholeCopy)
{
    const QString side = QLatin1StringView(LocalStore::kTakeOverFolderName);
    writeFile(u"Orlix/a.json"_s, "orlix");
    writeFile(side + u"/a.js"_s, "half");
    writeFile(side + u"/stale.json"_s, "stale");
    const LocalStore store;
    EXPECT_EQ(readFile(u"Kolu/a.json"_s), "orlix");
    EXPECT_FALSE(QFileInfo::exists(at(u"Kolu/stale.json"_s)) || QFileInfo::exists(at(side)));
}
