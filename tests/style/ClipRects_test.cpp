#include "style/ClipRects.h"

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

using namespace kolu;

namespace {

// A translucent picture with a hard edge and a gradient, so a pixel blended
// twice or left out shows.
QPixmap picture(qreal ratio)
{
    QImage image((QSizeF(150, 90) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, image.width(), image.height());
    gradient.setColorAt(0, QColor(20, 120, 230, 200));
    gradient.setColorAt(1, QColor(230, 60, 20, 90));
    painter.fillRect(image.rect().adjusted(4, 4, -4, -4), gradient);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

constexpr QPointF kAt(7, 5);
constexpr qreal kOpacity = 0.55;

class Blender : public QWidget {
public:
    explicit Blender(qreal ratio)
        : m_picture(picture(ratio))
    {
        resize(180, 110);
    }
    int passes = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        passes = 0;
        drawPerClipRect(painter, [&] {
            ++passes;
            painter.setOpacity(kOpacity);
            painter.drawPixmap(kAt, m_picture);
        });
    }

private:
    QPixmap m_picture;
};

QImage canvas(qreal ratio)
{
    QImage image((QSizeF(180, 110) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(250, 248, 240));
    return image;
}

} // namespace

// What changed in a frame is often a few rectangles: drawn once per
// rectangle, the picture blends exactly as through the whole clip, on 1x
// and 2x screens, and nothing outside the clip is touched.
TEST(ClipRectsTest, APictureDrawnPerRectangleBlendsAsThroughTheWholeClip)
{
    const QRegion changed = QRegion(0, 0, 100, 40) + QRegion(30, 40, 140, 30) + QRegion(120, 70, 60, 40);
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        Blender blender(ratio);
        QImage split = canvas(ratio);
        blender.render(&split, QPoint(), changed, QWidget::RenderFlags());
        EXPECT_EQ(blender.passes, changed.rectCount());

        QImage whole = canvas(ratio);
        QPainter painter(&whole);
        painter.setClipRegion(changed);
        painter.setOpacity(kOpacity);
        painter.drawPixmap(kAt, picture(ratio));
        painter.end();
        EXPECT_EQ(split, whole);
    }
}

// A clip the painter set itself, a single rectangle, or a scale that does
// not map pixels onto whole pixels: one pass, as Qt would draw it.
TEST(ClipRectsTest, OnePassWhereSplittingCouldChangeThePicture)
{
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    EXPECT_TRUE(clipRectsToDrawIn(painter).empty());
    painter.setClipRegion(QRegion(0, 0, 10, 10) + QRegion(20, 20, 10, 10));
    EXPECT_TRUE(clipRectsToDrawIn(painter).empty());
    painter.end();

    Blender blender(1.25);
    QImage fractional((QSizeF(180, 110) * 1.25).toSize(), QImage::Format_ARGB32_Premultiplied);
    fractional.setDevicePixelRatio(1.25);
    blender.render(&fractional, QPoint(), QRegion(0, 0, 50, 50) + QRegion(60, 60, 50, 50), QWidget::RenderFlags());
    EXPECT_EQ(blender.passes, 1);
}
