#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

namespace kolu::test {

// `image` encoded in `format`.
inline QByteArray encoded(const QImage &image, const char *format = "PNG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A one-colour picture of `size`, encoded as PNG.
inline QByteArray pngBytes(QSize size = {8, 8}, QColor color = Qt::red)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return encoded(image);
}

} // namespace kolu::test
