#include "style/ContinuousCorners.h"
#include "style/PanelPicture.h"

#include "ColorMeasure.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

using namespace kolu;
using namespace kolu::test;

namespace {

// `shape` painted on a grey canvas at `dpr`, through the picture or directly.
// The picture holds the outline already blended over the fill, in 8 bits:
// the two ways agree to within its rounding.
QImage canvas(qreal dpr, const QRectF &shape, const PanelLook &look, bool direct)
{
    QImage image(QSize(120, 90) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(90, 110, 130));
    QPainter painter(&image);
    if (direct) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QPainterPath path = continuousRoundedRect(shape, look.radius);
        painter.fillPath(path, look.fill);
        if (look.lineWidth > 0) {
            painter.setPen(QPen(look.line, look.lineWidth));
            painter.drawPath(path);
        }
    } else {
        PanelPicture::paint(painter, shape, look);
    }
    return image;
}

const PanelLook kTile{14, QColor(255, 255, 255, 115), QColor(0, 0, 0, 61), 0.8};
const PanelLook kBadge{8, QColor(255, 149, 0, 33), {}, 0};
constexpr int kRounding = 3;

} // namespace

TEST(PanelPicture, BlitsThePixelsADirectPaintGivesAtAnyPlaceAndScale)
{
    PanelPicture::clearCache();
    for (qreal dpr : {1.0, 1.5, 2.0}) {
        for (const QRectF &shape : {QRectF(0, 0, 100, 62), QRectF(10.4, 8.4, 99.2, 61.2), QRectF(3.3, 20.75, 28, 28)}) {
            for (const PanelLook &look : {kTile, kBadge}) {
                const QImage direct = canvas(dpr, shape, look, true);
                // Painted twice: once rendering the picture, once from the cache.
                for (int round = 0; round < 2; ++round) {
                    EXPECT_LE(largestDifference(canvas(dpr, shape, look, false), direct), kRounding)
                        << "dpr " << dpr << " at " << shape.x() << "," << shape.y() << " round " << round;
                }
            }
        }
    }
    EXPECT_GT(PanelPicture::cachedPictures(), 0);
    PanelPicture::clearCache();
    EXPECT_EQ(PanelPicture::cachedPictures(), 0);
}

TEST(PanelPicture, ANewLookIsPaintedInItsOwnColoursNeverFromTheOldPicture)
{
    PanelPicture::clearCache();
    const QRectF shape(5, 5, 100, 62);
    const PanelLook dark{14, QColor(40, 40, 44, 115), QColor(255, 255, 255, 61), 0.8}; // kTile in dark
    const QImage light = canvas(1, shape, kTile, false);
    const QImage after = canvas(1, shape, dark, false);
    EXPECT_GT(largestDifference(light, after), 40);
    EXPECT_LE(largestDifference(after, canvas(1, shape, dark, true)), kRounding);
    // Back to the first look: its own picture again.
    EXPECT_LE(largestDifference(canvas(1, shape, kTile, false), light), 0);
}

TEST(PanelPicture, AFadingOrTurnedPainterIsPaintedOnDirectly)
{
    PanelPicture::clearCache();
    QImage image(120, 90, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setOpacity(0.5);
    const PanelLook look{14, Qt::black, Qt::black, 0.8};
    PanelPicture::paint(painter, QRectF(5, 5, 100, 62), look);
    EXPECT_NEAR(qRed(image.pixel(50, 30)), 128, 1) << "half way to black";
    painter.setOpacity(1);
    painter.rotate(10);
    PanelPicture::paint(painter, QRectF(5, 5, 100, 62), look);
    EXPECT_EQ(PanelPicture::cachedPictures(), 0);
    EXPECT_EQ(image.pixel(50, 30), qRgb(0, 0, 0));
}
