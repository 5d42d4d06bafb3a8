#include "style/ShadowBlur.h"

#include "style/ContinuousCorners.h"

#include <QCache>
#include <QDataStream>
#include <QIODevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kolu {

namespace {

QCache<QByteArray, QImage> &shadowCache()
{
    static QCache<QByteArray, QImage> cache(16 * 1024); // KiB
    return cache;
}

// One box blur of `radius` along a line of `count` values `stride` apart.
void boxLine(uchar *data, int count, int stride, int radius, std::vector<int> &scratch)
{
    scratch.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        scratch[size_t(i)] = data[i * stride];
    const int window = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += (i >= 0 && i < count) ? scratch[size_t(i)] : 0;
    for (int i = 0; i < count; ++i) {
        data[i * stride] = uchar((sum + window / 2) / window);
        const int out = i - radius;
        const int in = i + radius + 1;
        sum += (in < count ? scratch[size_t(in)] : 0) - (out >= 0 ? scratch[size_t(out)] : 0);
    }
}

} // namespace

qreal shadowExtent(qreal radius)
{
    return std::ceil(std::max<qreal>(0, radius) * 1.5);
}

void gaussianBlurAlpha(QImage &image, qreal sigma)
{
    if (sigma <= 0.1 || image.isNull())
        return;
    // Box widths whose three passes match the Gaussian's variance.
    const int radius = std::max(1, int(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    std::vector<int> scratch;
    const int w = image.width(), h = image.height();
    const int bpl = int(image.bytesPerLine());
    uchar *bits = image.bits();
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            boxLine(bits + y * bpl, w, 1, radius, scratch);
        for (int x = 0; x < w; ++x)
            boxLine(bits + x, h, bpl, radius, scratch);
    }
}

QImage blurredShapeMask(const QSizeF &size, qreal cornerRadius, qreal blurRadius, qreal scale)
{
    QByteArray key;
    {
        QDataStream out(&key, QIODevice::WriteOnly);
        out << size << cornerRadius << blurRadius << scale;
    }
    if (const QImage *cached = shadowCache().object(key))
        return *cached;

    const qreal extent = shadowExtent(blurRadius);
    const QSize pixels(int(std::ceil((size.width() + 2 * extent) * scale)),
                       int(std::ceil((size.height() + 2 * extent) * scale)));
    // A soft shadow has no detail to lose: blur a smaller copy (up to a
    // quarter of the size, keeping three pixels per sigma) and scale it up.
    const qreal sigma = blurRadius / 2 * scale;
    const int down = std::clamp(int(sigma / 3), 1, 4);
    const qreal workScale = scale / down;
    QImage alpha(QSize(int(std::ceil(pixels.width() / qreal(down))), int(std::ceil(pixels.height() / qreal(down)))),
                 QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter painter(&alpha);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(workScale, workScale);
        painter.fillPath(continuousRoundedRect(QRectF(QPointF(extent, extent), size), cornerRadius), Qt::black);
    }
    gaussianBlurAlpha(alpha, sigma / down);
    if (down > 1)
        alpha = alpha.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    // Black with the blurred coverage as alpha, ready to draw.
    QImage mask = alpha.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    mask.setDevicePixelRatio(scale);
    shadowCache().insert(key, new QImage(mask), int(mask.sizeInBytes() / 1024 + 1));
    return mask;
}

void clearShadowCache()
{
    shadowCache().clear();
}

} // namespace kolu
