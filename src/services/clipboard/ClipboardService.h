#pragma once

#include "model/Clock.h"
#include "model/PrivateFiles.h"
#include "model/Records.h"
#include "services/clipboard/ClipboardRules.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

namespace kolu {

class Pasteboard;

// A new history entry made by the capture service.
struct ClipboardCaptureResult {
    ClipboardItem item;

    friend bool operator==(const ClipboardCaptureResult &, const ClipboardCaptureResult &) = default;
};

// Turns each new clipboard content, and each fresh screenshot, into one
// history entry. It keeps no history: every call completes with an entry or
// with nothing, and the caller decides what to do with it. Images are written
// as files into `imageDirectory`; texts, links and file references live only
// in the entry.
//
// Reading another program's copy happens on a worker when the pasteboard
// offers a reader for one (otherwise on the calling, main, thread); decoding, PNG encoding,
// hashing, folder listing and file writes always run on a worker, so a huge
// copy does not stall the interface.
class ClipboardService final : public QObject {
    Q_OBJECT
public:
    // `screenshotFolders` are searched for screenshots in this order. Content
    // already on the clipboard when the service is made is never captured.
    ClipboardService(Pasteboard &pasteboard, QString imageDirectory, Clock &clock = SystemClock::instance(),
                     QStringList screenshotFolders = defaultScreenshotFolders(), QObject *parent = nullptr);
    // Images go into `imageFolder`, as it was opened (none: images are not
    // kept).
    ClipboardService(Pasteboard &pasteboard, std::shared_ptr<const PrivateFolder> imageFolder,
                     Clock &clock = SystemClock::instance(), QStringList screenshotFolders = defaultScreenshotFolders(),
                     QObject *parent = nullptr);
    ~ClipboardService() override;

    // One poll of the clipboard. When nothing changed it completes at once
    // having read only the change count. A change that yields nothing is
    // still consumed. While an earlier capture is still being prepared the
    // poll does nothing and leaves the change to the next one, so entries
    // arrive in the order they were copied.
    QCoro::Task<std::optional<ClipboardCaptureResult>> captureLatestIfNeeded();

    // Looks for a screenshot saved since the previous scan (at most the last
    // two minutes) and takes a private copy of the newest one.
    QCoro::Task<std::optional<ClipboardCaptureResult>> captureRecentScreenshotIfNeeded();

    const QString &imageDirectory() const { return m_imageDirectory; }
    const QStringList &screenshotFolders() const { return m_screenshotFolders; }

    // Where screenshot tools save on Linux: ~/Pictures/Screenshots, the
    // pictures folder and the desktop folder of the user's XDG folders.
    static QStringList defaultScreenshotFolders();

    static constexpr int kScreenshotLookbackSeconds = 120;

private:
    Pasteboard &m_pasteboard;
    const QString m_imageDirectory;
    // Images are written through it, whatever is renamed on its path later.
    const std::shared_ptr<const PrivateFolder> m_imageFolder;
    Clock &m_clock;
    const QStringList m_screenshotFolders;
    qint64 m_lastChangeCount = 0;
    QDateTime m_lastScreenshotScan; // invalid: never
    clipboard::FingerprintMemory m_recentFingerprints;
    bool m_pollInFlight = false;
    bool m_scanInFlight = false;
};

} // namespace kolu
