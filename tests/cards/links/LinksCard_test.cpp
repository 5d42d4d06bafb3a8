#include "cards/links/LinksCard.h"

#include "cards/links/FavoriteLinkTile.h"
#include "cards/links/LinkControls.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/OrlixTextField.h"

#include "../CardTest.h"

#include <QAction>
#include <QMenu>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

class LinksCardTest : public test::CardTest<LinksCard> {
protected:
    LinksCardTest() { cardSize = {282, 700}; }

    OrlixTextField *field(const QString &name) const { return find<OrlixTextField>(name); }
    QWidget *focused() const { return card->window()->focusWidget(); }
    FavoriteLinkGrid *grid() const { return find<FavoriteLinkGrid>(u"favoriteLinkGrid"_s); }
    LinkComposerButton *composerButton() const { return find<LinkComposerButton>(u"linkComposerButton"_s); }
    const QList<QUrl> &opened() const { return services.urlOpener->opened; }

    // Added `minutes` after the first of March.
    static SavedLink link(const QString &title, const QString &url, int minutes, bool favorite = true)
    {
        const QDateTime base(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
        return SavedLink{QUuid::createUuid(), title, url, base.addSecs(60 * minutes), favorite};
    }
};
using test::settle;

TEST_F(LinksCardTest, SearchOpensTheChosenSiteWithTheQueryEncoded)
{
    state->loadSavedState();
    state->addWebSearchProvider(u"Test"_s, u"https://s.test/?q={query}"_s);
    makeCard();
    auto *picker = find<MenuPicker>(u"linkSearchProviderPicker"_s);
    ASSERT_EQ(picker->items().size(), int(state->webSearchProviders().size()));
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
    EXPECT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(opened().size(), 1);
    EXPECT_EQ(opened().last().toString(QUrl::FullyEncoded), u"https://s.test/?q=a%20b%26c"_s);
    EXPECT_EQ(query->text(), u"a b&c"_s) << "the query stays";

    // Choosing another site from the menu selects it for the next search.
    QAction *first = picker->menu()->findChild<QAction *>(u"menuPickerItem0"_s);
    ASSERT_NE(first, nullptr);
    first->trigger();
    EXPECT_EQ(state->selectedWebSearchProviderID(), state->webSearchProviders().front().id);
    EXPECT_EQ(picker->currentIndex(), 0);
}

TEST_F(LinksCardTest, ComposerMovesTheFocusAndSavesANormalisedAddress)
{
    makeCard();
    auto *title = field(u"linkTitleField"_s);
    auto *url = field(u"linkUrlField"_s);
    auto *invitation = find<QAbstractButton>(u"linkComposerInvitation"_s);
    EXPECT_FALSE(title->isVisibleTo(card.get()));

    QTest::mouseClick(invitation, Qt::LeftButton);
    EXPECT_TRUE(title->isVisibleTo(card.get()));
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
    EXPECT_TRUE(composerButton()->isReady());
    QTest::mouseClick(composerButton(), Qt::LeftButton);
    ASSERT_EQ(state->links().size(), 1u);
    EXPECT_EQ(state->links().front().url, u"https://example.org"_s);
    EXPECT_EQ(title->text() + url->text(), QString());
    EXPECT_TRUE(invitation->isVisibleTo(card.get()));
    EXPECT_TRUE(focused() != title && focused() != url);

    // Return in the address saves too; the name goes as typed. An address the
    // state cannot use closes the form all the same and stores nothing.
    const struct {
        QString title, url;
        std::size_t count;
    } saves[] = {{u" My site "_s, u"https://my.test/a"_s, 2}, {u"Bad"_s, u"not a url"_s, 2}};
    for (const auto &save : saves) {
        card->composerAction();
        settle();
        title->setText(save.title);
        url->setText(save.url);
        QTest::keyClick(url, Qt::Key_Return);
        EXPECT_FALSE(card->isComposing()) << save.url.toStdString();
        EXPECT_EQ(state->links().size(), save.count) << save.url.toStdString();
        EXPECT_TRUE(url->text().isEmpty());
    }
    EXPECT_EQ(state->links().front().title, u" My site "_s);
}

TEST_F(LinksCardTest, GridShowsTheNineNewestFavouritesAndFitsTheCard)
{
    std::vector<SavedLink> links;
    for (int i = 0; i < 12; ++i)
        links.push_back(link(u"Site %1"_s.arg(i), u"https://s%1.test"_s.arg(i), i));
    links.push_back(link(u"Newer, not a favourite"_s, u"https://n.test"_s, 3 * 24 * 60, false));
    state->setLinks(links);

    for (const int width : {282, 361}) {
        cardSize = {width, 900};
        makeCard();
        EXPECT_FALSE(find<EmptyState>(u"linkEmptyState"_s)->isVisibleTo(card.get()));
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
}

TEST_F(LinksCardTest, TilesOpenOnlyWebAddressesCopyAndDelete)
{
    state->setLinks({link(u""_s, u"https://www.example.com/page"_s, 3), link(u"Files"_s, u"file:///etc/passwd"_s, 2),
                     link(u"Script"_s, u"javascript:alert(1)"_s, 1), link(u""_s, u"not a url"_s, 0)});
    makeCard();
    const auto tiles = grid()->tiles();
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_EQ(tiles[0]->name(), u"example.com"_s);
    EXPECT_EQ(tiles[3]->name(), u"Link"_s);
    for (FavoriteLinkTile *tile : tiles)
        QTest::mouseClick(tile, Qt::LeftButton);
    ASSERT_EQ(opened().size(), 1) << "only the web address goes to the desktop";
    EXPECT_EQ(opened().front(), QUrl(u"https://www.example.com/page"_s));

    // The icon of an address that does not parse shows the monogram of its text.
    auto *icon = tiles[3]->findChild<LargeLinkIcon *>(u"largeLinkIcon"_s);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->monogram(), u"NA"_s);
    EXPECT_FALSE(icon->showsBrandImage());

    QAction *copy = tiles[1]->findChild<QAction *>(u"copyLinkAction"_s);
    QAction *remove = tiles[1]->findChild<QAction *>(u"deleteLinkAction"_s);
    ASSERT_TRUE(copy && remove);
    EXPECT_EQ(tiles[1]->actions(), (QList<QAction *>{copy, remove}));
    copy->trigger();
    EXPECT_EQ(services.pasteboard->text(), u"file:///etc/passwd"_s) << "copied as stored";

    remove->trigger();
    settle();
    ASSERT_EQ(state->links().size(), 3u);
    EXPECT_EQ(grid()->tiles().size(), 3u);
    for (const SavedLink &held : state->links())
        EXPECT_NE(held.title, u"Files"_s);
}

} // namespace
} // namespace kolu
