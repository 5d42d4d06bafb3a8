#include "shell/rail/EdgeAlertPicture.h"

#include "style/ClipRects.h"

#include <QPainter>

#include <cmath>

namespace kolu {

void EdgeAlertPicture::draw(QPainter &painter, const QRegion &region, const QSize &size,
                            const std::function<void(QPainter &)> &paint)
{
    const QTransform device = painter.deviceTransform();
    const qreal scale = device.m11();
    if (device.type() > QTransform::TxScale || scale <= 0 || !qFuzzyCompare(scale, device.m22())) {
        paint(painter);
        return;
    }
    if (m_picture.isNull() || m_size != size || !qFuzzyCompare(m_picture.devicePixelRatio(), scale)) {
        m_size = size;
        m_picture = QImage(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)),
                           QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(scale);
        m_picture.fill(Qt::transparent);
        QPainter onPicture(&m_picture);
        paint(onPicture);
    }
    // What the rings' frames repaint around them is a few rectangles, or
    // the many thin ones a window shape newly shows (ClipRects.h).
    drawPerRect(painter, region, [&] { painter.drawImage(QPointF(0, 0), m_picture); });
}

} // namespace kolu
