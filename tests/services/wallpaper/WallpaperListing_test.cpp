#include "services/wallpaper/WallpaperListing.h"

#include "../ServiceTests.h"
#include "ZipWriter.h"

using namespace kolu;

namespace {

TEST(WallpaperFolder, ListsImagesInNaturalOrderAcrossSubfoldersButNoLinksWithTitlesAndIdsOfTheirNames)
{
    QTemporaryDir dir, outside;
    for (const QString &name :
         {u"10.jpg"_s, u"2.jpg"_s, u"1.jpg"_s, u"Sub/b.JPG"_s, u"a.webp"_s, u"c.heic"_s, u"___.png"_s, u"anim.gif"_s,
          u".hidden.png"_s, u".hiddenfolder/inside.png"_s, u"notes.txt"_s, u"huge.jpg"_s})
        ASSERT_TRUE(test::writeFile(dir.filePath(name), test::pictureBytes(name)));
    ASSERT_TRUE(QFile::resize(dir.filePath(u"huge.jpg"_s), kMaxWallpaperImageBytes + 1));
    // Named like images, but none: a folder, text, nothing, and links out.
    QDir().mkpath(dir.filePath(u"folder.png"_s));
    ASSERT_TRUE(test::writeFile(dir.filePath(u"page.png"_s), "<!DOCTYPE html>"));
    ASSERT_TRUE(test::writeFile(dir.filePath(u"empty.jpg"_s), {}));
    ASSERT_TRUE(test::writeFile(outside.filePath(u"secret.png"_s), test::pictureBytes(u"secret.png"_s)));
    QFile::link(outside.filePath(u"secret.png"_s), dir.filePath(u"link.png"_s));
    QFile::link(outside.path(), dir.filePath(u"linkedfolder"_s));

    const QList<WallpaperCandidate> found = listWallpaperFolder(dir.path(), WallpaperSource::localFolder);
    EXPECT_EQ(test::each(found, &WallpaperCandidate::sourceID),
              (QStringList{u"___.png"_s, u"1.jpg"_s, u"2.jpg"_s, u"10.jpg"_s, u"a.webp"_s, u"b.JPG"_s, u"c.heic"_s}));
    // A title takes the position in the sorted list.
    EXPECT_EQ(found.at(0).title, u"Wallpaper 1"_s);

    const WallpaperCandidate &inSub = found.at(5);
    const QString path = QDir::cleanPath(dir.filePath(u"Sub/b.JPG"_s));
    EXPECT_EQ(inSub.id, QString(u"localFolder-"_s + sanitizedWallpaperID(path)));
    EXPECT_TRUE(inSub.id.endsWith(u"-Sub-b-JPG"_s));
    EXPECT_TRUE(inSub.title == u"b"_s && inSub.localFileURL == QUrl::fromLocalFile(path)
                && inSub.imageURL == QUrl::fromLocalFile(path));

    EXPECT_TRUE(listWallpaperFolder(dir.filePath(u"missing"_s), WallpaperSource::localFolder).isEmpty());

    // Titles lose generator noise and separators.
    EXPECT_EQ(wallpaperDisplayTitle(u"/x/ChatGPT Image Sep 27, 2026, 10_15_32 AM.png"_s, 1), u"10 15 32 AM"_s);
    EXPECT_EQ(wallpaperDisplayTitle(u"/x/___.jpg"_s, 3), u"Wallpaper 3"_s);
    // Only the last extension goes; inner runs of spaces stay.
    EXPECT_EQ(wallpaperDisplayTitle(u"/x/a.b-c__d.png"_s, 1), u"a.b c  d"_s);
    // Case matters for the removed phrases.
    EXPECT_EQ(wallpaperDisplayTitle(u"/x/chatgpt image 1.png"_s, 1), u"chatgpt image 1"_s);
    // Non-ASCII letters stay; each scalar outside the set, even outside the
    // basic plane, becomes one "-", and nothing is collapsed.
    EXPECT_EQ(sanitizedWallpaperID(u"Çay_ş..é😀x"_s), u"Çay_ş--é-x"_s);
}

} // namespace
