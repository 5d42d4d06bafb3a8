#include "settings/SettingsLogo.h"
#include "settings/SettingsKit.h"
#include "style/Fonts.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/SymbolLabel.h"

#include "SettingsFixture.h"
#include "TestFiles.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

class SettingsKitTest : public SettingsTest { };

TEST_F(SettingsKitTest, DetailsStopAfterTwoLines)
{
    const QString detail = u"The first line of the detail is long enough to wrap on its own, "
                           "then a second line keeps going with more words, "
                           "and a third line would follow if the row let it through."_s;
    for (SettingsRow *row : {settingsStatusRow(u"Status"_s, detail, u"calendar"_s, Qt::red),
                             settingLine(u"Line"_s, detail, u"calendar"_s, Qt::red)}) {
        std::unique_ptr<SettingsRow> owner(row);
        row->resize(280, row->heightForWidth(280) > 0 ? row->heightForWidth(280) : 80);
        const int width = row->detailLabel()->width() > 0 ? row->detailLabel()->width() : 200;
        const QStringList lines = row->detailLabel()->visibleLines(width);
        ASSERT_EQ(lines.size(), 2) << row->objectName().toStdString();
        EXPECT_TRUE(lines.last().endsWith(QChar(0x2026))) << lines.last().toStdString();
        EXPECT_TRUE(row->detailLabel()->isElided(width));
    }
    // The status row's title keeps one line; the line's title wraps.
    std::unique_ptr<SettingsRow> status(settingsStatusRow(detail, QString(), u"calendar"_s, Qt::red));
    std::unique_ptr<SettingsRow> line(settingLine(detail, QString(), u"calendar"_s, Qt::red));
    EXPECT_EQ(status->titleLabel()->visibleLines(200).size(), 1);
    EXPECT_GT(line->titleLabel()->visibleLines(200).size(), 2);
}

TEST_F(SettingsKitTest, LogoLooksUpItsIconInOrder)
{
    const QString folder = home.path(u"icons"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    // Nothing there and no window icon: the monogram.
    OrlixSettingsLogo logo(58);
    logo.setIconFolder(folder);
    EXPECT_TRUE(logo.showsMonogram());
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(folder + u"/KoluIcon.png"_s));
    EXPECT_TRUE(settingsLogoImage(folder, 58, 1).has_value());
    // A logo file that cannot be decoded ends the search: no icon at all.
    ASSERT_TRUE(writeFile(folder + u"/KoluLogo.png"_s, "not an image"));
    EXPECT_FALSE(settingsLogoImage(folder, 58, 1).has_value());
}

TEST_F(SettingsKitTest, TheMonogramReadsOnItsTileInEveryLook)
{
    const QString folder = home.path(u"no-icons"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    struct Look {
        const char *theme;
        ColorScheme scheme;
    };
    for (const Look &look : {Look{"default", ColorScheme::light}, Look{"flatOlive", ColorScheme::light},
                             Look{"heroLight", ColorScheme::light}, Look{"default", ColorScheme::dark},
                             Look{"activeDark", ColorScheme::dark}}) {
        SCOPED_TRACE(look.theme);
        style.setSystemScheme(look.scheme);
        defaults.set(u"orlixTheme"_s, QString::fromLatin1(look.theme));
        OrlixSettingsLogo logo(78);
        logo.setIconFolder(folder);
        // The tile over the window's own background.
        QImage image(logo.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(style.appChrome().rgb());
        logo.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QColor tile = image.pixelColor(logo.tileRect().topLeft().toPoint() + QPoint(12, 12));
        EXPECT_GE(contrastRatio(tile, OrlixSettingsLogo::monogramColor()), 3.0);
    }
}

// A picture painted at twice the window's density gets the icon drawn from
// its vector at that density, not a small picture scaled up.
TEST_F(SettingsKitTest, TheLogoIsDrawnAtThePixelsItIsPaintedOn)
{
    const QString folder = home.path(u"no-icons"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QIcon vector(u":/shell/kolu.svg"_s);
    ASSERT_FALSE(vector.isNull());
    QGuiApplication::setWindowIcon(vector);
    OrlixSettingsLogo logo(58);
    logo.setIconFolder(folder);
    QImage image(logo.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::black);
    logo.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QGuiApplication::setWindowIcon({});
    // The icon fills the frame, 116 device pixels; its inner part, away
    // from the rounded corners, matches the vector drawn there directly.
    QImage direct(116, 116, QImage::Format_ARGB32_Premultiplied);
    direct.fill(Qt::black);
    {
        QPainter painter(&direct);
        painter.drawPixmap(0, 0, vector.pixmap(QSize(116, 116), 1.0));
    }
    const QRectF icon(logo.tileRect().center() - QPointF(29, 29), QSizeF(58, 58));
    const QPoint origin = (icon.topLeft() * 2).toPoint();
    int worst = 0;
    qint64 total = 0;
    const QRect inner(24, 24, 68, 68);
    for (int y = inner.top(); y <= inner.bottom(); ++y) {
        for (int x = inner.left(); x <= inner.right(); ++x) {
            const QColor want = direct.pixelColor(x, y);
            const QColor got = image.pixelColor(origin + QPoint(x, y));
            const int difference = std::max({std::abs(want.red() - got.red()), std::abs(want.green() - got.green()),
                                             std::abs(want.blue() - got.blue())});
            worst = std::max(worst, difference);
            total += difference;
        }
    }
    EXPECT_LE(worst, 8);
    EXPECT_LT(double(total) / double(inner.width() * inner.height()), 1.0);
}

TEST_F(SettingsKitTest, TheLogoTileOverflowsItsFrameUncut)
{
    const QString folder = home.path(u"no-icons"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    style.setGlassTier(GlassTier::translucent); // where glass casts shadows
    QWidget host;
    host.resize(200, 200);
    auto *logo = new OrlixSettingsLogo(58, &host);
    logo->setIconFolder(folder);
    logo->move(70, 40);
    host.show();
    QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    host.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(logo->size(), QSize(58, 58));
    // The 62 pt tile reaches 2 points past each side of the 58 pt frame,
    // and its shadow lies below the frame.
    const int middle = logo->y() + 29;
    EXPECT_GT(qAlpha(image.pixel(logo->x() - 1, middle)), 0);
    EXPECT_GT(qAlpha(image.pixel(logo->x() + 58, middle)), 0);
    EXPECT_GT(qAlpha(image.pixel(logo->x() + 29, logo->y() + 58 + 6)), 0);
}

// The kit's fonts are sized in pixels: the symbol beside a card's title is
// drawn at that size, not at an unset point size.
TEST_F(SettingsKitTest, ASymbolLabelDrawsItsSymbolBesideTheText)
{
    SymbolLabel label(u"Desktop Apps"_s, u"apple.logo"_s, OrlixFonts::system(15, QFont::Bold), PaletteRole::text);
    label.setColor(QColor(255, 0, 0));
    label.resize(label.sizeHint());
    const QImage image = label.grab().toImage();
    const int side = label.sizeHint().height();
    const int inked = countPixels(image, QRect(0, 0, side, image.height()).intersected(image.rect()),
                                  [](const QColor &c) { return c.red() > 160 && c.green() < 100; }); // the symbol's red
    // A desktop glyph about the text's height fills a good part of its square.
    EXPECT_GT(inked, side * side / 8) << "side " << side;
}

} // namespace

} // namespace kolu::test
