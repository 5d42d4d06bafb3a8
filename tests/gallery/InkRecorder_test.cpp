#include "InkRecorder.h"

#include "ColorMeasure.h"

#include "style/IconProvider.h"

#include <gtest/gtest.h>

#include <QPainter>

using namespace Qt::StringLiterals;

using namespace kolu;
using namespace kolu::test;

namespace {

// A white strip with a pale body line, a large dark line, a dark symbol, a
// photo-like picture, a faint glow, a line nearly white, a dot and a ring.
class Specimen : public QWidget {
public:
    Specimen() { resize(240, 110); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        QFont small;
        small.setPixelSize(12);
        painter.setFont(small);
        painter.setPen(QColor(0xCC, 0xCC, 0xCC));
        painter.drawText(QRectF(10, 5, 150, 20), Qt::AlignLeft | Qt::AlignVCenter, u"pale words"_s);
        QFont large;
        large.setPixelSize(28);
        painter.setFont(large);
        painter.setPen(QColor(0x33, 0x33, 0x33));
        painter.drawText(QRectF(10, 30, 150, 40), Qt::AlignLeft | Qt::AlignVCenter, u"Heading"_s);
        IconProvider::paint(painter, QRectF(190, 10, 24, 24), u"flag.fill"_s, 16, QColor(0x80, 0x20, 0x20));
        QImage photo(20, 20, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                photo.setPixelColor(x, y, QColor(x * 12, y * 12, 90));
        painter.drawImage(QPointF(190, 50), photo);
        painter.setOpacity(0.2);
        IconProvider::paint(painter, QRectF(215, 50, 24, 24), u"circle.fill"_s, 16, Qt::black);
        painter.setOpacity(1);
        painter.setFont(small);
        painter.setPen(QColor(0xF4, 0xF4, 0xF4));
        painter.drawText(QRectF(10, 80, 150, 20), Qt::AlignLeft | Qt::AlignVCenter, u"ghost words"_s);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x20, 0x60, 0xC0));
        painter.drawEllipse(QRectF(180, 85, 6, 6));
        painter.setPen(QPen(QColor(0xC0, 0x60, 0x20), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(200, 82, 13, 13));
    }
};

} // namespace

TEST(InkRecorder, NotesTextSymbolsAndShapesButNotPicturesOrGlowsAndMeasuresThemOnThePicture)
{
    Specimen specimen;
    InkRecorder recorder(specimen.size());
    recorder.record(specimen);
    std::vector<DrawnInk> inks, shapes;
    for (const DrawnInk &ink : recorder.inks())
        (ink.kind == DrawnInk::Kind::fill || ink.kind == DrawnInk::Kind::outline ? shapes : inks).push_back(ink);
    ASSERT_EQ(inks.size(), 4u);
    EXPECT_EQ(inks[0].kind, DrawnInk::Kind::bodyText);
    EXPECT_EQ(inks[0].what, u"pale words"_s);
    EXPECT_TRUE(inks[0].widgetEnabled);
    EXPECT_EQ(inks[1].kind, DrawnInk::Kind::largeText);
    EXPECT_EQ(inks[2].kind, DrawnInk::Kind::symbol);
    EXPECT_EQ(inks[2].color.rgb(), QColor(0x80, 0x20, 0x20).rgb());

    QImage picture(specimen.size() * 2, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(2);
    picture.fill(Qt::white);
    specimen.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    picture.setDevicePixelRatio(1);
    const auto pale = measure(inks[0], picture, 1);
    ASSERT_TRUE(pale);
    EXPECT_EQ(pale->surface.rgb(), QColor(Qt::white).rgb());
    EXPECT_NEAR(pale->ratio, contrastRatio(QColor(0xCC, 0xCC, 0xCC), Qt::white), 0.01);
    const auto flag = measure(inks[2], picture, 1);
    ASSERT_TRUE(flag);
    EXPECT_GT(flag->ratio, 8);

    // Ink the picture does not show (painted over since) is not measured.
    QImage blank(picture.size(), QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::white);
    EXPECT_FALSE(measure(inks[1], blank, 1));

    // Ink nearly the colour of its surface is measured against it, not
    // passed over for want of a surface unlike it.
    const auto ghost = measure(inks[3], picture, 1);
    ASSERT_TRUE(ghost);
    EXPECT_EQ(ghost->surface.rgb(), QColor(Qt::white).rgb());
    EXPECT_LT(ghost->ratio, 1.2);

    // The background, the dot and the ring, each in its colour.
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(shapes[1].kind, DrawnInk::Kind::fill);
    EXPECT_EQ(shapes[1].color.rgb(), QColor(0x20, 0x60, 0xC0).rgb());
    EXPECT_EQ(shapes[2].kind, DrawnInk::Kind::outline);
    for (const DrawnInk &shape : {shapes[1], shapes[2]}) {
        const auto seen = measure(shape, picture, 1);
        ASSERT_TRUE(seen) << shape.what.toStdString();
        EXPECT_EQ(seen->surface.rgb(), QColor(Qt::white).rgb());
        EXPECT_NEAR(seen->ratio, contrastRatio(shape.color, Qt::white), 0.01);
    }
}
