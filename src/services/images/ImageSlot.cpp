#include "services/images/ImageSlot.h"

#include "services/images/ImageLoader.h"

namespace kolu {

ImageSlot::ImageSlot(ImageLoader &loader, QObject *parent)
    : QObject(parent)
    , m_loader(&loader)
{
    connect(&loader, &ImageLoader::finished, this, &ImageSlot::onFinished);
}

void ImageSlot::show(const QUrl &address, QSize pixelSize)
{
    if (!m_loader)
        return;
    const QString key = ImageLoader::keyFor(address, pixelSize);
    if (!key.isEmpty() && key == m_key && m_address == address)
        return;
    const bool sameAddress = address == m_address && m_phase == Phase::loaded;
    m_address = address;
    m_key = key;
    if (key.isEmpty()) {
        // Not loadable (no such file, not a web address), or no size yet.
        setPhase(pixelSize.isEmpty() && ImageLoader::canLoad(address) ? Phase::loading : Phase::failed, {});
        return;
    }
    if (std::optional<QImage> image = m_loader->cached(key)) {
        setPhase(Phase::loaded, std::move(*image));
        return;
    }
    m_loader->load(key, address, pixelSize);
    if (!sameAddress)
        setPhase(Phase::loading, {});
}

void ImageSlot::clear()
{
    m_key.clear();
    m_address = QUrl();
    setPhase(Phase::empty, {});
}

void ImageSlot::onFinished(const QString &key, const QImage &image)
{
    if (key != m_key)
        return; // replaced by a newer request
    if (image.isNull())
        setPhase(Phase::failed, {});
    else
        setPhase(Phase::loaded, image);
}

void ImageSlot::setPhase(Phase phase, QImage image)
{
    if (phase == m_phase && image.cacheKey() == m_image.cacheKey())
        return;
    m_phase = phase;
    m_image = std::move(image);
    Q_EMIT changed();
}

} // namespace kolu
