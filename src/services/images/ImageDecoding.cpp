#include "services/images/ImageDecoding.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace kolu {

QSize coverSize(QSize source, QSize target)
{
    if (source.isEmpty() || target.isEmpty())
        return source;
    const double scale = std::max(double(target.width()) / source.width(), double(target.height()) / source.height());
    if (scale >= 1)
        return source;
    return QSize(std::max(1, int(std::ceil(source.width() * scale))),
                 std::max(1, int(std::ceil(source.height() * scale))));
}

QImage decodeImage(QIODevice &device, QSize target)
{
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    // A picture stored on its side is turned after decoding: cover the
    // target as it will stand.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize wanted = turned ? target.transposed() : target;
    if (stored.isValid() && !target.isEmpty()) {
        const QSize decoded = coverSize(stored, wanted);
        if (decoded != stored)
            reader.setScaledSize(decoded);
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    // A reader that could not tell its size up front is scaled here.
    if (!stored.isValid() && !target.isEmpty()) {
        const QSize decoded = coverSize(image.size(), target);
        if (decoded != image.size())
            image = image.scaled(decoded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QImage::Format format = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != format)
        image.convertTo(format);
    return image;
}

QImage decodeImageFile(const QString &path, QSize target)
{
    // Only plain files: opening a pipe or a device could wait for good.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeImage(file, target);
}

QImage decodeImageData(const QByteArray &data, QSize target)
{
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    return decodeImage(buffer, target);
}

} // namespace kolu
