#include "cards/links/BrandIconColor.h"
#include "cards/links/BrandIconLibrary.h"
#include "cards/links/FavoriteLinkTile.h"
#include "cards/links/HostLabel.h"
#include "cards/links/LinkCardRules.h"
#include "cards/links/LinksCard.h"
#include "style/OrlixStyle.h"

#include "../CardTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSet>
#include <QUuid>

#include <map>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

SavedLink site(const QString &url, const QString &title = {})
{
    return SavedLink{QUuid::createUuid(), title, url, QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC), true};
}

// The brand colours the icon package lists, by slug.
std::map<QString, QColor> packageColors()
{
    QFile file(QStringLiteral(KOLU_BRAND_ICON_DATA));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << KOLU_BRAND_ICON_DATA;
    std::map<QString, QColor> colors;
    for (const QJsonValue entry : QJsonDocument::fromJson(file.readAll()).array()) {
        const QJsonObject icon = entry.toObject();
        colors[icon.value("slug"_L1).toString()] = QColor(u"#"_s + icon.value("hex"_L1).toString());
    }
    return colors;
}

constexpr OrlixTheme kThemes[] = {OrlixTheme::default_, OrlixTheme::flatOlive, OrlixTheme::activeDark,
                                  OrlixTheme::heroLight};
constexpr ColorScheme kSchemes[] = {ColorScheme::light, ColorScheme::dark};

TEST(BrandIconTable, ListsDistinctSitesOverFewerIconsThatAllShipWithTheirPackageColours)
{
    const auto &aliases = BrandIconLibrary::aliases();
    QSet<QString> domains, slugs;
    for (const auto &[domain, slug] : aliases) {
        domains.insert(domain);
        slugs.insert(slug);
        EXPECT_EQ(domain, domain.toLower().trimmed()) << domain.toStdString();
        EXPECT_FALSE(domain.startsWith(u"www."_s)) << domain.toStdString();
        EXPECT_EQ(BrandIconLibrary::slugForHost(domain), slug) << domain.toStdString();
        EXPECT_EQ(BrandIconLibrary::slugForHost(u"www."_s + domain.toUpper()), slug) << domain.toStdString();
        for (const auto &[other, unused] : aliases)
            EXPECT_FALSE(domain.endsWith(u"."_s + other))
                << domain.toStdString() << " lies under " << other.toStdString();
    }
    EXPECT_EQ(aliases.size(), 27u);
    EXPECT_EQ(domains.size(), 27);
    EXPECT_EQ(slugs.size(), 23);

    // Every icon is in the build, readable, and nothing else is beside them;
    // each is drawn in the colour its package gives it.
    const auto listed = packageColors();
    QString folder;
    for (const QString &slug : slugs) {
        const auto url = BrandIconLibrary::iconURL(slug);
        ASSERT_TRUE(url) << slug.toStdString();
        folder = QFileInfo(url->toLocalFile()).absolutePath();
        const auto color = BrandIconLibrary::brandColor(slug);
        ASSERT_TRUE(color) << slug.toStdString();
        ASSERT_TRUE(listed.count(slug)) << slug.toStdString() << " is not in the package";
        EXPECT_EQ(color->rgb(), listed.at(slug).rgb()) << slug.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 23) << folder.toStdString();
    for (const auto &[domain, slug] : aliases)
        EXPECT_FALSE(BrandIconLibrary::image(site(u"https://"_s + domain + u"/page"_s)).isNull())
            << domain.toStdString();
}

TEST(BrandIconColor, EveryBrandReadsOnItsTileInEveryLookAndKeepsItsColourWhereItAlreadyDoes)
{
    for (const auto &[domain, slug] : BrandIconLibrary::aliases()) {
        const QColor brand = *BrandIconLibrary::brandColor(slug);
        for (const OrlixTheme theme : kThemes) {
            for (const ColorScheme scheme : kSchemes) {
                const QColor shown = linkcard::brandIconColor(brand, theme, scheme);
                const double contrast =
                    linkcard::contrastRatio(shown, linkcard::brandIconBackdrop(shown, theme, scheme));
                EXPECT_GE(contrast, linkcard::brandIconContrastTarget)
                    << slug.toStdString() << " theme " << int(theme) << " scheme " << int(scheme);
                if (linkcard::contrastRatio(brand, linkcard::brandIconBackdrop(brand, theme, scheme))
                    >= linkcard::brandIconContrastTarget) {
                    EXPECT_EQ(shown.rgb(), brand.rgb()) << slug.toStdString();
                } else {
                    // Shaded only as far as the target, not washed out past it.
                    EXPECT_LT(contrast, linkcard::brandIconContrastTarget + 0.05)
                        << slug.toStdString() << " theme " << int(theme) << " scheme " << int(scheme);
                }
            }
        }
    }
    // A near-black brand turns lighter on a dark look, a bright one deeper on a light look.
    const QColor black(0x18, 0x17, 0x17), green(0x1E, 0xD7, 0x60);
    EXPECT_EQ(linkcard::brandIconColor(black, OrlixTheme::default_, ColorScheme::light), black);
    EXPECT_GT(linkcard::brandIconColor(black, OrlixTheme::default_, ColorScheme::dark).lightness(), black.lightness());
    EXPECT_LT(linkcard::brandIconColor(green, OrlixTheme::heroLight, ColorScheme::light).lightness(),
              green.lightness());
    EXPECT_DOUBLE_EQ(linkcard::contrastRatio(Qt::black, Qt::white), 21.0);
}

