#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace kolu::test {

// The relative luminance of an opaque colour, 0 to 1.
inline double relativeLuminance(const QColor &c)
{
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// The contrast ratio, 1 to 21, between two opaque colours.
inline double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How many pixels of `area` satisfy `test`, given the pixel's colour.
template<typename Test>
int countPixels(const QImage &image, const QRect &area, Test test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

// The colour most pixels of `area` have.
inline QColor commonest(const QImage &image, const QRect &area)
{
    std::map<QRgb, int> counts;
    countPixels(image, area, [&counts](const QColor &c) { return ++counts[c.rgba()] < 0; });
    return QColor::fromRgba(std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
                                return a.second < b.second;
                            })->first);
}

// The pixel of `area` that stands out most from `background`: the core of
// the glyphs drawn there.
inline QColor strongest(const QImage &image, const QRect &area, const QColor &background)
{
    QColor best = background;
    countPixels(image, area, [&](const QColor &c) {
        if (contrastRatio(c, background) > contrastRatio(best, background))
            best = c;
        return false;
    });
    return best;
}

// The largest difference in any channel between two images of one size.
inline int largestDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

// What `area` of `widget` (in its own coordinates) shows against what is
// behind it there, measured from the pixels: the widget and its children
// drawn at device pixel ratio 2 over `backdrop`, the commonest colour of the
// area taken as the surface and its most standing-out pixel as the ink.
inline double drawnContrast(QWidget &widget, const QRect &area, const QColor &backdrop)
{
    QImage image(widget.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(backdrop.rgb());
    image.setDevicePixelRatio(2);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    image.setDevicePixelRatio(1);
    const QRect pixels = QRect(area.topLeft() * 2, area.size() * 2).intersected(image.rect());
    const QColor surface = commonest(image, pixels);
    return contrastRatio(strongest(image, pixels, surface), surface);
}

inline bool near(const QColor &a, const QColor &b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace kolu::test
