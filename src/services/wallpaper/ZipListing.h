#pragma once

#include <QByteArray>
#include <QString>

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

// Whether `name`, an entry name as the archive gives it, names a place inside
// the folder it is unpacked to and reads as nothing but a name: not empty, no
// NUL, no leading "/" or "-", and no ".." segment.
bool isSafeEntryName(QByteArrayView name);

// Bounds on what an archive may unpack to.
struct UnpackBounds {
    qint64 maxEntryBytes = 0; // a larger entry refuses the archive
    qint64 maxTotalBytes = 0; // what the entries may add up to
    qint64 maxRatio = 0;      // of that total to the archive's size
};

// Whether an archive of `archiveBytes` bytes that declares `entries` may be
// unpacked: every name is safe and no entry is larger than the bounds allow,
// nor do they add up to more (an archive bomb).
bool mayUnpack(const std::vector<ZipEntry> &entries, qint64 archiveBytes, const UnpackBounds &bounds);

} // namespace kolu
