#include "cards/links/LinkCardRules.h"

#include <gtest/gtest.h>

#include <QUuid>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

SavedLink link(const QString &title, const QString &url, const QDateTime &added = {}, bool favorite = true)
{
    return SavedLink{QUuid::createUuid(), title, url, added, favorite};
}

TEST(LinkCardRules, VisibleLinksAreTheNineNewestFavouritesWithTiesInStoredOrder)
{
    const QDateTime base(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
    std::vector<SavedLink> links;
    // Twelve favourites, stored oldest first; two of them share a moment.
    for (int i = 0; i < 12; ++i)
        links.push_back(link(u"fav%1"_s.arg(i), u"https://f%1.test"_s.arg(i), base.addSecs(i * 60)));
    links[10].dateAdded = links[11].dateAdded;
    // Newer links that are not favourites never show.
    for (int i = 0; i < 3; ++i)
        links.push_back(link(u"plain%1"_s.arg(i), u"https://p%1.test"_s.arg(i), base.addDays(5), false));

    QStringList shown;
    for (const SavedLink &held : linkcard::visibleLinks(links))
        shown << held.title;
    EXPECT_EQ(shown, (QStringList{u"fav10"_s, u"fav11"_s, u"fav9"_s, u"fav8"_s, u"fav7"_s, u"fav6"_s, u"fav5"_s,
                                  u"fav4"_s, u"fav3"_s}));
    EXPECT_TRUE(linkcard::visibleLinks({}).empty());
    EXPECT_EQ(linkcard::visibleLinks({links.begin(), links.begin() + 2}).size(), 2u);
}

TEST(LinkCardRules, MonogramsCountUserPerceivedCharacters)
{
    const QString bmpPlane1 = QString::fromUcs4(U"\U0001D400bc");                 // mathematical bold A
    const QString flag = QString::fromUcs4(U"\U0001F1EB\U0001F1F7news");          // a flag: two code points
    const QString accented = QString::fromUcs4(U"e\u0301cole normale");           // e + combining accent
    const struct {
        QString source, monogram;
        int length;
    } cases[] = {
        {u"New York Times"_s, u"NY"_s, 2},
        {u"abcd"_s, u"AB"_s, 2},
        {u"x"_s, u"X"_s, 1},
        {u"!?"_s, u"!?"_s, 2},                                  // punctuation is its own monogram
        {u"www.my-site.com"_s, u"MS"_s, 2},                     // the host's hyphenated halves
        {u"https://www.example.org"_s, u"EO"_s, 2},
        {bmpPlane1, bmpPlane1.left(3).toUpper(), 2},             // one character, not two UTF-16 units
        {flag, QString::fromUcs4(U"\U0001F1EB\U0001F1F7N"), 2}, // one word: the flag and "n"
        {accented, QString::fromUcs4(U"E\u0301N"), 2},
        {u"東京 タワー"_s, u"東タ"_s, 2},
        {u""_s, u""_s, 0},
    };
    for (const auto &c : cases) {
        const QString got = linkcard::monogram(c.source);
        EXPECT_EQ(got, c.monogram) << c.source.toStdString() << " gave " << got.toStdString();
        EXPECT_EQ(linkcard::monogramLength(got), c.length) << c.source.toStdString();
    }
}

TEST(LinkCardRules, TileNameAndSourceFallBackFromTitleToHostToText)
{
    const struct {
        QString title, url, name, source;
    } cases[] = {
        {u"  News  "_s, u"https://www.news.test/"_s, u"News"_s, u"News"_s},
        {u""_s, u"https://www.my-site.com/a"_s, u"my-site.com"_s, u"www.my-site.com"_s},
        {u" "_s, u"https://WWW.Example.COM/x"_s, u"example.com"_s, u"www.example.com"_s},
        // Only a leading "www." goes: what remains must still name the same site.
        {u""_s, u"https://xwww.example.com"_s, u"xwww.example.com"_s, u"xwww.example.com"_s},
        {u""_s, u"https://www.www.test"_s, u"www.test"_s, u"www.www.test"_s},
        {u""_s, u"not a url"_s, u"Link"_s, u"not a url"_s},
        {u""_s, u"https://bad host/"_s, u"Link"_s, u"https://bad host/"_s},
    };
    for (const auto &c : cases) {
        const SavedLink held = link(c.title, c.url);
        EXPECT_EQ(linkcard::tileName(held), c.name) << c.url.toStdString();
        EXPECT_EQ(linkcard::displaySource(held), c.source) << c.url.toStdString();
    }
}

TEST(LinkCardRules, IconColourIsTheCodePointSumModuloSeven)
{
    // "AB" = 65 + 66 = 131 = 18 * 7 + 5: orange.
    EXPECT_EQ(linkcard::iconColorIndex(u"AB"_s), 5);
    EXPECT_EQ(linkcard::iconColorIndex(u""_s), 0);
    // A character outside the basic plane counts once, by its code point.
    EXPECT_EQ(linkcard::iconColorIndex(QString::fromUcs4(U"\U0001F600")), int(0x1F600 % 7));
    EXPECT_NE(linkcard::namedIconColor(5, ColorScheme::light), linkcard::namedIconColor(4, ColorScheme::light));
}

TEST(LinkCardRules, OnlyWebAddressesWithAHostAreOpened)
{
    const struct {
        QString url;
        bool opens;
    } cases[] = {
        {u"https://example.org/path?q=1"_s, true}, {u"HTTP://example.org"_s, true},
        {u"file:///etc/passwd"_s, false},          {u"javascript:alert(1)"_s, false},
        {u"mailto:a@b.test"_s, false},             {u"https:///nohost"_s, false},
        {u"example.org"_s, false},                 {u"not a url"_s, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(linkcard::openableURL(link({}, c.url)).has_value(), c.opens) << c.url.toStdString();
}

TEST(LinkCardRules, GridColumnsAndWhatCanBeSaved)
{
    const std::pair<int, int> widths[] = {{0, 1}, {77, 1}, {166, 2}, {254, 3}, {333, 3}, {342, 4}};
    for (const auto &[width, columns] : widths)
        EXPECT_EQ(linkcard::gridColumns(width), columns) << width;
    EXPECT_TRUE(linkcard::canSave(u" x "_s));
    EXPECT_FALSE(linkcard::canSave(u" \n\t"_s));
}

} // namespace
} // namespace kolu
