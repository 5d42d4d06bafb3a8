#pragma once

#include "model/Clock.h"
#include "model/Records.h"
#include "model/UserDefaults.h"
#include "platform/desktop/DesktopPicture.h"
#include "platform/desktop/FolderPicker.h"
#include "services/wallpaper/WallpaperServiceError.h"

#include <QList>
#include "platform/net/Http.h"
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <optional>

namespace kolu {

struct WallpaperApplyResult {
    QUrl fileURL; // the image file that was set
    // The main display alone was asked for, but this desktop sets one picture
    // for every display; the status line should say so.
    bool setOnEveryDisplayInstead = false;
};

// Lists the wallpapers to browse, from the folder the user picked or else
// from the web library (a zip archive downloaded once, unpacked into
// `downloadDirectory` and kept there), and sets one as desktop picture.
// Runs on the main thread; the slow file work runs on workers.
class WallpaperService {
public:
    static QUrl defaultArchiveURL();

    // The status note for WallpaperApplyResult::setOnEveryDisplayInstead.
    static QString everyDisplayNotice();
    // Removes what downloads and unpackings of earlier runs left in
    // `downloadDirectory` when they were killed. Slow file work: call it on a
    // worker thread, at start, before any refresh.
    static void removeLeftovers(const QString &downloadDirectory);

    WallpaperService(Network &session, QString downloadDirectory, UserDefaults &defaults,
                     DesktopPicture &desktopPicture, FolderPicker &folderPicker, Clock &clock = SystemClock::instance(),
                     QUrl archiveURL = defaultArchiveURL());

    const QString &downloadDirectory() const { return m_downloadDirectory; }
    const QUrl &dropboxArchiveURL() const { return m_dropboxArchiveURL; }
    QString archivePath() const;
    QString libraryFolder() const;

    // Asks for a folder; a confirmed choice is stored as the local folder
    // and returned. A cancelled picker changes nothing.
    QCoro::Task<std::optional<QString>> chooseLocalFolder();

    // The local folder's images when one is set and still there, else the
    // web library's (downloaded again when `refreshRemote` is set or nothing
    // usable is cached). `library` does not change the result. Throws
    // WallpaperServiceError.
    QCoro::Task<QList<WallpaperCandidate>> wallpapers(WallpaperLibrary library, bool refreshRemote);

    // Sets `candidate` as desktop picture on every display, or on the main
    // one. Throws WallpaperServiceError, or the desktop's own failure.
    QCoro::Task<WallpaperApplyResult> apply(WallpaperCandidate candidate, bool toAllDisplays);

private:
    std::optional<QString> localFolderPath() const;
    QCoro::Task<QList<WallpaperCandidate>> refreshDropboxLibrary(bool forceDownload);
    QCoro::Task<void> downloadAndUnpack();
    static QCoro::Task<QList<WallpaperCandidate>> candidates(QString folder, WallpaperSource source);
    static std::optional<QString> localImagePath(const WallpaperCandidate &candidate);

    Network &m_session;
    QString m_downloadDirectory;
    UserDefaults &m_defaults;
    DesktopPicture &m_desktopPicture;
    FolderPicker &m_folderPicker;
    Clock &m_clock;
    QUrl m_dropboxArchiveURL;
};

} // namespace kolu
