#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kolu {

// One entry of a zip archive's central directory, as the archive declares it.
struct ZipEntry {
    QByteArray name;
    qint64 compressedSize = 0;
    qint64 uncompressedSize = 0;
};

// The entries the zip archive at `path` declares in its central directory
// (Zip64 included), without unpacking anything. Nothing when the file is no
// zip archive, is damaged, or declares more than `maxEntries` entries.
std::optional<std::vector<ZipEntry>> readZipListing(const QString &path, qsizetype maxEntries);

// Bounds on what an archive may unpack to.
struct UnpackBounds {
    qint64 maxEntryBytes = 0; // larger entries are skipped
    qint64 maxTotalBytes = 0; // what the kept entries may add up to
    qint64 maxRatio = 0;      // of that total to the archive's size
    qsizetype maxSkipped = 0; // more skipped entries refuse the archive
};

// What to unpack of an archive of `archiveBytes` bytes: nothing when the
// kept entries add up to more than the bounds allow (an archive bomb), else
// the names of the entries to skip.
struct UnpackPlan {
    bool refused = false;
    QStringList skipped;
};
UnpackPlan planUnpacking(const std::vector<ZipEntry> &entries, qint64 archiveBytes, const UnpackBounds &bounds);

} // namespace kolu
