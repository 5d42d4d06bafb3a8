#include "style/PanelPicture.h"

#include "style/ContinuousCorners.h"

#include <QCache>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace kolu {

namespace {

struct PictureKey {
    QSizeF size;
    QPointF offset; // the shape's top-left within the picture, device pixels
    qreal scale;
    PanelLook look;

    bool operator==(const PictureKey &) const = default;
};

size_t qHash(const PictureKey &k, size_t seed = 0)
{
    return qHashMulti(seed, k.size.width(), k.size.height(), k.offset.x(), k.offset.y(), k.scale, k.look.radius,
                      k.look.fill.rgba64().toArgb32(), k.look.line.rgba64().toArgb32(), k.look.lineWidth);
}

// Pictures are small (a tile is some 70 KiB); cost in KiB.
QCache<PictureKey, QPixmap> &pictures()
{
    static QCache<PictureKey, QPixmap> cache(4 * 1024);
    return cache;
}

bool hasLine(const PanelLook &look)
{
    return look.lineWidth > 0 && look.line.alpha() > 0;
}

void paintShape(QPainter &painter, const QRectF &shape, const PanelLook &look)
{
    const QPainterPath path = continuousRoundedRect(shape, look.radius);
    painter.setRenderHint(QPainter::Antialiasing);
    if (look.fill.alpha() > 0)
        painter.fillPath(path, look.fill);
    if (hasLine(look)) {
        painter.setPen(QPen(look.line, look.lineWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
}

// Where the painter draws a picture pixel for pixel: it only moves and
// scales alike on both axes, at full opacity, blending over.
bool blits(const QPainter &painter, const QTransform &device)
{
    return device.type() <= QTransform::TxScale && device.m11() > 0 && qFuzzyCompare(device.m11(), device.m22())
           && painter.opacity() >= 1 && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

} // namespace

void PanelPicture::paint(QPainter &painter, const QRectF &shape, const PanelLook &look)
{
    if (shape.isEmpty() || (look.fill.alpha() == 0 && !hasLine(look)))
        return;
    const QTransform device = painter.deviceTransform();
    if (!blits(painter, device)) {
        painter.save();
        paintShape(painter, shape, look);
        painter.restore();
        return;
    }
    const qreal scale = device.m11();
    // Room for the outline's outer half and the antialiased edge pixels.
    const qreal reach = hasLine(look) ? look.lineWidth / 2 : 0;
    const QRectF bounds = device.mapRect(shape.adjusted(-reach, -reach, reach, reach));
    const QPoint origin(int(std::floor(bounds.left())) - 1, int(std::floor(bounds.top())) - 1);
    // The rasteriser works in 1/64 of a pixel: so does the key.
    const QPointF at = device.map(shape.topLeft()) - QPointF(origin);
    const QPointF offset(std::round(at.x() * 64) / 64, std::round(at.y() * 64) / 64);
    const PictureKey key{shape.size(), offset, scale, look};

    const QPixmap *picture = pictures().object(key);
    if (!picture) {
        const QSize pixels(int(std::ceil(bounds.right())) + 1 - origin.x(),
                           int(std::ceil(bounds.bottom())) + 1 - origin.y());
        QPixmap rendered(pixels);
        rendered.fill(Qt::transparent);
        {
            QPainter p(&rendered);
            p.translate(offset);
            p.scale(scale, scale);
            paintShape(p, QRectF(QPointF(), shape.size()), look);
        }
        rendered.setDevicePixelRatio(scale);
        const qint64 kib = qint64(pixels.width()) * pixels.height() * 4 / 1024 + 1;
        if (pictures().insert(key, new QPixmap(std::move(rendered)), kib)) {
            picture = pictures().object(key);
        } else {
            // Larger than the whole cache: QCache dropped it; paint directly.
            painter.save();
            paintShape(painter, shape, look);
            painter.restore();
            return;
        }
    }
    painter.drawPixmap(device.inverted().map(QPointF(origin)), *picture);
}

int PanelPicture::cachedPictures()
{
    return int(pictures().count());
}

void PanelPicture::clearCache()
{
    pictures().clear();
}

} // namespace kolu
