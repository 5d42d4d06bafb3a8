#include "services/wallpaper/WallpaperService.h"

#include "model/PrivateFiles.h"

#include "model/LeftoverFiles.h"
#include "platform/net/Http.h"
#include "services/wallpaper/WallpaperArchive.h"
#include "services/wallpaper/WallpaperListing.h"
#include "model/WorkerAwait.h"

#include <qcoro/qcorofuture.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>
#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace kolu {

namespace {

using Case = WallpaperServiceError::Case;

constexpr auto kDownloadTimeout = 90s;
// A larger answer is no wallpaper library.
constexpr qint64 kMaxArchiveBytes = qint64(1) * 1024 * 1024 * 1024;
const QString kArchiveFileName = u"orlix-wallpapers-dropbox.zip"_s;
const QString kLibraryFolderName = u"DropboxLibrary"_s;

void removeFile(const QString &path)
{
    QFile::remove(path);
}

bool isFileAt(const QString &path)
{
    return QFileInfo(path).isFile();
}

} // namespace

QUrl WallpaperService::defaultArchiveURL()
{
    return QUrl(u"https://www.dropbox.com/scl/fo/p3kd8wq2mz0vnx7rt5yhc/BvQ7LtRnw_Ez3KpYdM8sXaH"
                "?rlkey=q7m2vw0dkx4prt9nhe3ab5cuz&dl=1"_s);
}

QString WallpaperService::everyDisplayNotice()
{
    return u"This desktop shows the same picture on every display."_s;
}

WallpaperService::WallpaperService(Network &session, QString downloadDirectory, UserDefaults &defaults,
                                   DesktopPicture &desktopPicture, FolderPicker &folderPicker, Clock &clock,
                                   QUrl archiveURL)
    : m_session(session)
    , m_downloadDirectory(QDir::cleanPath(downloadDirectory))
    , m_defaults(defaults)
    , m_desktopPicture(desktopPicture)
    , m_folderPicker(folderPicker)
    , m_clock(clock)
    , m_dropboxArchiveURL(std::move(archiveURL))
{
    QDir().mkpath(m_downloadDirectory); // a failure shows up when the library is refreshed
}

QString WallpaperService::archivePath() const
{
    return QString(m_downloadDirectory + u'/' + kArchiveFileName);
}

QString WallpaperService::libraryFolder() const
{
    return QString(m_downloadDirectory + u'/' + kLibraryFolderName);
}

void WallpaperService::removeLeftovers(const QString &downloadDirectory)
{
    removeLeftoverSaveCopies(downloadDirectory, [](const QString &name) { return name == kArchiveFileName; });
    removeLeftoverUnpackFolders(QString(downloadDirectory + u'/' + kLibraryFolderName));
}

QCoro::Task<std::optional<QString>> WallpaperService::chooseLocalFolder()
{
    const std::optional<QString> chosen =
        co_await m_folderPicker.chooseFolder({u"Choose Wallpaper Folder"_s, u"Use Folder"_s, false});
    if (!chosen || chosen->isEmpty())
        co_return std::nullopt;
    m_defaults.set(SettingsKey::wallpaperLocalFolderPath, *chosen);
    m_defaults.set(SettingsKey::wallpaperLocalFolderName, lastPathComponent(*chosen));
    co_return chosen;
}

std::optional<QString> WallpaperService::localFolderPath() const
{
    const std::optional<QString> path = m_defaults.string(SettingsKey::wallpaperLocalFolderPath);
    if (!path || path->isEmpty() || !QFileInfo::exists(*path))
        return std::nullopt;
    return path;
}

QCoro::Task<QList<WallpaperCandidate>> WallpaperService::wallpapers(WallpaperLibrary, bool refreshRemote)
{
    if (const std::optional<QString> folder = localFolderPath())
        co_return co_await candidates(*folder, WallpaperSource::localFolder);
    co_return co_await refreshDropboxLibrary(refreshRemote);
}

