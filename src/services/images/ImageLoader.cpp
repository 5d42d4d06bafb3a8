#include "services/images/ImageLoader.h"

#include "services/images/ImageDecoding.h"
#include "model/WorkerAwait.h"
#include "platform/net/Http.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>

using namespace Qt::StringLiterals;

namespace kolu {

ImageLoader::ImageLoader(Network &network, Clock &clock, Limits limits, QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_clock(clock)
    , m_limits(limits)
{
    setObjectName(u"imageLoader"_s);
    m_cache.setMaxCost(m_limits.cacheBytes);
}

ImageLoader::ImageLoader(Network &network, Clock &clock, QObject *parent)
    : ImageLoader(network, clock, Limits{}, parent)
{
}

ImageLoader::~ImageLoader() = default;

bool ImageLoader::canLoad(const QUrl &address)
{
    if (address.isLocalFile())
        return !address.toLocalFile().isEmpty();
    const QString scheme = address.scheme().toLower();
    return (scheme == u"http"_s || scheme == u"https"_s) && !address.host().isEmpty();
}

QString ImageLoader::keyFor(const QUrl &address, QSize pixelSize)
{
    if (!canLoad(address) || pixelSize.isEmpty())
        return {};
    const QString size = u"%1x%2"_s.arg(pixelSize.width()).arg(pixelSize.height());
    if (!address.isLocalFile())
        return size + u' ' + address.toString(QUrl::FullyEncoded);
    const QFileInfo file(address.toLocalFile());
    if (!file.isFile())
        return {};
    return u"%1 %2 %3 %4"_s.arg(size)
        .arg(file.size())
        .arg(file.lastModified().toMSecsSinceEpoch())
        .arg(file.absoluteFilePath());
}

std::optional<QImage> ImageLoader::cached(const QString &key) const
{
    if (const QImage *image = m_cache.object(key))
        return *image;
    return std::nullopt;
}

void ImageLoader::keep(const QString &key, const QImage &image)
{
    // A picture that could not be made still takes a little room, so that
    // the cache stays bounded in entries as well.
    constexpr qsizetype kLeastCost = 1024;
    m_cache.insert(key, new QImage(image), std::max(image.sizeInBytes(), kLeastCost));
}

void ImageLoader::load(const QString &key, const QUrl &address, QSize pixelSize)
{
    if (key.isEmpty() || m_cache.contains(key) || m_pending.contains(key))
        return;
    m_pending.insert(key);
    ++m_loadsStarted;
    if (address.isLocalFile())
        decodeFile(QPointer<ImageLoader>(this), key, address.toLocalFile(), pixelSize);
    else
        fetch(QPointer<ImageLoader>(this), key, address, pixelSize);
}

QCoro::Task<> ImageLoader::decodeFile(QPointer<ImageLoader> self, QString key, QString path, QSize pixelSize)
{
    const QImage image = co_await afterWorker(QtConcurrent::run(&decodeImageFile, std::move(path), pixelSize));
    // A decode that ends after the loader has gone is dropped.
    if (self)
        self->complete(key, image);
}

QCoro::Task<> ImageLoader::fetch(QPointer<ImageLoader> self, QString key, QUrl address, QSize pixelSize)
{
    HttpResponse response;
    try {
        const Limits limits = self->m_limits;
        response = co_await httpGet(self->m_network, HttpRequest{address}, self->m_clock, limits.timeout,
                                    limits.maxDownloadBytes);
    } catch (const RequestCancelled &) {
        // The network is going away, and whoever asked with it.
        if (self)
            self->m_pending.remove(key);
        co_return;
    } catch (...) {
        response = HttpResponse(); // the view shows its fallback
    }
    if (!self)
        co_return;
    if (!response.isSuccess()) {
        self->complete(key, QImage());
        co_return;
    }
    const QImage image = co_await afterWorker(QtConcurrent::run(&decodeImageData, std::move(response.body), pixelSize));
    if (self)
        self->complete(key, image);
}

void ImageLoader::complete(const QString &key, const QImage &image)
{
    m_pending.remove(key);
    if (!image.isNull())
        m_cache.insert(key, new QImage(image), image.sizeInBytes());
    Q_EMIT finished(key, image);
}

} // namespace kolu
