#pragma once

#include <QImage>
#include <QRandomGenerator>
#include <QRect>

#include <algorithm>

namespace kolu::test {

// Looks like a 4K screen: a shaded desktop, flat windows with rows of
// glyph-like marks for text, and a noisy photograph in one of them. The
// same picture every time.
inline QImage screenshotLikeImage()
{
    QImage image(3840, 2160, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(20 + y * 60 / image.height(), 40 + x * 80 / image.width(), 110);
    }
    QRandomGenerator random(7);
    const auto fill = [&image](const QRect &r, QRgb colour) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(reinterpret_cast<QRgb *>(image.scanLine(y)) + r.left(), r.width(), colour);
    };
    for (int w = 0; w < 6; ++w) {
        const QRect window(80 + w * 600, 100 + w * 250, 1500, 1000);
        fill(window & image.rect(), qRgb(246, 246, 248));
        for (int row = window.top() + 60; row < std::min(window.bottom(), image.height()) - 20; row += 28)
            for (int x = window.left() + 40; x < std::min(window.right(), image.width()) - 20; x += 9)
                if (random.bounded(5) != 0)
                    fill(QRect(x, row, 6, 14) & image.rect(), qRgb(30, 30, 34));
    }
    for (int y = 1300; y < 1900; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 2400; x < 3200; ++x)
            line[x] = qRgb(int(random.bounded(256)), int(random.bounded(256)), int(random.bounded(256)));
    }
    return image;
}

} // namespace kolu::test