class BrandIconTileTest : public test::CardTest<LinksCard> {
protected:
    BrandIconTileTest() { cardSize = {282, 700}; }
};

TEST_F(BrandIconTileTest, ListedSitesAndTheirSubdomainsShowTheirIconInTheBrandColourOthersTheirMonogram)
{
    OrlixStyle style{defaults};
    style.setSystemScheme(ColorScheme::dark);
    state->setLinks({site(u"https://github.com"_s), site(u"https://gist.github.com/someone"_s),
                     site(u"https://www.example.com"_s), site(u"https://gіthub.com"_s)});
    makeCard();
    test::settle();
    const auto tiles = card->findChild<FavoriteLinkGrid *>(u"favoriteLinkGrid"_s)->tiles();
    ASSERT_EQ(tiles.size(), 4u);
    std::vector<LargeLinkIcon *> icons;
    for (FavoriteLinkTile *tile : tiles)
        icons.push_back(tile->findChild<LargeLinkIcon *>(u"largeLinkIcon"_s));
    EXPECT_TRUE(icons[0]->showsBrandImage());
    EXPECT_TRUE(icons[1]->showsBrandImage()) << "a subdomain of a listed site";
    EXPECT_FALSE(icons[2]->showsBrandImage());
    EXPECT_FALSE(icons[3]->showsBrandImage()) << "a look-alike with a Cyrillic letter is another site";
    EXPECT_EQ(icons[3]->monogram().size(), 2);

    // Drawn in the brand colour, lightened for the dark look; the back layer too.
    const QColor shown = linkcard::brandIconColor(QColor(0x181717), OrlixTheme::default_, ColorScheme::dark);
    EXPECT_EQ(icons[0]->iconColor(), shown);
    QImage picture(icons[0]->size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    icons[0]->render(&picture, {}, {}, QWidget::DrawChildren);
    int inBrandColour = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (pixel.alpha() == 255 && std::abs(pixel.red() - shown.red()) <= 2
                && std::abs(pixel.green() - shown.green()) <= 2 && std::abs(pixel.blue() - shown.blue()) <= 2)
                ++inBrandColour;
        }
    }
    EXPECT_GT(inBrandColour, 200) << "the icon's shape in its colour";
}

TEST(HostLabel, AHostMixingScriptsShowsInTheFormTheBrowserGetsOneInASingleScriptAsWritten)
{
    const std::pair<QString, QString> cases[] = {
        {u"https://аpple.com/"_s, u"xn--pple-43d.com"_s}, // a Cyrillic "а" among Latin letters
        {u"https://www.раура.com"_s, u"раура.com"_s},     // Cyrillic throughout
        {u"https://яндекс.рф"_s, u"яндекс.рф"_s},
        {u"https://xn--d1acpjx3f.xn--p1ai/"_s, u"яндекс.рф"_s}, // the same, as the browser gets it
        {u"https://www.bücher.de"_s, u"bücher.de"_s},
        {u"https://日本語.jp"_s, u"日本語.jp"_s},
        {u"https://ドメイン名例.jp"_s, u"ドメイン名例.jp"_s}, // kana and Han are written together
        {u"https://ex-ample1.com"_s, u"ex-ample1.com"_s},
    };
    for (const auto &[url, name] : cases)
        EXPECT_EQ(linkcard::tileName(site(url)), name) << url.toStdString();
    // "раураl" is all Cyrillic except its Latin "l", so it is a mix too.
    EXPECT_TRUE(linkcard::mixesScripts(u"раураl.com"_s));
    EXPECT_FALSE(linkcard::mixesScripts(u"раура.com"_s));
    EXPECT_TRUE(linkcard::mixesScripts(u"gοogle.com"_s)); // a Greek omicron
    EXPECT_EQ(linkcard::tileName(site(u"https://аpple.com/"_s, u" Apple "_s)), u"Apple"_s) << "a title wins";
}

} // namespace
} // namespace kolu
