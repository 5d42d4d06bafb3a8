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
// photo-like picture and a faint glow.
class Specimen : public QWidget {
public:
    Specimen() { resize(240, 90); }

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
    }
};

} // namespace

TEST(InkRecorder, NotesTextAndSymbolsButNotPicturesOrGlowsAndMeasuresThemOnThePicture)
{
    Specimen specimen;
    InkRecorder recorder(specimen.size());
    recorder.record(specimen);
    const std::vector<DrawnInk> &inks = recorder.inks();
    ASSERT_EQ(inks.size(), 3u);
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
}
