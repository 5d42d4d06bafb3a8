#pragma once

#include "model/Records.h"

#include <QList>
#include <QString>

namespace kolu {

// What the wallpaper list shows of an image file: its name without the
// extension, made readable; "Wallpaper <index>" when nothing readable is left.
QString wallpaperDisplayTitle(const QString &filePath, int index);

// `text` with every character other than a letter, digit, mark, "-" or "_"
// turned into one "-", so a path can serve as part of an id.
QString sanitizedWallpaperID(const QString &text);

// Whether a file name has one of the image extensions the list shows.
bool hasWallpaperImageExtension(const QString &fileName);

// Image files larger than this are not listed (nor unpacked from an archive).
inline constexpr qint64 kMaxWallpaperImageBytes = 128 * 1024 * 1024;

// Whether `head`, the first bytes of a file, start like a PNG, JPEG, WebP or
// HEIF image. 12 bytes are enough.
bool startsLikeImage(const QByteArray &head);

// Every image file below `folder`, subfolders included, in the order a file
// manager shows names (case-insensitive, digit runs by value). A file counts
// when its name has an image extension, its first bytes read as an image and
// it is no larger than kMaxWallpaperImageBytes. Hidden entries
// are skipped, and symbolic links are neither listed nor followed, so nothing
// outside `folder` is ever listed. Empty when the folder cannot be read or
// holds no image.
QList<WallpaperCandidate> listWallpaperFolder(const QString &folder, WallpaperSource source);

} // namespace kolu
