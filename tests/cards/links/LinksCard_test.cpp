#include "cards/links/LinksCard.h"

#include "cards/links/BrandIconLibrary.h"
#include "cards/links/FavoriteLinkTile.h"
#include "cards/links/LinkCardRules.h"
#include "cards/links/LinkControls.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/OrlixTextField.h"

#include "../CardTest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// Added `minutes` after the first of March.
SavedLink link(const QString &title, const QString &url, int minutes = 0, bool favorite = true)
{
    const QDateTime base(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
    return SavedLink{QUuid::createUuid(), title, url, base.addSecs(60 * minutes), favorite};
}

class LinksCardTest : public test::CardTest<LinksCard> {
protected:
    LinksCardTest() { cardSize = {282, 700}; }

    OrlixTextField *field(const QString &name) const { return find<OrlixTextField>(name); }
    QWidget *focused() const { return card->window()->focusWidget(); }
    FavoriteLinkGrid *grid() const { return find<FavoriteLinkGrid>(u"favoriteLinkGrid"_s); }
    LinkComposerButton *composerButton() const { return find<LinkComposerButton>(u"linkComposerButton"_s); }
    const QList<QUrl> &opened() const { return services.urlOpener->opened; }
};
using test::settle;

TEST_F(LinksCardTest, SearchOpensTheChosenSiteWithTheQueryEncodedAndTheComposerSavesANormalisedAddress)
{
    state->loadSavedState();
    state->addWebSearchProvider(u"Test"_s, u"https://s.test/?q={query}"_s);
    makeCard();
    auto *picker = find<MenuPicker>(u"linkSearchProviderPicker"_s);
    EXPECT_EQ(picker->items().last(), u"Test"_s);
    EXPECT_EQ(picker->currentIndex(), picker->items().size() - 1) << "the new site is selected";

    auto *button = find<LinkSearchButton>(u"linkSearchButton"_s);
    auto *query = field(u"linkSearchField"_s);
    for (const QString &blank : {u""_s, u"   "_s, u" \t "_s}) {
        query->setText(blank);
        EXPECT_FALSE(button->isEnabled()) << blank.size();
        QTest::keyClick(query, Qt::Key_Return);
    }
    EXPECT_TRUE(opened().isEmpty()) << "a blank query opens nothing";

    query->setText(u"a b&c"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(opened(), QList<QUrl>{QUrl::fromEncoded("https://s.test/?q=a%20b%26c")});
    EXPECT_EQ(query->text(), u"a b&c"_s) << "the query stays";

    // Choosing another site from the menu selects it for the next search.
    picker->menu()->findChild<QAction *>(u"menuPickerItem0"_s)->trigger();
    EXPECT_EQ(state->selectedWebSearchProviderID(), state->webSearchProviders().front().id);
    EXPECT_EQ(picker->currentIndex(), 0);

    // A site deleted while the card is open leaves its menu at once.
    const qsizetype sites = picker->items().size();
    state->deleteWebSearchProvider(state->webSearchProviders().back());
    EXPECT_EQ(picker->items().size(), sites - 1);
    EXPECT_FALSE(picker->items().contains(u"Test"_s));

    // The composer moves the focus and saves a normalised address.
    auto *title = field(u"linkTitleField"_s);
    auto *url = field(u"linkUrlField"_s);
    auto *invitation = find<QAbstractButton>(u"linkComposerInvitation"_s);
    EXPECT_FALSE(title->isVisibleTo(card.get()));

    QTest::mouseClick(invitation, Qt::LeftButton);
    EXPECT_FALSE(invitation->isVisibleTo(card.get()));
    settle();
    EXPECT_EQ(focused(), title) << "the site name takes the focus on the next turn";

    // Not ready: the button names the field that still needs text.
    url->setFocus();
    QTest::mouseClick(composerButton(), Qt::LeftButton);
    EXPECT_EQ(focused(), title) << "both empty: the site name";
    title->setText(u"  Site "_s);
    QTest::mouseClick(composerButton(), Qt::LeftButton);
    EXPECT_EQ(focused(), url) << "a name without an address: the address";

    url->setText(u"   "_s);
    EXPECT_FALSE(composerButton()->isReady());
    QTest::keyClick(url, Qt::Key_Return);
    EXPECT_EQ(focused(), url) << "Return with a blank address keeps the focus";
    EXPECT_TRUE(state->links().empty());

    title->clear();
    url->setText(u"  example.org "_s);
    QTest::mouseClick(composerButton(), Qt::LeftButton);
    ASSERT_EQ(state->links().size(), 1u);
    EXPECT_EQ(state->links().front().url, u"https://example.org"_s);
    EXPECT_EQ(title->text() + url->text(), QString());
    EXPECT_TRUE(invitation->isVisibleTo(card.get()));
    EXPECT_TRUE(focused() != title && focused() != url);

    // Return in the address saves too; the name goes as typed. An address the
    // state cannot use closes the form all the same and stores nothing.
    const std::tuple<QString, QString, std::size_t> saves[] = {{u" My site "_s, u"https://my.test/a"_s, 2},
                                                               {u"Bad"_s, u"not a url"_s, 2}};
    for (const auto &[name, address, count] : saves) {
        card->composerAction();
        settle();
        title->setText(name);
        url->setText(address);
        QTest::keyClick(url, Qt::Key_Return);
        EXPECT_FALSE(card->isComposing()) << address.toStdString();
        EXPECT_EQ(state->links().size(), count) << address.toStdString();
        EXPECT_TRUE(url->text().isEmpty());
    }
    EXPECT_EQ(state->links().front().title, u" My site "_s);
}

TEST_F(LinksCardTest, GridShowsTheNineNewestFavouritesFitsTheCardAndItsTilesOpenOnlyWebAddresses)
{
    std::vector<SavedLink> links;
    for (int i = 0; i < 12; ++i)
        links.push_back(link(u"Site %1"_s.arg(i), u"https://s%1.test"_s.arg(i), i));
    links.push_back(link(u"Newer, not a favourite"_s, u"https://n.test"_s, 3 * 24 * 60, false));
    state->setLinks(links);

    for (const int width : {282, 361}) {
        cardSize = {width, 900};
        makeCard();
        const auto &tiles = grid()->tiles();
        ASSERT_EQ(tiles.size(), 9u);
        EXPECT_EQ(tiles.front()->name(), u"Site 11"_s);
        EXPECT_EQ(grid()->columns(), 3);
        for (FavoriteLinkTile *tile : tiles)
            EXPECT_GE(tile->width(), 78);
        // Nothing the card shows, tiles included, reaches past its content's sides.
        const QRect content = card->rect().adjusted(ModuleCard::kPadding, 0, -ModuleCard::kPadding, 0);
        for (QWidget *part : card->findChildren<QWidget *>()) {
            if (!part->isVisibleTo(card.get()) || part->isWindow())
                continue;
            const QRect placed(part->mapTo(card.get(), QPoint(0, 0)), part->size());
            EXPECT_TRUE(content.contains(placed)) << width << " " << part->objectName().toStdString();
        }
    }

    state->setLinks({links.back()});
    settle();
    auto *empty = find<EmptyState>(u"linkEmptyState"_s);
    EXPECT_TRUE(empty->isVisibleTo(card.get()));
    EXPECT_EQ(empty->titleLabel()->text(), u"No favorite links"_s);
    EXPECT_FALSE(grid()->isVisibleTo(card.get()));
    EXPECT_TRUE(find(u"linkSearchField"_s)->isVisibleTo(card.get()));
    EXPECT_TRUE(find(u"linkComposerInvitation"_s)->isVisibleTo(card.get()));

    // Tiles open only web addresses, copy and delete.
    state->setLinks({link(u""_s, u"https://www.example.com/page"_s, 3), link(u"Files"_s, u"file:///etc/passwd"_s, 2),
                     link(u"Script"_s, u"javascript:alert(1)"_s, 1), link(u""_s, u"not a url"_s, 0)});
    settle();
    const auto tiles = grid()->tiles();
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_EQ(tiles[0]->name(), u"example.com"_s);
    EXPECT_EQ(tiles[3]->name(), u"Link"_s);
    for (FavoriteLinkTile *tile : tiles)
        QTest::mouseClick(tile, Qt::LeftButton);
    EXPECT_EQ(opened(), QList<QUrl>{QUrl(u"https://www.example.com/page"_s)}) << "only the web address goes out";

    // The icon of an address that does not parse shows the monogram of its text.
    auto *icon = tiles[3]->findChild<LargeLinkIcon *>(u"largeLinkIcon"_s);
    EXPECT_EQ(icon->monogram(), u"NA"_s);
    EXPECT_FALSE(icon->showsBrandImage());

    QAction *copy = tiles[1]->findChild<QAction *>(u"copyLinkAction"_s);
    QAction *remove = tiles[1]->findChild<QAction *>(u"deleteLinkAction"_s);
    EXPECT_EQ(tiles[1]->actions(), (QList<QAction *>{copy, remove}));
    copy->trigger();
    EXPECT_EQ(services.pasteboard->text(), u"file:///etc/passwd"_s) << "copied as stored";

    remove->trigger();
    settle();
    ASSERT_EQ(state->links().size(), 3u);
    for (const SavedLink &held : state->links())
        EXPECT_NE(held.title, u"Files"_s);
}

TEST(LinkCardRules, TheGridHoldsTheNineNewestFavouritesInColumnsByWidthAndWhatCanBeSaved)
{
    std::vector<SavedLink> links;
    // Twelve favourites, stored oldest first; two of them share a moment.
    for (int i = 0; i < 12; ++i)
        links.push_back(link(u"fav%1"_s.arg(i), u"https://f%1.test"_s.arg(i), i));
    links[10].dateAdded = links[11].dateAdded;
    // Newer links that are not favourites never show.
    for (int i = 0; i < 3; ++i)
        links.push_back(link(u"plain%1"_s.arg(i), u"https://p%1.test"_s.arg(i), 5 * 24 * 60, false));

    QStringList shown;
    for (const SavedLink &held : linkcard::visibleLinks(links))
        shown << held.title;
    EXPECT_EQ(shown, (QStringList{u"fav10"_s, u"fav11"_s, u"fav9"_s, u"fav8"_s, u"fav7"_s, u"fav6"_s, u"fav5"_s,
                                  u"fav4"_s, u"fav3"_s}));
    EXPECT_TRUE(linkcard::visibleLinks({}).empty());
    EXPECT_EQ(linkcard::visibleLinks({links.begin(), links.begin() + 2}).size(), 2u);

    const std::pair<int, int> widths[] = {{0, 1}, {77, 1}, {166, 2}, {254, 3}, {333, 3}, {342, 4}};
    for (const auto &[width, columns] : widths)
        EXPECT_EQ(linkcard::gridColumns(width), columns) << width;
    EXPECT_TRUE(linkcard::canSave(u" x "_s));
    EXPECT_FALSE(linkcard::canSave(u" \n\t"_s));
}

TEST(LinkCardRules, MonogramsCountUserPerceivedCharactersAndColourByCodePoints)
{
    const QString bmpPlane1 = QString::fromUcs4(U"\U0001D400bc");        // mathematical bold A
    const QString flag = QString::fromUcs4(U"\U0001F1EB\U0001F1F7news"); // a flag: two code points
    const QString accented = QString::fromUcs4(U"e\u0301cole normale");  // e + combining accent
    const std::tuple<QString, QString, int> cases[] = {
        {u"New York Times"_s, u"NY"_s, 2},
        {u"abcd"_s, u"AB"_s, 2},
        {u"x"_s, u"X"_s, 1},
        {u"!?"_s, u"!?"_s, 2},              // punctuation is its own monogram
        {u"www.my-site.com"_s, u"MS"_s, 2}, // the host's hyphenated halves
        {u"https://www.example.org"_s, u"EO"_s, 2},
        {bmpPlane1, bmpPlane1.left(3).toUpper(), 2},            // one character, not two UTF-16 units
        {flag, QString::fromUcs4(U"\U0001F1EB\U0001F1F7N"), 2}, // one word: the flag and "n"
        {accented, QString::fromUcs4(U"E\u0301N"), 2},
        {u"東京 タワー"_s, u"東タ"_s, 2},
        {u""_s, u""_s, 0},
    };
    for (const auto &[source, monogram, length] : cases) {
        const QString got = linkcard::monogram(source);
        EXPECT_EQ(got, monogram) << source.toStdString() << " gave " << got.toStdString();
        EXPECT_EQ(linkcard::monogramLength(got), length) << source.toStdString();
    }

    // "AB" = 65 + 66 = 131 = 18 * 7 + 5: orange.
    EXPECT_EQ(linkcard::iconColorIndex(u"AB"_s), 5);
    EXPECT_EQ(linkcard::iconColorIndex(u""_s), 0);
    // A character outside the basic plane counts once, by its code point.
    EXPECT_EQ(linkcard::iconColorIndex(QString::fromUcs4(U"\U0001F600")), int(0x1F600 % 7));
    EXPECT_NE(linkcard::namedIconColor(5, ColorScheme::light), linkcard::namedIconColor(4, ColorScheme::light));
}

TEST(LinkCardRules, TileNameAndSourceFallBackFromTitleToHostToTextAndOnlyWebAddressesOpen)
{
    const std::tuple<QString, QString, QString, QString> cases[] = {
        {u"  News  "_s, u"https://www.news.test/"_s, u"News"_s, u"News"_s},
        {u""_s, u"https://www.my-site.com/a"_s, u"my-site.com"_s, u"www.my-site.com"_s},
        {u" "_s, u"https://WWW.Example.COM/x"_s, u"example.com"_s, u"www.example.com"_s},
        // Only a leading "www." goes: what remains must still name the same site.
        {u""_s, u"https://xwww.example.com"_s, u"xwww.example.com"_s, u"xwww.example.com"_s},
        {u""_s, u"https://www.www.test"_s, u"www.test"_s, u"www.www.test"_s},
        {u""_s, u"not a url"_s, u"Link"_s, u"not a url"_s},
        {u""_s, u"https://bad host/"_s, u"Link"_s, u"https://bad host/"_s},
    };
    for (const auto &[title, url, name, source] : cases) {
        const SavedLink held = link(title, url);
        EXPECT_EQ(linkcard::tileName(held), name) << url.toStdString();
        EXPECT_EQ(linkcard::displaySource(held), source) << url.toStdString();
    }

    for (const char *url : {"https://example.org/path?q=1", "HTTP://example.org"})
        EXPECT_TRUE(linkcard::openableURL(link({}, QString::fromLatin1(url)))) << url;
    for (const char *url : {"file:///etc/passwd", "javascript:alert(1)", "mailto:a@b.test", "https:///nohost",
                            "example.org", "not a url"})
        EXPECT_FALSE(linkcard::openableURL(link({}, QString::fromLatin1(url)))) << url;
}

// A small alias table and an empty current folder to look for icons in; the
// shipped table and the current folder come back however the test ends.
class BrandIconLibraryTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString previous = QDir::currentPath();

    void SetUp() override
    {
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        BrandIconLibrary::setAliases(
            {{u"example.com"_s, u"example"_s}, {u"example.org"_s, u"example"_s}, {u"video.test"_s, u"video"_s}});
    }
    void TearDown() override
    {
        BrandIconLibrary::resetAliases();
        QDir::setCurrent(previous);
    }
    void write(const QString &relative, const QByteArray &content)
    {
        ASSERT_TRUE(test::writeFile(folder.filePath(relative), content));
    }
};

const QByteArray kSquare = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 12">)"
                           R"(<rect width="24" height="12" fill="#ff0000"/></svg>)";

TEST_F(BrandIconLibraryTest, HostsMatchTheirSiteOrASubdomainAndSlugsNameOnlyFilesInTheIconFolder)
{
    const std::pair<QString, std::optional<QString>> cases[] = {
        {u"https://WWW.Example.COM/x"_s, u"example"_s},
        {u"https://example.com"_s, u"example"_s},
        {u"https://a.b.example.com/path"_s, u"example"_s},
        {u"http://www.example.org"_s, u"example"_s},
        {u"https://notexample.com"_s, std::nullopt},
        // One leading "www." only: this host is not example.com.
        {u"https://xwww.example.com"_s, u"example"_s}, // a subdomain of example.com all the same
        {u"https://wwwexample.com"_s, std::nullopt},
        {u"https://example.com.evil.test"_s, std::nullopt},
        {u"https:///nohost"_s, std::nullopt},
        {u"not a url"_s, std::nullopt},
        {u""_s, std::nullopt},
    };
    for (const auto &[url, slug] : cases)
        EXPECT_EQ(BrandIconLibrary::slug(link({}, url)), slug) << url.toStdString();
    // Removing every "www." would turn this host into "xexample.com", another site.
    BrandIconLibrary::setAliases({{u"xexample.com"_s, u"other"_s}});
    EXPECT_FALSE(BrandIconLibrary::slug(link({}, u"https://xwww.example.com"_s)));
    EXPECT_EQ(BrandIconLibrary::slug(link({}, u"https://www.xexample.com"_s)), u"other"_s);

    write(u"Resources/escape.svg"_s, kSquare);
    for (const QString &slug : {u"../escape"_s, u""_s, u".hidden"_s, u"a/b"_s})
        EXPECT_FALSE(BrandIconLibrary::iconURL(slug)) << slug.toStdString();
}

TEST_F(BrandIconLibraryTest, LoadsAnIconOnceAndLooksAgainAfterAMiss)
{
    const SavedLink site = link({}, u"https://example.com"_s);
    EXPECT_FALSE(BrandIconLibrary::iconURL(u"example"_s));
    EXPECT_TRUE(BrandIconLibrary::image(site).isNull()) << "no file yet";

    write(u"Resources/BrandIcons/example.svg"_s, "<svg this is not");
    EXPECT_TRUE(BrandIconLibrary::iconURL(u"example"_s));
    EXPECT_TRUE(BrandIconLibrary::image(site).isNull()) << "an unreadable file gives no image";

    write(u"Resources/BrandIcons/example.svg"_s, kSquare);
    const QImage first = BrandIconLibrary::image(site);
    ASSERT_FALSE(first.isNull()) << "a failed load is tried again";
    EXPECT_EQ(first.size(), QSize(BrandIconLibrary::imageSize, BrandIconLibrary::imageSize / 2));
    EXPECT_EQ(first.pixelColor(10, 10), QColor(255, 0, 0));

    // Two links of the site share the one loaded image, even once the file is gone.
    const QImage second = BrandIconLibrary::image(link({}, u"https://www.example.org/about"_s));
    EXPECT_EQ(second.cacheKey(), first.cacheKey());
    EXPECT_TRUE(BrandIconLibrary::image(link({}, u"https://video.test"_s)).isNull());
}

TEST_F(LinksCardTest, ALinksFileThatCouldNotBeReadIsSaidUntilTheLinksChange)
{
    const QString file = state->files().pathOf<LinksFile>();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) && damaged.write("[{\"url\": \"https://kol") > 0);
    damaged.close();
    state->loadSavedState();
    makeCard();
    auto *empty = find<EmptyState>(u"linkEmptyState"_s);
    EXPECT_TRUE(empty->isVisibleTo(card.get()));
    EXPECT_EQ(empty->titleLabel()->text(), u"No favorite links"_s);
    EXPECT_EQ(empty->subtitleLabel()->text(), u"Saved links could not be read and were kept aside."_s);

    state->addLink(u"Kolu"_s, u"https://kolu.example"_s);
    state->deleteLink(state->links().front());
    settle();
    EXPECT_TRUE(empty->isVisibleTo(card.get()));
    EXPECT_EQ(empty->subtitleLabel()->text(), u"Add websites you open often."_s);
}

} // namespace
} // namespace kolu
