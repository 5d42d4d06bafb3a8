#include "services/clipboard/ClipboardService.h"

#include "model/AtomicFile.h"
#include "platform/desktop/Pasteboard.h"
#include "services/clipboard/ClipboardCapture.h"
#include "services/clipboard/ScreenshotFinder.h"
#include "model/WorkerAwait.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Clears an in-flight flag when a capture ends, unless the service is gone.
class InFlight {
public:
    InFlight(ClipboardService *service, bool &flag)
        : m_service(service)
        , m_flag(&flag)
    {
        flag = true;
    }
    ~InFlight()
    {
        if (m_service)
            *m_flag = false;
    }
    InFlight(const InFlight &) = delete;
    InFlight &operator=(const InFlight &) = delete;

private:
    QPointer<ClipboardService> m_service;
    bool *m_flag;
};

// Writes `bytes` as a new file in `folder`; the path, or nothing.
std::optional<QString> writeNewFile(const std::shared_ptr<const PrivateFolder> &folder, const QString &fileName,
                                    const QByteArray &bytes)
{
    if (!folder)
        return std::nullopt; // no data folder of the user's
    const QString name =
        clipboard::unusedFileName(fileName, [&folder](const QString &candidate) { return folder->holds(candidate); });
    if (folder->saveFile(name, bytes) != WriteOutcome::written)
        return std::nullopt;
    return QString(folder->path() + u'/' + name);
}

std::shared_ptr<const PrivateFolder> openImageFolder(const QString &directory)
{
    if (directory.isEmpty())
        return nullptr;
    auto opened = PrivateFolder::open(directory, {.create = false, .tighten = true});
    return opened ? std::make_shared<const PrivateFolder>(std::move(*opened)) : nullptr;
}

// The worker's part of a read: the reader stays alive while it runs. (A
// function, not a capturing lambda: GCC 12 destroys a lambda made inside a
// co_await expression twice.)
PasteboardReading readShared(const std::shared_ptr<const PasteboardContent> &reader)
{
    return readPasteboard(*reader);
}

ClipboardItem makeItem(ClipboardItemKind kind, QString title, QString value, const QDateTime &now,
                       std::optional<QString> sourceURL, std::optional<QString> filePath)
{
    return ClipboardItem{QUuid::createUuid(), kind, std::move(title), std::move(value), now, std::move(sourceURL),
                         std::move(filePath)};
}

} // namespace

