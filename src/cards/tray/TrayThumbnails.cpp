#include "cards/tray/TrayThumbnails.h"

#include "model/WorkerAwait.h"

#include <QFileInfo>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
// About 48 MB of decoded thumbnails (cost in kilobytes).
constexpr int kCacheCostKB = 48 * 1024;
} // namespace

QImage decodeSquareThumbnail(const QString &path, int pixelEdge)
{
    if (pixelEdge <= 0)
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid()) {
        if (qint64(full.width()) * full.height() > TrayThumbnails::kMaximumPixels)
            return {};
        // Cover the square, then crop; formats that can decode smaller
        // (JPEG) never build the full picture.
        const double factor = double(pixelEdge) / std::min(full.width(), full.height());
        if (factor < 1 && reader.supportsOption(QImageIOHandler::ScaledSize))
            reader.setScaledSize(QSize(std::max(1, int(std::ceil(full.width() * factor))),
                                       std::max(1, int(std::ceil(full.height() * factor)))));
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    image = image.scaled(pixelEdge, pixelEdge, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QRect square((image.width() - pixelEdge) / 2, (image.height() - pixelEdge) / 2, pixelEdge, pixelEdge);
    return image.copy(square).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TrayThumbnails &TrayThumbnails::shared()
{
    static auto *instance = new TrayThumbnails;
    return *instance;
}

TrayThumbnails::TrayThumbnails(QObject *parent)
    : QObject(parent)
{
    m_cache.setMaxCost(kCacheCostKB);
    m_workers.setMaxThreadCount(2);
}

TrayThumbnails::Thumbnail TrayThumbnails::request(const QString &path, int pixelEdge, qint64 byteLimit)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return {State::missing, {}};
    if (byteLimit > 0 && info.size() > byteLimit)
        return {State::tooLarge, {}};
    const QString key = u"%1\n%2\n%3\n%4"_s.arg(info.absoluteFilePath())
                            .arg(info.size())
                            .arg(info.lastModified().toMSecsSinceEpoch())
                            .arg(pixelEdge);
    if (const Entry *entry = m_cache.object(key))
        return {entry->image.isNull() ? State::failed : State::ready, entry->image};
    if (!m_pending.contains(key))
        startDecode(key, info.absoluteFilePath(), pixelEdge);
    return {State::pending, {}};
}

void TrayThumbnails::startDecode(const QString &key, const QString &path, int pixelEdge)
{
    m_pending.insert(key);
    ++m_decodesStarted;
    decode(QPointer<TrayThumbnails>(this), key, path, pixelEdge);
}

QCoro::Task<> TrayThumbnails::decode(QPointer<TrayThumbnails> self, QString key, QString path, int pixelEdge)
{
    const QImage image =
        co_await afterWorker(QtConcurrent::run(self->workers(), decodeSquareThumbnail, path, pixelEdge));
    if (!self || !self->m_pending.remove(key))
        co_return; // gone or cleared meanwhile
    const int cost = int(std::max<qsizetype>(1, image.sizeInBytes() / 1024));
    self->m_cache.insert(key, new Entry{image}, cost);
    Q_EMIT self->finished(path);
}

void TrayThumbnails::clear()
{
    m_cache.clear();
    m_pending.clear();
}

} // namespace kolu
