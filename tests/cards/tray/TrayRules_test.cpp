#include "cards/tray/TrayRules.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

QList<QUrl> files(int count)
{
    QList<QUrl> urls;
    for (int i = 0; i < count; ++i)
        urls.append(QUrl::fromLocalFile(u"/tmp/f%1"_s.arg(i)));
    return urls;
}

TEST(TrayRules, CountTexts)
{
    EXPECT_EQ(tray::heldCountText(0), u"0 items"_s);
    EXPECT_EQ(tray::heldCountText(1), u"1 item"_s);
    EXPECT_EQ(tray::heldCountText(2), u"2 items"_s);
    EXPECT_EQ(tray::heldCountText(21), u"21 items"_s);
    EXPECT_EQ(tray::capturedCountText(12), u"12 captured"_s);
}

TEST(TrayRules, TheDragThresholdIsThreePixelsInAStraightLine)
{
    struct Case {
        QPointF to;
        bool drags;
    };
    for (const Case c : {Case{{0, 0}, false}, Case{{3, 0}, false}, Case{{0, -3}, false}, Case{{3.1, 0}, true},
                         Case{{2.2, 2.2}, true}, Case{{0, -40}, true}})
        EXPECT_EQ(tray::movedFarEnoughToDrag({10, 10}, QPointF(10, 10) + c.to), c.drags) << c.to.x() << "," << c.to.y();
}

TEST(TrayRules, ADragCarriesAtMostTwelveFilesAndAlwaysThePressedOne)
{
    const QList<QUrl> fourteen = files(14);
    struct Case {
        int count;
        int pressed;
        QList<int> expected;
    };
    QList<int> firstTwelve;
    for (int i = 0; i < 12; ++i)
        firstTwelve.append(i);
    QList<int> elevenAndLast = firstTwelve.first(11);
    elevenAndLast.append(13);
    const Case cases[] = {
        {3, 1, {0, 1, 2}},
        {12, 11, firstTwelve},
        {14, 0, firstTwelve},
        {14, 11, firstTwelve},
        {14, 13, elevenAndLast},
        {14, 12, [] { QList<int> l; for (int i = 0; i < 11; ++i) l.append(i); l.append(12); return l; }()},
    };
    for (const Case &c : cases) {
        const QList<QUrl> urls = fourteen.first(c.count);
        QList<QUrl> expected;
        for (int i : c.expected)
            expected.append(fourteen[i]);
        EXPECT_EQ(tray::cappedDragURLs(urls, fourteen[c.pressed]), expected) << c.count << " " << c.pressed;
    }
    EXPECT_TRUE(tray::cappedDragURLs({}, fourteen[0]).isEmpty());
}

TEST(TrayRules, PictureExtensionsAndTheByteLimit)
{
    for (const char *name : {"a.png", "a.PNG", "b.jpg", "c.JPEG", "d.heic", "e.gif", "f.tiff", "g.webp"})
        EXPECT_TRUE(tray::hasImageExtension(QString::fromLatin1(name))) << name;
    for (const char *name : {"a.pdf", "b.tif", "c", "d.png.txt", "e.svg"})
        EXPECT_FALSE(tray::hasImageExtension(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(tray::isLargeImage(20'971'520));
    EXPECT_TRUE(tray::isLargeImage(20'971'521));
}

TEST(TrayRules, KindsHaveTheirSymbols)
{
    EXPECT_EQ(tray::kindSymbol(ClipboardItemKind::link), u"link"_s);
    EXPECT_EQ(tray::kindSymbol(ClipboardItemKind::text), u"text.alignleft"_s);
    EXPECT_EQ(tray::kindSymbol(ClipboardItemKind::image), u"photo"_s);
    EXPECT_EQ(tray::kindSymbol(ClipboardItemKind::file), u"doc"_s);
}

} // namespace
} // namespace kolu
