#include "services/wallpaper/ZipListing.h"

#include "../ServiceTests.h"
#include "ZipWriter.h"

using namespace kolu;

TEST(ZipListing, ReadsDeclaredSizesRefusesWhatIsNoArchiveAndRefusesHugeEntriesBombsAndHostileNames)
{
    QTemporaryDir dir;
    test::ZipWriter zip;
    zip.addFile(u"Set/a.png"_s, "12345");
    zip.addDeflatedFile(u"zeros.jpg"_s, QByteArray(100000, '\0'));
    zip.addClaimedFile(u"claims.png"_s, 3'000'000'000u);
    const QString path = dir.filePath(u"a.zip"_s);
    ASSERT_TRUE(test::writeFile(path, zip.bytes()));

    const std::vector<ZipEntry> listing = readZipListing(path, 10).value();
    ASSERT_EQ(listing.size(), 3u);
    EXPECT_EQ(listing[0].name, "Set/a.png");
    EXPECT_EQ(listing[0].uncompressedSize, 5);
    EXPECT_EQ(listing[1].uncompressedSize, 100000);
    EXPECT_LT(listing[1].compressedSize, 1000);
    EXPECT_EQ(listing[2].uncompressedSize, 3'000'000'000);
    EXPECT_FALSE(readZipListing(path, 2)) << "more entries than allowed";

    // Not an archive, a cut-off one, and a missing file.
    const QByteArray whole = zip.bytes();
    for (const QByteArray &bytes : {QByteArray("<!DOCTYPE html>"), whole.left(whole.size() - 10), QByteArray()}) {
        ASSERT_TRUE(test::writeFile(path, bytes));
        EXPECT_FALSE(readZipListing(path, 10)) << bytes.left(20).constData();
    }
    EXPECT_FALSE(readZipListing(dir.filePath(u"missing.zip"_s), 10));

    // Huge entries, bombs and names that leave the folder or read as options refuse the archive.
    const UnpackBounds bounds{.maxEntryBytes = 100, .maxTotalBytes = 1000, .maxRatio = 20};
    const auto entry = [](const char *name, qint64 packed, qint64 size) { return ZipEntry{name, packed, size}; };
    const struct {
        const char *what;
        std::vector<ZipEntry> entries;
        qint64 archiveBytes;
        bool allowed;
    } cases[] = {
        {"plain", {entry("a", 90, 90), entry("Set/b..c/.d", 50, 50)}, 200, true},
        {"one entry larger than the bound", {entry("a", 90, 90), entry("huge", 101, 101)}, 300, false},
        {"kept total over the bound", std::vector<ZipEntry>(11, entry("a", 100, 100)), 1200, false},
        {"ratio over the bound", {entry("zeros", 1, 100)}, 4, false},
        {"ratio at the bound", {entry("zeros", 1, 100)}, 5, true},
        {"parent folder", {entry("a/../../b", 1, 1)}, 100, false},
        {"parent folder at the end", {entry("a/..", 1, 1)}, 100, false},
        {"absolute", {entry("/etc/b", 1, 1)}, 100, false},
        {"an option", {entry("-d", 1, 1)}, 100, false},
        {"dashes", {entry("--", 1, 1)}, 100, false},
        {"empty", {entry("", 1, 1)}, 100, false},
        {"a NUL inside", {ZipEntry{QByteArray("a\0/../b", 7), 1, 1}}, 100, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(mayUnpack(c.entries, c.archiveBytes, bounds), c.allowed);
    }
}
