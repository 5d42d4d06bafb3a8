#include "services/wallpaper/WallpaperArchive.h"

#include "services/wallpaper/WallpaperListing.h"
#include "services/wallpaper/WallpaperServiceError.h"
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
    .maxSkipped = 1000,
};

// The plan for the archive at `path`, from its listing alone. Runs on a
// worker thread.
std::optional<UnpackPlan> planArchive(const QString &path)
{
    const std::optional<std::vector<ZipEntry>> listing = readZipListing(path, kMaxArchiveEntries);
    if (!listing)
        return std::nullopt;
    return planUnpacking(*listing, QFileInfo(path).size(), kUnpackBounds);
}

// An entry name as unzip's pattern that matches that name alone.
QString literalPattern(const QString &name)
{
    QString pattern;
    pattern.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'\\' || c == u'*' || c == u'?' || c == u'[')
            pattern += u'\\';
        pattern += c;
    }
    return pattern;
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

// Removes every entry that is not a plain file or folder: links could point
// outside the library, and special files are no pictures.
void removeLinksAndSpecialFiles(const QString &folder)
{
    std::vector<fs::path> doomed;
    std::error_code error;
    fs::recursive_directory_iterator it(toPath(folder), fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::file_status status = it->symlink_status(error);
        if (error)
            break;
        // Linked folders are never entered: the iterator does not follow links.
        if (!fs::is_regular_file(status) && !fs::is_directory(status))
            doomed.push_back(it->path());
    }
    for (const fs::path &path : doomed) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
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

// Cleans the unpacked side folder and swaps it in. Runs on a worker thread.
// Reports the failure case, or nothing on success.
std::optional<Case> installUnpackedLibrary(const QString &sideFolder, const QString &libraryFolder)
{
    removeLinksAndSpecialFiles(sideFolder);
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

bool unzipSucceeded(const ProcessResult &result)
{
    return result.started && !result.timedOut && !result.crashed && (result.exitCode == 0 || result.exitCode == 1);
}

QCoro::Task<void> unpackWallpaperArchive(ProcessRunner &runner, QString archivePath, QString libraryFolder)
{
    const QString unzip = runner.findExecutable(u"unzip"_s);
    if (unzip.isEmpty())
        throw WallpaperServiceError(Case::libraryDownloadFailed);
    // The listing first: a bomb is refused before anything is written.
    const std::optional<UnpackPlan> plan = co_await afterWorker(QtConcurrent::run(planArchive, archivePath));
    if (!plan || plan->refused)
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

    // -o: never stop to ask about an entry that appears twice; -q: quiet;
    // -x: entries too large to be a wallpaper are skipped.
    QStringList arguments{u"-q"_s, u"-o"_s, archivePath};
    if (!plan->skipped.isEmpty()) {
        arguments.append(u"-x"_s);
        for (const QString &name : plan->skipped)
            arguments.append(literalPattern(name));
    }
    arguments.append({u"-d"_s, sideFolder});
    const ProcessResult result = co_await runner.run(unzip, arguments, std::chrono::minutes(10));
    if (!unzipSucceeded(result)) {
        co_await afterWorker(QtConcurrent::run(removeTree, sideFolder));
        throw WallpaperServiceError(Case::libraryDownloadFailed);
    }

    const std::optional<Case> failure =
        co_await afterWorker(QtConcurrent::run(installUnpackedLibrary, sideFolder, libraryFolder));
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
