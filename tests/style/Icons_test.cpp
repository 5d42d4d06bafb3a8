#include "model/Enums.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"

#include "ColorMeasure.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QImage>

using namespace kolu;
using namespace kolu::test;
using namespace Qt::StringLiterals;

namespace {

// Columns of an icon image that hold any ink.
int inkedColumns(const QImage &image)
{
    int count = 0;
    for (int x = 0; x < image.width(); ++x)
        count += countPixels(image, QRect(x, 0, 1, image.height()), [](const QColor &c) { return c.alpha() > 0; }) > 0;
    return count;
}

} // namespace

TEST(IconProvider, EveryTableEntryHasItsFilesInThePackage)
{
    const QStringList names = IconProvider::symbolNames();
    ASSERT_GE(names.size(), 100);
    for (const QString &name : names) {
        for (IconWeight weight : {IconWeight::regular, IconWeight::bold}) {
            const QString file = IconProvider::iconFile(name, weight);
            EXPECT_TRUE(QFile::exists(file)) << name.toStdString() << " -> " << file.toStdString();
        }
        if (name.endsWith(u".fill")) {
            EXPECT_TRUE(IconProvider::iconFile(name).contains(u"/fill/")) << name.toStdString();
        }
    }
    for (RailModule module : allCases<RailModule>())
        EXPECT_TRUE(IconProvider::hasSymbol(symbol(module))) << symbol(module).toStdString();
    EXPECT_TRUE(QFile::exists(u":/kolu/icons/LICENSE"_s));
    EXPECT_TRUE(IconProvider::iconFile(u"no.such.symbol"_s).isEmpty());
}

TEST(IconProvider, RecoloursAtTheRequestedSizeAndRatioWithDistinctShapes)
{
    const QColor tint(200, 40, 10);
    const QPixmap icon = IconProvider::pixmap(u"sun.max"_s, 16, tint, 2);
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.devicePixelRatio(), 2);
    const QImage image = icon.toImage().convertToFormat(QImage::Format_ARGB32);
    const auto opaque = [](const QColor &c) { return c.alpha() == 255; };
    EXPECT_GT(countPixels(image, image.rect(), opaque), 20);
    EXPECT_EQ(countPixels(image, image.rect(), [&](const QColor &c) { return opaque(c) && c.rgb() != tint.rgb(); }), 0);
    EXPECT_EQ(inkedColumns(IconProvider::pixmap(u"no.such.symbol"_s, 16, tint, 1).toImage()), 0);

    // One, two and three exclamation marks take more and more room.
    const int one = inkedColumns(IconProvider::pixmap(u"exclamationmark"_s, 32, tint, 1).toImage());
    const int two = inkedColumns(IconProvider::pixmap(u"exclamationmark.2"_s, 32, tint, 1).toImage());
    const int three = inkedColumns(IconProvider::pixmap(u"exclamationmark.3"_s, 32, tint, 1).toImage());
    EXPECT_GT(one, 0);
    EXPECT_GT(two, one + 2);
    EXPECT_GT(three, two + 2);

    // Each settings page has its own picture; "sidebar.right" has its bar on
    // the right: more ink in the right half.
    EXPECT_NE(IconProvider::iconFile(u"apple.logo"_s), IconProvider::iconFile(u"square.grid.2x2"_s));
    const QImage sidebar = IconProvider::pixmap(u"sidebar.right"_s, 32, Qt::black, 1, IconWeight::bold)
                               .toImage()
                               .convertToFormat(QImage::Format_ARGB32);
    const auto inked = [](const QColor &c) { return c.alpha() > 0; };
    EXPECT_GT(countPixels(sidebar, QRect(16, 0, 16, 32), inked),
              countPixels(sidebar, QRect(0, 0, 16, 32), inked) * 11 / 10);
}

TEST(DisplayFont, RegistersFromThePackageAndIsFoundByItsFamily)
{
    const QString family = OrlixFonts::registerDisplayFont();
    ASSERT_FALSE(family.isEmpty());
    EXPECT_EQ(OrlixFonts::registerDisplayFont(), family) << "registered once";
    EXPECT_EQ(QFontInfo(OrlixFonts::display(19.5)).family(), family);
    EXPECT_EQ(OrlixFonts::display(19.5).pixelSize(), 20);
}
