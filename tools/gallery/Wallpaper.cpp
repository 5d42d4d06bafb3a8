#include "Wallpaper.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace kolu::gallery {

QImage makeWallpaper(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(20261206);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(24, 38, 92));
    sky.setColorAt(0.45, QColor(236, 120, 84));
    sky.setColorAt(0.62, QColor(252, 214, 150));
    sky.setColorAt(1, QColor(40, 30, 46));
    painter.fillRect(image.rect(), sky);

    QRadialGradient sun(QPointF(w * 0.62, h * 0.5), h * 0.22);
    sun.setColorAt(0, QColor(255, 255, 250));
    sun.setColorAt(0.25, QColor(255, 246, 210, 230));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    painter.fillRect(image.rect(), sun);

    // Ridges, far and pale to near and dark.
    for (int layer = 0; layer < 4; ++layer) {
        QPainterPath ridge;
        const qreal base = h * (0.55 + 0.1 * layer);
        ridge.moveTo(0, h);
        for (int x = 0; x <= int(w); x += 8) {
            const qreal y = base - h * 0.08 * std::sin(x * (0.004 + 0.002 * layer) + layer * 1.7)
                            - h * 0.03 * std::sin(x * 0.021 + layer) - random.bounded(6.0);
            ridge.lineTo(x, y);
        }
        ridge.lineTo(w, h);
        ridge.closeSubpath();
        const int shade = 150 - layer * 42;
        painter.fillPath(ridge, QColor(shade / 2, shade / 3 + 10, shade / 2 + 20));
    }

    // Out-of-focus light discs.
    for (int i = 0; i < 70; ++i) {
        const QPointF c(random.bounded(w), random.bounded(h));
        const qreal r = 8 + random.bounded(50.0);
        const QColor hue = QColor::fromHsv(random.bounded(360), 160 + random.bounded(95), 200 + random.bounded(55),
                                           60 + random.bounded(120));
        QRadialGradient disc(c, r);
        disc.setColorAt(0, hue);
        disc.setColorAt(0.85, hue);
        disc.setColorAt(1, QColor(hue.red(), hue.green(), hue.blue(), 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(disc);
        painter.drawEllipse(c, r, r);
    }

    // A sharp foreground: black and white stripes and a few thin lines.
    for (int i = 0; i < 24; ++i) {
        const qreal x = w * 0.02 + i * 14;
        painter.fillRect(QRectF(x, h * 0.82, 7, h * 0.18), i % 2 ? Qt::white : Qt::black);
    }
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
    for (int i = 0; i < 30; ++i)
        painter.drawLine(QPointF(w * 0.7 + i * 9, h), QPointF(w * 0.8 + i * 4, h * 0.7));
    painter.end();

    // Grain.
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(random.bounded(17)) - 8;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                           std::clamp(qBlue(p) + n, 0, 255));
        }
    }
    return image;
}

} // namespace kolu::gallery
