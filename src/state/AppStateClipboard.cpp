// The clipboard history: taking captures in, the limit, the image files of
// dropped entries, the rail's pulse, and the row actions.
#include "state/AppState.h"

#include "platform/desktop/Pasteboard.h"
#include "platform/desktop/UrlOpener.h"
#include "services/clipboard/ClipboardRules.h"
#include "services/clipboard/ClipboardService.h"
#include "state/AppSettings.h"
#include "state/LinkRules.h"
#include "model/WorkerAwait.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

struct LoadedImage {
    QImage image;
    QByteArray png;
};

// Off the main thread: a photo can take a while to decode and encode.
LoadedImage loadImageAsPNG(const QString &path)
{
    LoadedImage loaded;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return loaded;
    const QByteArray bytes = file.read(PersistedFiles::kMaxFileSize * 8);
    if (!loaded.image.loadFromData(bytes))
        return loaded;
    if (QFileInfo(path).suffix().toLower() == u"png"_s) {
        loaded.png = bytes;
    } else {
        QBuffer buffer(&loaded.png);
        buffer.open(QIODevice::WriteOnly);
        loaded.image.save(&buffer, "PNG");
    }
    return loaded;
}

} // namespace

void AppState::addClipboardCaptureResult(const ClipboardCaptureResult &result)
{
    const ClipboardItem &item = result.item;
    std::vector<ClipboardItem> items = m_clipboardItems;
    std::erase_if(items, [&](const ClipboardItem &held) { return held.kind == item.kind && held.value == item.value; });
    items.insert(items.begin(), item);
    setClipboardItems(std::move(items));
    trimClipboardHistoryToLimit();
    if (item.kind == ClipboardItemKind::image)
        cleanupOlderClipboardImages();
    showClipboardPulse();
    persist();
}

void AppState::reactToClipboardHistoryLimit()
{
    if (!isClipboardHistoryLimitOption(m_clipboardHistoryLimit)) {
        // Not a limit on offer: the default, whose assignment stores and trims.
        setClipboardHistoryLimit(clipboardHistoryLimitFromStored(m_clipboardHistoryLimit));
        return;
    }
    storeSetting(Field::clipboardHistoryLimit);
    trimClipboardHistoryToLimit();
}

void AppState::trimClipboardHistoryToLimit()
{
    // The newest entries, as many as the limit allows and as fit in what the
    // history file may take: a file the reader refuses would lose them all.
    const auto limit = static_cast<std::size_t>(std::max(0, m_clipboardHistoryLimit));
    std::size_t keep = 0;
    qint64 bytes = 0;
    for (; keep < std::min(limit, m_clipboardItems.size()); ++keep) {
        bytes += clipboard::storedBytes(m_clipboardItems[keep]);
        if (bytes > clipboard::kMaxHistoryBytes)
            break;
    }
    if (keep == m_clipboardItems.size())
        return;
    std::vector<ClipboardItem> items = m_clipboardItems;
    const std::vector<ClipboardItem> dropped(items.begin() + static_cast<std::ptrdiff_t>(keep), items.end());
    items.resize(keep);
    setClipboardItems(std::move(items));
    saveClipboardHistoryThenDeleteImages(dropped);
}

void AppState::cleanupOlderClipboardImages()
{
    // Images of earlier days count against the same limit as the whole
    // history; the entries past it go, with their files.
    const QDate today = m_clock.now().toLocalTime().date();
    const auto limit = std::max(0, m_clipboardHistoryLimit);
    int olderImages = 0;
    std::vector<ClipboardItem> kept;
    std::vector<ClipboardItem> dropped;
    for (const ClipboardItem &item : m_clipboardItems) {
        const bool olderImage = item.kind == ClipboardItemKind::image && item.dateAdded.toLocalTime().date() != today;
        if (olderImage && ++olderImages > limit)
            dropped.push_back(item);
        else
            kept.push_back(item);
    }
    if (dropped.empty())
        return;
    setClipboardItems(std::move(kept));
    saveClipboardHistoryThenDeleteImages(dropped);
}

void AppState::saveClipboardHistoryThenDeleteImages(const std::vector<ClipboardItem> &dropped)
{
    // The history goes first: a kill between the two steps leaves a picture
    // no row names, never a row whose picture is gone. While the file on disk
    // still names them (its save failed), the pictures stay.
    if (!m_files.write<ClipboardItemsFile>(m_clipboardItems))
        return;
    for (const ClipboardItem &item : dropped)
        deleteLocalClipboardImageFile(item);
}

