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

// Blends the picture over whatever its paint event asks for.
class Blender : public QWidget {
public:
    Blender(qreal ratio, QWidget *parent)
        : QWidget(parent)
        , m_picture(picture(ratio))
    {
        resize(180, 110);
    }
    int passes = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        passes = 0;
        drawPerRect(painter, event->region(), [&] {
            ++passes;
            painter.setOpacity(kOpacity);
            painter.drawPixmap(kAt, m_picture);
        });
    }

private:
    QPixmap m_picture;
};

QImage canvas(QSize size, qreal ratio)
{
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(250, 248, 240));
    return image;
}

} // namespace

// What changed in a frame is often a few rectangles: drawn once per
// rectangle, the picture blends exactly as through the whole region, on 1x
// and 2x screens, in a widget at the window's corner or inside it, and
// nothing outside the region is touched.
TEST(ClipRectsTest, APictureDrawnPerRectangleBlendsAsThroughTheWholeRegion)
{
    const QRegion changed = QRegion(0, 0, 100, 40) + QRegion(30, 40, 140, 30) + QRegion(120, 70, 60, 40);
    for (const QPoint offset : {QPoint(), QPoint(23, 11)}) {
        for (const qreal ratio : {1.0, 2.0}) {
            SCOPED_TRACE(testing::Message() << "offset " << offset.x() << ", ratio " << ratio);
            QWidget window;
            window.resize(220, 140);
            window.setAttribute(Qt::WA_NoSystemBackground);
            auto *blender = new Blender(ratio, &window);
            blender->move(offset);
            QImage split = canvas(window.size(), ratio);
            // The region's top-left lands at the target offset.
            window.render(&split, offset, changed.translated(offset), QWidget::DrawChildren);
            EXPECT_EQ(blender->passes, changed.rectCount());

            QImage whole = canvas(window.size(), ratio);
            QPainter painter(&whole);
            painter.setClipRegion(changed.translated(offset));
            painter.setOpacity(kOpacity);
            painter.drawPixmap(kAt + offset, picture(ratio));
            painter.end();
            EXPECT_EQ(split, whole);
        }
    }
}

// What a window shape newly shows is many thin rectangles: drawn in runs
// of fewer rows than the raster engine hands to its pool of threads, every
// rectangle once, the picture blends as through the whole region.
TEST(ClipRectsTest, ManyThinRectanglesAreDrawnInRunsOfFewRows)
{
    QRegion thin;
    for (int y = 0; y < 100; ++y)
        thin += QRegion(10 + y % 7, y, 30 + y % 11, 1) + QRegion(90 + y % 5, y, 3, 1);
    ASSERT_GT(thin.rectCount(), 100);
    QImage image(200, 120, QImage::Format_ARGB32_Premultiplied);
    QPainter measuring(&image);
    const std::vector<QRegion> pieces = clipPieces(measuring, thin);
    measuring.end();
    ASSERT_GT(pieces.size(), 1u);
    QRegion covered;
    for (const QRegion &piece : pieces) {
        int rows = 0;
        for (const QRect &rect : piece)
            rows += rect.height();
        EXPECT_LE(rows, 64);
        EXPECT_TRUE((covered & piece).isEmpty()) << "each pixel in one piece";
        covered += piece;
    }
    EXPECT_EQ(covered, thin);

    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        QWidget window;
        window.resize(220, 140);
        window.setAttribute(Qt::WA_NoSystemBackground);
        auto *blender = new Blender(ratio, &window);
        QImage split = canvas(window.size(), ratio);
        // The region's top-left lands at the target offset.
        window.render(&split, thin.boundingRect().topLeft(), thin, QWidget::DrawChildren);
        EXPECT_GT(blender->passes, 1);
        QImage whole = canvas(window.size(), ratio);
        QPainter painter(&whole);
        painter.setClipRegion(thin);
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
    const QRegion two = QRegion(0, 0, 10, 10) + QRegion(20, 20, 10, 10);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    EXPECT_EQ(clipPieces(painter, two).size(), 2u);
    EXPECT_TRUE(clipPieces(painter, QRegion(0, 0, 10, 10)).empty());
    painter.save();
    painter.scale(1.25, 1.25);
    EXPECT_TRUE(clipPieces(painter, two).empty());
    painter.restore();
    painter.setClipRect(0, 0, 50, 50);
    EXPECT_TRUE(clipPieces(painter, two).empty());
}
