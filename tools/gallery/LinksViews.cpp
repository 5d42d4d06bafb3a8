#include "LinksViews.h"

#include "DetailPanelView.h"
#include "GalleryState.h"
#include "KitViews.h"
#include "ManualClock.h"

#include "cards/links/LinksCard.h"
#include "state/AppState.h"
#include "style/widgets/MenuPicker.h"

#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

enum class Pose { empty, full, composer, providerMenu };

std::vector<SavedLink> sampleLinks()
{
    const QDateTime now = clock().now();
    const std::pair<QString, QString> rows[] = {
        {u"The New York Times International Edition"_s, u"https://www.nytimes.com/international"_s},
        {u""_s, u"https://www.my-very-long-site-name.example.org/"_s},
        {u"東京の天気予報"_s, u"https://tenki.example.jp"_s},
        {u"Википедия — свободная энциклопедия"_s, u"https://ru.wikipedia.org"_s},
        {u"الجزيرة نت"_s, u"https://www.aljazeera.net"_s},
        {u"हिन्दी समाचार"_s, u"https://hindi.example.in"_s},
        {u"x"_s, u"https://x.example.com"_s},
        {u"GitHub"_s, u"https://github.com"_s},
        {u"Ελληνικά νέα"_s, u"https://news.example.gr"_s},
        {u"Older, not shown"_s, u"https://old.example.com"_s},
    };
    std::vector<SavedLink> links;
    int i = 0;
    for (const auto &[title, url] : rows)
        links.push_back(SavedLink{QUuid::createUuid(), title, url, now.addSecs(-60 * i++), true});
    return links;
}

// Puts the shared state in the pose's links and search sites.
void pose(Pose pose)
{
    AppState &s = state();
    std::vector<WebSearchProvider> providers = WebSearchProvider::builtInProviders();
    providers.push_back(
        {u"custom-gallery"_s, u"A search site with a long title"_s, u"https://search.example.org/?q={query}"_s, false});
    s.setWebSearchProviders(providers);
    s.setSelectedWebSearchProviderID(pose == Pose::providerMenu ? u"custom-gallery"_s : u"google"_s);
    s.setLinks(pose == Pose::empty ? std::vector<SavedLink>{} : sampleLinks());
}

void openComposer(LinksCard *card)
{
    card->beginComposing();
    card->findChild<QLineEdit *>(u"linkTitleField"_s)->setText(u"Weather in Reykjavík"_s);
    card->findChild<QLineEdit *>(u"linkUrlField"_s)->setText(u"vedur.example.is"_s);
    card->findChild<QLineEdit *>(u"linkSearchField"_s)->setText(u"best hiking trails near the coast"_s);
}

// The card in the real detail panel, as users see it.
QWidget *inPanel(Pose which)
{
    pose(which);
    QWidget *panel = inDetailPanel(RailModule::links, [which](QWidget *built) {
        if (which == Pose::composer)
            openComposer(static_cast<LinksCard *>(built));
    });
    if (which == Pose::providerMenu) {
        // The menu is a popup of its own; here it is drawn inside the
        // picture, below the picker, where it opens.
        auto *picker = panel->findChild<MenuPicker *>(u"linkSearchProviderPicker"_s);
        showMenuInPicture(panel, picker, picker->menu());
    }
    return panel;
}

// The whole card, however tall, at the panel's card width for the rail size.
QWidget *wholeCard(Pose which)
{
    pose(which);
    auto *card = new LinksCard(state());
    if (which == Pose::composer)
        openComposer(card);
    return onPanel(card);
}

} // namespace

std::vector<View> linksViews()
{
    const auto panel = [](const char *name, Pose which) {
        return View{
            name, {kDetailPanelWidth, kDetailPanelHeight}, false, [which](const Context &) { return inPanel(which); }};
    };
    const auto whole = [](const char *name, int height, Pose which) {
        return View{name, {kDetailPanelWidth, height}, true, [which](const Context &) { return wholeCard(which); }};
    };
    return {
        panel("links-empty", Pose::empty),          panel("links-full", Pose::full),
        panel("links-composer", Pose::composer),    panel("links-provider-menu", Pose::providerMenu),
        whole("links-whole-card", 520, Pose::full), whole("links-whole-composer", 600, Pose::composer),
    };
}

} // namespace kolu::gallery
