#pragma once

#include <QString>

#include <qcoro/qcorotask.h>

namespace kolu {

// Unpacks the zip archive at `archivePath` into a fresh side folder beside
// `libraryFolder` (its folders and regular files only) and puts the side
// folder in place of `libraryFolder` only when at least one image came out.
// An archive is refused whole, before anything is written when its listing
// shows it, when an entry is larger than any wallpaper, or has a name that
// would not stay inside the folder or could be read as an option, or when
// the entries add up to an archive bomb. On every failure the old library
// stays as it was and the side folder is removed. The slow file work runs on
// a worker thread.
//
// Throws WallpaperServiceError: noImageFound when the archive held no image,
// libraryDownloadFailed for everything else.
QCoro::Task<void> unpackWallpaperArchive(QString archivePath, QString libraryFolder);

// Removes the side folders that unpackings of earlier runs left beside
// `libraryFolder` (each folder names the process that made it; those of a
// process still running stay). Slow file work: call it on a worker thread.
void removeLeftoverUnpackFolders(const QString &libraryFolder);

} // namespace kolu