ClipboardService::ClipboardService(Pasteboard &pasteboard, QString imageDirectory, Clock &clock,
                                   QStringList screenshotFolders, QObject *parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_imageDirectory(std::move(imageDirectory))
    , m_imageFolder(openImageFolder(m_imageDirectory))
    , m_clock(clock)
    , m_screenshotFolders(std::move(screenshotFolders))
    , m_lastChangeCount(pasteboard.changeCount())
{
    allowImagesWithinCaptureBound();
}

ClipboardService::ClipboardService(Pasteboard &pasteboard, std::shared_ptr<const PrivateFolder> imageFolder,
                                   Clock &clock, QStringList screenshotFolders, QObject *parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_imageDirectory(imageFolder ? imageFolder->path() : QString())
    , m_imageFolder(std::move(imageFolder))
    , m_clock(clock)
    , m_screenshotFolders(std::move(screenshotFolders))
    , m_lastChangeCount(pasteboard.changeCount())
{
    allowImagesWithinCaptureBound();
}

ClipboardService::~ClipboardService() = default;

QCoro::Task<std::optional<ClipboardCaptureResult>> ClipboardService::captureLatestIfNeeded()
{
    if (m_pollInFlight)
        co_return std::nullopt;
    const qint64 count = m_pasteboard.changeCount();
    if (count == m_lastChangeCount)
        co_return std::nullopt;
    // Consumed from here on, whatever comes of it.
    m_lastChangeCount = count;

    QPointer<ClipboardService> self(this);
    InFlight inFlight(this, m_pollInFlight);

    // Another program's content may be megabytes sent in pieces: fetched on a
    // worker when the pasteboard can, so the interface keeps moving.
    PasteboardReading reading;
    const std::shared_ptr<const PasteboardContent> reader = m_pasteboard.workerReader();
    if (reader) {
        reading = co_await afterWorker(QtConcurrent::run(&readShared, reader));
        if (!self)
            co_return std::nullopt;
    } else {
        reading = readPasteboard(m_pasteboard);
    }
    if (reading.kind == PasteboardReading::Kind::nothing || reading.kind == PasteboardReading::Kind::oversizedImage)
        co_return std::nullopt;

    std::optional<PreparedCapture> prepared;
    if (reading.kind == PasteboardReading::Kind::file || reading.kind == PasteboardReading::Kind::link)
        prepared = prepareCapture(reading); // nothing heavy to do
    else
        prepared = co_await afterWorker(QtConcurrent::run(&prepareCapture, std::move(reading)));
    if (!self || !prepared || !m_recentFingerprints.remember(prepared->fingerprint))
        co_return std::nullopt;

    const QDateTime now = m_clock.now();
    if (prepared->kind != ClipboardItemKind::image) {
        co_return ClipboardCaptureResult{
            makeItem(prepared->kind, prepared->title, prepared->value, now, prepared->sourceURL, prepared->filePath)};
    }

    // A failed write leaves the fingerprint remembered: the same image is
    // not tried again on every copy of it.
    const QString fileName = clipboard::captureFileName(u"clipboard-"_s, now, u"png"_s);
    const std::optional<QString> path =
        co_await afterWorker(QtConcurrent::run(&writeNewFile, m_imageFolder, fileName, std::move(prepared->png)));
    if (!self || !path)
        co_return std::nullopt;
    co_return ClipboardCaptureResult{
        makeItem(ClipboardItemKind::image, prepared->title, *path, now, std::nullopt, *path)};
}

QCoro::Task<std::optional<ClipboardCaptureResult>> ClipboardService::captureRecentScreenshotIfNeeded()
{
    if (m_scanInFlight)
        co_return std::nullopt;
    const QDateTime now = m_clock.now();
    QDateTime from = now.addSecs(-kScreenshotLookbackSeconds);
    // Successive scans overlap by a second, so a file dated just at the
    // previous scan is still seen; its fingerprint keeps it from being
    // taken twice.
    if (m_lastScreenshotScan.isValid())
        from = std::max(from, m_lastScreenshotScan.addSecs(-1));
    m_lastScreenshotScan = now;

    QPointer<ClipboardService> self(this);
    InFlight inFlight(this, m_scanInFlight);

    std::optional<FoundScreenshot> found = co_await afterWorker(QtConcurrent::run(
        &findNewestScreenshot, m_screenshotFolders, from, now.addSecs(2), clipboard::kMaxScreenshotBytes));
    if (!self || !found)
        co_return std::nullopt;
    const QString fingerprint = QString(u"screenshot:"_s + clipboard::sha256Hex(found->bytes));
    if (!m_recentFingerprints.remember(fingerprint))
        co_return std::nullopt;

    QString extension = QFileInfo(found->path).suffix();
    if (extension.isEmpty())
        extension = u"png"_s;
    const QDateTime stamp = m_clock.now();
    const QString fileName = clipboard::captureFileName(u"screenshot-"_s, stamp, extension);
    const std::optional<QString> path =
        co_await afterWorker(QtConcurrent::run(&writeNewFile, m_imageFolder, fileName, std::move(found->bytes)));
    if (!self || !path)
        co_return std::nullopt;
    co_return ClipboardCaptureResult{
        makeItem(ClipboardItemKind::image, u"Screenshot"_s, *path, stamp, std::nullopt, *path)};
}

QStringList ClipboardService::defaultScreenshotFolders()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QStringList candidates;
    if (!pictures.isEmpty())
        candidates << QString(pictures + u"/Screenshots"_s) << pictures;
    if (!desktop.isEmpty())
        candidates << desktop;
    QStringList folders;
    for (const QString &folder : std::as_const(candidates)) {
        const QString clean = QDir::cleanPath(folder);
        if (!folders.contains(clean))
            folders.append(clean);
    }
    return folders;
}

} // namespace kolu
