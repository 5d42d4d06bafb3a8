#include "services/wallpaper/ZipListing.h"

#include "../ServiceTests.h"
#include "ZipWriter.h"

using namespace kolu;

TEST(ZipListing, ReadsDeclaredSizesRefusesWhatIsNoArchiveAndPlansToSkipHugeEntriesAndRefuseBombs)
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

    // The plan skips huge entries and refuses bombs.
    const UnpackBounds bounds{.maxEntryBytes = 100, .maxTotalBytes = 1000, .maxRatio = 20, .maxSkipped = 2};
    const auto entry = [](const char *name, qint64 packed, qint64 size) { return ZipEntry{name, packed, size}; };
    const struct {
        const char *what;
        std::vector<ZipEntry> entries;
        qint64 archiveBytes;
        bool refused;
        QStringList skipped;
    } cases[] = {
        {"plain", {entry("a", 90, 90), entry("b", 50, 50)}, 200, false, {}},
        {"one huge entry is skipped", {entry("a", 90, 90), entry("huge", 150, 150)}, 300, false, {u"huge"_s}},
        {"too much in all", {entry("a", 100, 100)}, 100 * 11, false, {}},
        {"kept total over the bound", std::vector<ZipEntry>(11, entry("a", 100, 100)), 1200, true, {}},
        {"ratio over the bound", {entry("zeros", 1, 100)}, 4, true, {}},
        {"a skipped bomb still counts", {entry("zeros", 1, 1'000'000), entry("a", 10, 10)}, 100, true, {}},
        {"too many skipped", {entry("x", 200, 200), entry("y", 200, 200), entry("z", 200, 200)}, 600, true, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const UnpackPlan plan = planUnpacking(c.entries, c.archiveBytes, bounds);
        EXPECT_EQ(std::pair(plan.refused, plan.skipped), std::pair(c.refused, c.skipped));
    }
}