void AppState::deleteLocalClipboardImageFile(const ClipboardItem &item)
{
    if (item.kind != ClipboardItemKind::image)
        return;
    const QString path = item.filePath.value_or(item.value);
    if (path.isEmpty() || !QFileInfo(path).isAbsolute())
        return;
    const QString file = QDir::cleanPath(path);
    const QString folder = QDir::cleanPath(m_store.directory() + u"/Clipboard"_s);
    // Only our own copies: never a file elsewhere, whatever the entry says,
    // and only through the folder as it was opened.
    const QString name = file.mid(folder.size() + 1);
    if (m_store.directory().isEmpty() || !file.startsWith(QString(folder + u'/')) || name.contains(u'/'))
        return;
    if (const auto images = m_store.subfolder(u"Clipboard"_s))
        images->removeFile(name);
}

void AppState::deleteClipboardItem(const ClipboardItem &item)
{
    std::vector<ClipboardItem> items = m_clipboardItems;
    std::erase_if(items, [&](const ClipboardItem &held) { return held.id == item.id; });
    setClipboardItems(std::move(items));
    dropClipboardImagesAndPersist({item});
}

void AppState::clearClipboardHistory()
{
    const std::vector<ClipboardItem> taken = m_clipboardItems;
    setClipboardItems({});
    dropClipboardImagesAndPersist(taken);
}

void AppState::dropClipboardImagesAndPersist(const std::vector<ClipboardItem> &dropped)
{
    // Until the saved history has been read, it must not be overwritten.
    if (m_stateFilesLoaded) {
        saveClipboardHistoryThenDeleteImages(dropped);
    } else {
        for (const ClipboardItem &item : dropped)
            deleteLocalClipboardImageFile(item);
    }
    persist();
}

void AppState::showClipboardPulse()
{
    setClipboardPulse(m_clipboardPulse + 1);
    setClipboardPulseActive(true); // its reaction asks for a layout
    if (!m_clipboardPulseReset) {
        m_clipboardPulseReset = m_clock.createTimer(this);
        connect(m_clipboardPulseReset, &ClockTimer::timeout, this, [this] { setClipboardPulseActive(false); });
    }
    // Restarting keeps one reset pending, 1.4 s after the latest capture.
    m_clipboardPulseReset->start(clipboardPulseDuration, false);
}

void AppState::openClipboardItem(const ClipboardItem &item)
{
    // The history file can be edited by hand: what a row hands to the desktop
    // is checked here, as the Links card checks its addresses.
    switch (item.kind) {
    case ClipboardItemKind::image:
    case ClipboardItemKind::file: {
        const QString folder = m_store.subdirectory(u"Clipboard"_s);
        if (const auto path = clipboard::openableFile(item.kind, item.value, folder))
            urlOpener().openUrl(QUrl::fromLocalFile(*path));
        break;
    }
    case ClipboardItemKind::link:
        if (linkrules::isWebAddressWithHost(item.value))
            urlOpener().openUrl(QUrl(item.value, QUrl::StrictMode));
        break;
    case ClipboardItemKind::text: pasteboard().writeText(item.value); break;
    }
}

QCoro::Task<> AppState::copyClipboardItem(ClipboardItem item)
{
    switch (item.kind) {
    case ClipboardItemKind::link:
    case ClipboardItemKind::text: pasteboard().writeText(item.value); break;
    case ClipboardItemKind::image: co_await copyImage(item.filePath.value_or(item.value)); break;
    case ClipboardItemKind::file: copyFile(item.filePath.value_or(item.value)); break;
    }
}

QCoro::Task<> AppState::copyImage(QString path)
{
    QPointer<AppState> self(this);
    const LoadedImage loaded = co_await afterWorker(QtConcurrent::run(&loadImageAsPNG, path));
    if (!self)
        co_return;
    if (loaded.image.isNull()) {
        pasteboard().writeText(path);
        co_return;
    }
    pasteboard().writeImage(loaded.image, loaded.png);
}

void AppState::copyFile(const QString &path)
{
    pasteboard().writeFiles({QUrl::fromLocalFile(path)});
}

} // namespace kolu
