#include "shell/rail/EdgeNotificationRingsPictures.h"

#include "shell/rules/RingPhase.h"
#include "style/ContinuousCorners.h"
#include "style/Opacity.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace kolu::ringpictures {

namespace {

// A few tints (an alert, the tray, a strip button or two) at a scale or
// two; about 0.6 MB each at scale 1.
constexpr std::size_t kMostKept = 4;

struct Pictures {
    QRgb tint;
    qreal scale;
    std::array<QImage, rings::framesPerCycle> frames;
};

std::vector<Pictures> &kept()
{
    static std::vector<Pictures> pictures;
    return pictures;
}

// Even, so that the rings' centre is a pixel corner of the picture, as it
// is of the widgets whose sizes are even.
int evenCeil(qreal length)
{
    const auto whole = static_cast<int>(std::ceil(length - 1e-6));
    return whole + whole % 2;
}

QImage render(const QColor &tint, qreal scale, int index)
{
    const QSizeF outer = rings::outerSize();
    QImage picture(evenCeil(outer.width() * scale), evenCeil(outer.height() * scale),
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.scale(scale, scale);
    stroke(painter, QPointF(picture.width(), picture.height()) / (2 * scale), tint, rings::phaseOfPicture(index));
    painter.end();
    picture.setDevicePixelRatio(scale);
    return picture;
}

const QImage &picture(const QColor &tint, qreal scale, int index)
{
    std::vector<Pictures> &all = kept();
    const QRgb rgba = tint.rgba();
    auto found = std::find_if(all.begin(), all.end(),
                              [&](const Pictures &p) { return p.tint == rgba && qFuzzyCompare(p.scale, scale); });
    if (found == all.end()) {
        if (all.size() >= kMostKept)
            all.pop_back();
        all.insert(all.begin(), Pictures{rgba, scale, {}});
    } else if (found != all.begin()) {
        std::rotate(all.begin(), found, found + 1);
    }
    QImage &frame = all.front().frames[static_cast<std::size_t>(index)];
    if (frame.isNull())
        frame = render(tint, scale, index);
    return frame;
}

} // namespace

void stroke(QPainter &painter, const QPointF &centre, const QColor &tint, double phase)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (const RingFrame &ring : rings::framesAtPhase(phase)) {
        if (ring.opacity <= 0.002)
            continue;
        // The slight blur softens the stroke: a wider, fainter pen stands for it.
        const qreal width = rings::lineWidth + ring.blur * 2;
        painter.setPen(QPen(withAlpha(tint, ring.opacity * rings::lineWidth / width), width));
        QRectF shape(QPointF(), ring.size);
        shape.moveCenter(centre);
        painter.drawPath(continuousRoundedRect(shape, ring.cornerRadius));
    }
    painter.restore();
}

void draw(QPainter &painter, const QPointF &centre, const QColor &tint, int index)
{
    const QTransform device = painter.deviceTransform();
    const qreal scale = device.m11();
    if (device.type() > QTransform::TxScale || scale <= 0 || !qFuzzyCompare(scale, device.m22())) {
        stroke(painter, centre, tint, rings::phaseOfPicture(index));
        return;
    }
    const QImage &frame = picture(tint, scale, index);
    const QPointF middle = device.map(centre);
    const QPointF corner(std::round(middle.x() - frame.width() / 2.0), std::round(middle.y() - frame.height() / 2.0));
    painter.drawImage(device.inverted().map(corner), frame);
}

QRegion solidShape(const QPointF &centre, int index)
{
    // A ring fainter than this is gone from the solid rings: drawn solid it
    // would stand out as much as a new one.
    constexpr double kFaintest = 0.14;
    static std::array<QRegion, rings::framesPerCycle> shapes;
    static std::array<bool, rings::framesPerCycle> made{};
    const auto at = static_cast<std::size_t>(std::clamp(index, 0, rings::framesPerCycle - 1));
    if (!made[at]) {
        const QSizeF outer = rings::outerSize();
        QImage mask(evenCeil(outer.width()), evenCeil(outer.height()), QImage::Format_Alpha8);
        mask.fill(0);
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, rings::lineWidth));
        for (const RingFrame &ring : rings::framesAtPhase(rings::phaseOfPicture(int(at)))) {
            if (ring.opacity < kFaintest)
                continue;
            QRectF shape(QPointF(), ring.size);
            shape.moveCenter(QPointF(mask.width(), mask.height()) / 2);
            painter.drawPath(continuousRoundedRect(shape, ring.cornerRadius));
        }
        painter.end();
        QRegion region;
        for (int y = 0; y < mask.height(); ++y) {
            const uchar *row = mask.constScanLine(y);
            for (int x = 0; x < mask.width();) {
                if (row[x] < 128) {
                    ++x;
                    continue;
                }
                int end = x;
                while (end < mask.width() && row[end] >= 128)
                    ++end;
                region += QRect(x, y, end - x, 1);
                x = end;
            }
        }
        // Centred on the picture's middle, a pixel corner.
        shapes[at] = region.translated(-mask.width() / 2, -mask.height() / 2);
        made[at] = true;
    }
    return shapes[at].translated(QPoint(int(std::lround(centre.x())), int(std::lround(centre.y()))));
}

QRect area(const QPointF &centre)
{
    QRectF box(QPointF(), rings::outerSize());
    box.moveCenter(centre);
    // A pixel more for the picture's rounding to whole device pixels.
    return box.toAlignedRect().adjusted(-1, -1, 1, 1);
}

int keptCount()
{
    return static_cast<int>(kept().size());
}

void clear()
{
    kept().clear();
}

} // namespace kolu::ringpictures
