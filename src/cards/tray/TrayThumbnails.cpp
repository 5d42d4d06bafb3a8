#include "cards/tray/TrayThumbnails.h"

#include "services/images/ImageLoader.h"
#include "model/WorkerAwait.h"

#include <QFileInfo>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

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

TrayThumbnails &TrayThumbnails::of(AppState &state)
{
    ImageLoader &loader = ImageLoader::of(state);
    if (auto *thumbnails = loader.findChild<TrayThumbnails *>(QString(), Qt::FindDirectChildrenOnly))
        return *thumbnails;
    return *new TrayThumbnails(loader);
}

TrayThumbnails::TrayThumbnails(ImageLoader &loader)
    : QObject(&loader)
    , m_loader(loader)
{
    m_workers.setMaxThreadCount(2);
}

TrayThumbnails::Thumbnail TrayThumbnails::request(const QString &path, int pixelEdge, qint64 byteLimit)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return {State::missing, {}};
    if (byteLimit > 0 && info.size() > byteLimit)
        return {State::tooLarge, {}};
    // The prefix keeps these apart from the loader's own pictures.
    const QString key = u"tray thumbnail\n%1\n%2\n%3\n%4"_s.arg(info.absoluteFilePath())
                            .arg(info.size())
                            .arg(info.lastModified().toMSecsSinceEpoch())
                            .arg(pixelEdge);
    if (const std::optional<QImage> kept = m_loader.cached(key))
        return {kept->isNull() ? State::failed : State::ready, *kept};
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
    if (!self)
        co_return; // gone meanwhile
    self->m_pending.remove(key);
    self->m_loader.keep(key, image);
    Q_EMIT self->finished(path);
}

} // namespace kolu
