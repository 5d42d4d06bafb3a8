#pragma once

#include "platform/system/ProcessRunner.h"

#include <QString>

#include <qcoro/qcorotask.h>

namespace kolu {

// Whether an unzip run counts as a success. Exit status 1 means unzip only
// warned (for instance that it stripped "../" or a leading "/" from an entry
// name) and extracted everything else; 2 and above mean a broken, missing or
// foreign archive, or entries it could not write.
bool unzipSucceeded(const ProcessResult &result);

// Unpacks the zip archive at `archivePath` into a fresh side folder beside
// `libraryFolder`, removes every symbolic link and special file the archive
// made there, and puts the side folder in place of `libraryFolder` only when
// at least one image came out. On every failure the old library stays as it
// was and the side folder is removed. The slow file work runs on a worker
// thread.
//
// Throws WallpaperServiceError: noImageFound when the archive held no image,
// libraryDownloadFailed for everything else.
QCoro::Task<void> unpackWallpaperArchive(ProcessRunner &runner, QString archivePath, QString libraryFolder);

// Removes the side folders that unpackings of earlier runs left beside
// `libraryFolder` (each folder names the process that made it; those of a
// process still running stay). Slow file work: call it on a worker thread.
void removeLeftoverUnpackFolders(const QString &libraryFolder);

} // namespace kolu
