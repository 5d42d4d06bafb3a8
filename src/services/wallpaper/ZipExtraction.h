#pragma once

#include "services/wallpaper/ZipListing.h"

#include <QString>

namespace kolu {

// Unpacks the zip archive at `archivePath` into `folder`, an empty folder of
// our own, in this process. Only folders and regular files are made, each
// new (never over or through anything already there), below `folder`;
// links and special entries are passed over. The whole archive is refused,
// with whatever it wrote left for the caller to remove, when an entry has a
// name isSafeEntryName() refuses, turns out larger than `bounds` allow, or
// appears twice, when the entries add up to more than the bounds, and when
// the archive is damaged, encrypted or no zip archive. Slow file work: call
// it on a worker thread. Returns whether everything was unpacked.
bool extractZipArchive(const QString &archivePath, const QString &folder, const UnpackBounds &bounds);

} // namespace kolu
