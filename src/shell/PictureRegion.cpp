#include "shell/PictureRegion.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace kolu::picture {

namespace {

using Runs = std::vector<std::pair<int, int>>;

// The runs of drawn pixels of row `y` within [left, right].
void runsOf(const QImage &image, int y, int left, int right, int least, Runs &runs)
{
    runs.clear();
    const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    int start = -1;
    for (int x = left; x <= right; ++x) {
        const bool drawn = qAlpha(line[x]) >= least;
        if (drawn && start < 0) {
            start = x;
        } else if (!drawn && start >= 0) {
            runs.emplace_back(start, x - 1);
            start = -1;
        }
    }
    if (start >= 0)
        runs.emplace_back(start, right);
}

QRegion deviceParts(const QImage &image, const QRect &area, int least)
{
    const QRect within = area & image.rect();
    if (within.isEmpty())
        return {};
    if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_ARGB32)
        return QRegion(within);
    std::vector<QRect> rects;
    Runs band;
    Runs row;
    int bandTop = within.top();
    const auto closeBand = [&](int bottom) {
        for (const auto &[left, right] : band)
            rects.emplace_back(QPoint(left, bandTop), QPoint(right, bottom));
    };
    for (int y = within.top(); y <= within.bottom(); ++y) {
        runsOf(image, y, within.left(), within.right(), least, row);
        if (row != band) {
            closeBand(y - 1);
            band.swap(row);
            bandTop = y;
        }
    }
    closeBand(within.bottom());
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

// The smallest rectangle of whole pixels at `scale` covering `rect`.
QRect covering(const QRect &rect, qreal scale)
{
    return {QPoint(int(std::floor(rect.left() * scale)), int(std::floor(rect.top() * scale))),
            QPoint(int(std::ceil((rect.right() + 1) * scale)) - 1, int(std::ceil((rect.bottom() + 1) * scale)) - 1)};
}

} // namespace

QRegion drawnParts(const QImage &image, const QRect &area, qreal ratio, int least)
{
    least = std::max(least, 1);
    if (qFuzzyCompare(ratio, 1.0))
        return deviceParts(image, area, least);
    // A logical pixel shows where any of its device pixels does.
    QRegion logical;
    for (const QRect &r : deviceParts(image, covering(area, ratio), least))
        logical += covering(r, 1.0 / ratio);
    return logical & area;
}

QRegion withoutSlivers(const QRegion &region, int width)
{
    // Kept: every pixel from which `width` pixels in a row run on, and the
    // pixels of those runs.
    QRegion starts = region;
    for (int dx = 1; dx < width; ++dx)
        starts &= region.translated(-dx, 0);
    QRegion kept = starts;
    for (int dx = 1; dx < width; ++dx)
        kept |= starts.translated(dx, 0);
    return kept;
}

} // namespace kolu::picture