QCoro::Task<QList<WallpaperCandidate>> WallpaperService::candidates(QString folder, WallpaperSource source)
{
    const QList<WallpaperCandidate> found =
        co_await afterWorker(QtConcurrent::run(listWallpaperFolder, folder, source));
    if (found.isEmpty())
        throw WallpaperServiceError(Case::noImageFound);
    co_return found;
}

QCoro::Task<QList<WallpaperCandidate>> WallpaperService::refreshDropboxLibrary(bool forceDownload)
{
    std::error_code error;
    std::filesystem::create_directories(m_downloadDirectory.toStdU16String(), error);
    if (error)
        throw Error(QString::fromLocal8Bit(error.message()));

    const QString library = libraryFolder();
    if (!forceDownload && QFileInfo(library).isDir()) {
        const QList<WallpaperCandidate> cached =
            co_await afterWorker(QtConcurrent::run(listWallpaperFolder, library, WallpaperSource::dropbox));
        if (!cached.isEmpty())
            co_return cached;
    }

    bool archiveHeldNoImage = false;
    std::exception_ptr unreachable;
    try {
        co_await downloadAndUnpack();
    } catch (const WallpaperServiceError &failure) {
        archiveHeldNoImage = failure.which() == Case::noImageFound;
    } catch (const RequestCancelled &) {
        throw; // the service is going: nothing of it may be touched
    } catch (const HttpStatusError &) {
        // The server answered: the library could not be refreshed.
    } catch (const TransportError &) {
        unreachable = std::current_exception();
    } catch (const Error &) {
        // Whatever went wrong, the cached library (kept intact) is the answer.
    }

    if (QFileInfo(library).isDir())
        co_return co_await candidates(library, WallpaperSource::dropbox);
    // Without a library, a network that could not be reached is named as the cause.
    if (unreachable)
        std::rethrow_exception(unreachable);
    throw WallpaperServiceError(archiveHeldNoImage ? Case::noImageFound : Case::libraryDownloadFailed);
}

QCoro::Task<void> WallpaperService::downloadAndUnpack()
{
    const HttpRequest request{m_dropboxArchiveURL};
    co_await downloadToFile(m_session, request, archivePath(), m_clock, kDownloadTimeout, kMaxArchiveBytes);
    std::exception_ptr failure;
    try {
        co_await unpackWallpaperArchive(archivePath(), libraryFolder());
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        // An archive that could not be unpacked is no use to keep.
        co_await afterWorker(QtConcurrent::run(removeFile, archivePath()));
        std::rethrow_exception(failure);
    }
    // The download and the unpacked files came with the umask's or the
    // archive's modes; like all Kolu keeps, they are the user's alone.
    co_await afterWorker(QtConcurrent::run(&tightenPrivateTree, m_downloadDirectory));
}

std::optional<QString> WallpaperService::localImagePath(const WallpaperCandidate &candidate)
{
    if (candidate.localFileURL && candidate.localFileURL->isLocalFile()) {
        const QString path = candidate.localFileURL->toLocalFile();
        if (isFileAt(path))
            return path;
    }
    if (candidate.imageURL.isLocalFile()) {
        const QString path = candidate.imageURL.toLocalFile();
        if (isFileAt(path))
            return path;
    }
    return std::nullopt;
}

QCoro::Task<WallpaperApplyResult> WallpaperService::apply(WallpaperCandidate candidate, bool toAllDisplays)
{
    const std::optional<QString> path = localImagePath(candidate);
    if (!path)
        throw WallpaperServiceError(Case::invalidImageData);
    if (m_desktopPicture.displays().isEmpty())
        throw WallpaperServiceError(Case::screenUnavailable);

    DesktopPictureResult result;
    try {
        result = co_await m_desktopPicture.setPicture(*path, toAllDisplays ? DisplayTarget::allDisplays
                                                                           : DisplayTarget::mainDisplay);
    } catch (const DesktopPictureError &failure) {
        if (failure.kind() == DesktopPictureError::Kind::noDisplay)
            throw WallpaperServiceError(Case::screenUnavailable);
        throw;
    }
    co_return WallpaperApplyResult{QUrl::fromLocalFile(*path), result.setOnEveryDisplayInstead};
}

} // namespace kolu
