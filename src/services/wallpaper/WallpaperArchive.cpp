#include "services/wallpaper/WallpaperArchive.h"

#include "services/wallpaper/WallpaperListing.h"
#include "services/wallpaper/WallpaperServiceError.h"
#include "services/wallpaper/ZipExtraction.h"
#include "services/wallpaper/ZipListing.h"
#include "model/WorkerAwait.h"

#include <qcoro/qcorofuture.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>

#include <csignal>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace kolu {

namespace {

namespace fs = std::filesystem;

using Case = WallpaperServiceError::Case;

// What a wallpaper archive may hold. Pictures hardly compress, so a high
// ratio of unpacked to packed bytes marks an archive bomb.
constexpr qsizetype kMaxArchiveEntries = 20'000;
constexpr UnpackBounds kUnpackBounds{
    .maxEntryBytes = kMaxWallpaperImageBytes,
    .maxTotalBytes = qint64(2) * 1024 * 1024 * 1024,
    .maxRatio = 20,
};

// Whether the archive at `path` may be unpacked, from its listing alone.
// Runs on a worker thread.
bool listingAllowsUnpacking(const QString &path)
{
    const std::optional<std::vector<ZipEntry>> listing = readZipListing(path, kMaxArchiveEntries);
    return listing && mayUnpack(*listing, QFileInfo(path).size(), kUnpackBounds);
}

fs::path toPath(const QString &path)
{
    return fs::path(path.toStdU16String());
}

void removeTree(const QString &folder)
{
    std::error_code error;
    fs::remove_all(toPath(folder), error); // never follows links; a leftover is harmless
}

// The prefix of the side folders beside `libraryFolder`: hidden, so the
// listing never sees them, and on the same file system for the final rename.
QString sideFolderPrefix(const QString &libraryFolder)
{
    return QString(u'.' + QFileInfo(libraryFolder).fileName() + u'-');
}

// Whether the process `pid` still runs (one of another user counts too).
bool isRunning(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

QMutex &swapMutex()
{
    static QMutex mutex;
    return mutex;
}

// Unpacks the archive into the side folder and swaps it in. Runs on a
// worker thread. Reports the failure case, or nothing on success.
std::optional<Case> installUnpackedLibrary(const QString &archivePath, const QString &sideFolder,
                                           const QString &libraryFolder)
{
    if (!extractZipArchive(archivePath, sideFolder, kUnpackBounds)) {
        removeTree(sideFolder);
        return Case::libraryDownloadFailed;
    }
    if (listWallpaperFolder(sideFolder, WallpaperSource::dropbox).isEmpty()) {
        removeTree(sideFolder);
        return Case::noImageFound;
    }

    // Two unpackings finishing at once must not interleave their renames.
    QMutexLocker lock(&swapMutex());
    const fs::path library = toPath(libraryFolder);
    const fs::path retired = toPath(QString(sideFolder + u"-old"_s));
    std::error_code error;
    const bool hadLibrary = fs::symlink_status(library, error).type() != fs::file_type::not_found;
    if (hadLibrary) {
        fs::rename(library, retired, error);
        if (error) {
            removeTree(sideFolder);
            return Case::libraryDownloadFailed;
        }
    }
    fs::rename(toPath(sideFolder), library, error);
    if (error) {
        std::error_code ignored;
        if (hadLibrary)
            fs::rename(retired, library, ignored);
        removeTree(sideFolder);
        return Case::libraryDownloadFailed;
    }
    if (hadLibrary)
        removeTree(QString(sideFolder + u"-old"_s));
    return std::nullopt;
}

} // namespace

QCoro::Task<void> unpackWallpaperArchive(QString archivePath, QString libraryFolder)
{
    // The listing first: a bomb or a hostile name is refused before anything
    // is written. The unpacking checks each entry again as it comes.
    if (!co_await afterWorker(QtConcurrent::run(listingAllowsUnpacking, archivePath)))
        throw WallpaperServiceError(Case::libraryDownloadFailed);

    // Named after this process, so that a later start can tell it from the
    // work of a Kolu that still runs.
    const QString parent = QFileInfo(libraryFolder).absolutePath();
    QString sideFolder;
    {
        QTemporaryDir side(QString(parent + u'/' + sideFolderPrefix(libraryFolder)
                                   + QString::number(QCoreApplication::applicationPid()) + u"-XXXXXX"));
        if (!side.isValid())
            throw WallpaperServiceError(Case::libraryDownloadFailed);
        side.setAutoRemove(false);
        sideFolder = side.path();
    }

    const std::optional<Case> failure =
        co_await afterWorker(QtConcurrent::run(installUnpackedLibrary, archivePath, sideFolder, libraryFolder));
    if (failure)
        throw WallpaperServiceError(*failure);
}

void removeLeftoverUnpackFolders(const QString &libraryFolder)
{
    const QString prefix = sideFolderPrefix(libraryFolder);
    const QDir parent(QFileInfo(libraryFolder).absolutePath());
    const QStringList names =
        parent.entryList({QString(prefix + u'*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        // "<pid>-XXXXXX" with "-old" while it is being retired; a name
        // without a process is from an older version and as good as gone.
        const QStringList parts = name.mid(prefix.size()).split(u'-');
        bool numeric = false;
        const qint64 pid = parts.front().toLongLong(&numeric);
        if (parts.size() >= 2 && numeric && parts.at(1).size() == 6 && isRunning(pid))
            continue;
        removeTree(parent.filePath(name));
    }
}

} // namespace kolu
