#include "services/wallpaper/WallpaperListing.h"

#include "TestFiles.h"
#include "ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class WallpaperFolder : public ::testing::Test {
protected:
    void touch(const QString &relative, std::optional<QByteArray> bytes = std::nullopt)
    {
        ASSERT_TRUE(test::writeFile(dir.filePath(relative), bytes.value_or(test::pictureBytes(relative))));
    }

    QStringList names(const QList<WallpaperCandidate> &candidates)
    {
        QStringList result;
        for (const WallpaperCandidate &candidate : candidates)
            result << candidate.sourceID;
        return result;
    }

    QTemporaryDir dir;
};

} // namespace

TEST(WallpaperTitle, RemovesGeneratorNoiseAndSeparators)
{
    EXPECT_EQ(wallpaperDisplayTitle(u"/x/ChatGPT Image Sep 27, 2026, 10_15_32 AM.png"_s, 1), u"10 15 32 AM"_s);
    EXPECT_EQ(wallpaperDisplayTitle(u"/x/___.jpg"_s, 3), u"Wallpaper 3"_s);
    // Only the last extension goes; inner runs of spaces stay.
    EXPECT_EQ(wallpaperDisplayTitle(u"/x/a.b-c__d.png"_s, 1), u"a.b c  d"_s);
    // Case matters for the removed phrases.
    EXPECT_EQ(wallpaperDisplayTitle(u"/x/chatgpt image 1.png"_s, 1), u"chatgpt image 1"_s);
}

TEST(WallpaperID, KeepsLettersDigitsDashAndUnderscoreOnly)
{
    EXPECT_EQ(QString(u"localFolder-"_s + sanitizedWallpaperID(u"/Users/a/My Pics/sea.jpg"_s)),
              u"localFolder--Users-a-My-Pics-sea-jpg"_s);
    // Non-ASCII letters stay; each scalar outside the set becomes one "-",
    // including one outside the basic plane, and nothing is collapsed.
    EXPECT_EQ(sanitizedWallpaperID(u"Çay_ş..é😀x"_s), u"Çay_ş--é-x"_s);
}

TEST_F(WallpaperFolder, ListsImagesInNaturalOrderAcrossSubfolders)
{
    touch(u"10.jpg"_s);
    touch(u"2.jpg"_s);
    touch(u"1.jpg"_s);
    touch(u"Sub/b.JPG"_s);
    touch(u"a.webp"_s);
    touch(u"c.heic"_s);
    touch(u"anim.gif"_s);
    touch(u".hidden.png"_s);
    touch(u".hiddenfolder/inside.png"_s);
    QDir().mkpath(dir.filePath(u"folder.png"_s));
    touch(u"notes.txt"_s);
    // Named like images, but none: text, nothing, and a file far too large.
    touch(u"page.png"_s, QByteArray("<!DOCTYPE html>"));
    touch(u"empty.jpg"_s, QByteArray());
    touch(u"huge.jpg"_s);
    ASSERT_TRUE(QFile::resize(dir.filePath(u"huge.jpg"_s), kMaxWallpaperImageBytes + 1));

    const QList<WallpaperCandidate> found = listWallpaperFolder(dir.path(), WallpaperSource::localFolder);
    EXPECT_EQ(names(found), (QStringList{u"1.jpg"_s, u"2.jpg"_s, u"10.jpg"_s, u"a.webp"_s, u"b.JPG"_s, u"c.heic"_s}));

    const WallpaperCandidate &inSub = found.at(4);
    const QString path = QDir::cleanPath(dir.filePath(u"Sub/b.JPG"_s));
    EXPECT_EQ(inSub.id, QString(u"localFolder-"_s + sanitizedWallpaperID(path)));
    EXPECT_TRUE(inSub.id.endsWith(u"-Sub-b-JPG"_s));
    EXPECT_EQ(inSub.title, u"b"_s);
    EXPECT_EQ(inSub.localFileURL, QUrl::fromLocalFile(path));
    EXPECT_EQ(inSub.imageURL, QUrl::fromLocalFile(path));
}

TEST_F(WallpaperFolder, TitlesUseThePositionInTheSortedList)
{
    touch(u"b.png"_s);
    touch(u"___.png"_s);
    touch(u"a.png"_s);
    const QList<WallpaperCandidate> found = listWallpaperFolder(dir.path(), WallpaperSource::dropbox);
    ASSERT_EQ(found.size(), 3);
    // "___" sorts first under the collator; its title takes its own position.
    QStringList titles;
    for (const auto &c : found)
        titles << c.title;
    const qsizetype blank = names(found).indexOf(u"___.png"_s);
    ASSERT_GE(blank, 0);
    EXPECT_EQ(titles.at(blank), u"Wallpaper %1"_s.arg(blank + 1));
}

TEST_F(WallpaperFolder, NeverListsOrFollowsSymbolicLinks)
{
    QTemporaryDir outside;
    QFile(outside.filePath(u"secret.png"_s)).open(QIODevice::WriteOnly);
    touch(u"real.png"_s);
    QFile::link(outside.filePath(u"secret.png"_s), dir.filePath(u"link.png"_s));
    QFile::link(outside.path(), dir.filePath(u"linkedfolder"_s));

    EXPECT_EQ(names(listWallpaperFolder(dir.path(), WallpaperSource::dropbox)), QStringList{u"real.png"_s});
}

TEST(WallpaperFolderMissing, ListsNothing)
{
    EXPECT_TRUE(listWallpaperFolder(u"/nonexistent/kolu-wallpapers"_s, WallpaperSource::localFolder).isEmpty());
}
