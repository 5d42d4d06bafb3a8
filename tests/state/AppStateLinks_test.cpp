#include "model/PersistedFiles.h"

#include "state/LinkRules.h"

#include "AppStateFixture.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace kolu::linkrules;

namespace {

class AppStateLinksTest : public test::LinksAndTrayTest {
protected:
    SavedLink stored(const QString &url, bool favorite = true)
    {
        return SavedLink{QUuid::createUuid(), u"T"_s, url, clock.now(), favorite};
    }
};

} // namespace

TEST_F(AppStateLinksTest, AddingABareHostSavesItOnTopAsFavouriteAndNoAddressAddsNothing)
{
    const auto state = makeState();
    state->addLink(u"x"_s, u"not an address"_s);
    state->addLink(u"x"_s, u"https:///nohost"_s);
    EXPECT_FALSE(QFile::exists(state->files().pathOf<LinksFile>()));
    state->addLink(u"Old"_s, u"https://old.example"_s);
    state->addLink(QString(), u"  example.com  "_s);
    ASSERT_EQ(state->links().size(), 2u);
    const SavedLink &link = state->links().front();
    EXPECT_EQ(link.title, u"example.com"_s);
    EXPECT_EQ(link.url, u"https://example.com"_s);
    EXPECT_TRUE(link.isFavorite);
    EXPECT_EQ(state->files().read<LinksFile>(), state->links()) << "adding saves";

    state->deleteLink(state->links().front());
    EXPECT_EQ(state->files().read<LinksFile>(), state->links()) << "deleting saves";
    EXPECT_EQ(state->links().front().title, u"Old"_s);
}

TEST_F(AppStateLinksTest, ASavedAddressMovesToTheTopWithANewIdButFormsAreNotMatched)
{
    const auto state = makeState();
    state->addLink(u"A"_s, u"https://a.example"_s);
    state->addLink(u"A slash"_s, u"https://a.example/"_s);
    const QUuid firstID = state->links().back().id;
    clock.advance(std::chrono::seconds(5));
    state->addLink(u"Again"_s, u"https://a.example"_s);
    ASSERT_EQ(state->links().size(), 2u);
    EXPECT_EQ(state->links().front().title, u"Again"_s);
    EXPECT_NE(state->links().front().id, firstID);
    EXPECT_EQ(state->links().front().dateAdded, clock.now());
    EXPECT_EQ(state->links().back().url, u"https://a.example/"_s);
}

TEST_F(AppStateLinksTest, TheListKeepsTheNewestEighty)
{
    const auto state = makeState();
    for (int i = 0; i < 80; ++i)
        state->addLink({}, u"https://site%1.example"_s.arg(i));
    state->addLink({}, u"https://newest.example"_s);
    ASSERT_EQ(state->links().size(), 80u);
    EXPECT_EQ(state->links().front().url, u"https://newest.example"_s);
    EXPECT_EQ(state->links().back().url, u"https://site1.example"_s);
}

TEST_F(AppStateLinksTest, LaunchCleanUpDropsNonWebAndLegacyLinksOnce)
{
    const auto state = AppStateActionsTest::makeState();
    ASSERT_TRUE(state->files().write<LinksFile>({stored(u"https://keep.example"_s), stored(u"mailto:me@example.com"_s),
                                                 stored(u"http:///nohost"_s),
                                                 stored(u"https://captured.example"_s, false)}));
    state->loadSavedState();
    ASSERT_EQ(state->links().size(), 1u);
    EXPECT_EQ(state->links().front().url, u"https://keep.example"_s);
    EXPECT_EQ(defaults.boolean(u"didCleanLegacyAutoCapturedFavoriteLinks"_s), true);
    EXPECT_EQ(state->files().read<LinksFile>()->size(), 1u);

    ASSERT_TRUE(state->files().write<LinksFile>({stored(u"https://keep.example"_s),
                                                 stored(u"https://later.example"_s, false)}));
    state->loadSavedState();
    EXPECT_EQ(state->links().size(), 2u) << "the legacy clean-up runs once";
}

TEST_F(AppStateLinksTest, AnUnreadableSettingsFileNeverRerunsTheOneTimeCleanUp)
{
    // The settings say the clean-up ran, but a typing mistake hides that.
    const QString settingsPath = makeFile(u".config/Kolu/typo.json"_s,
                                          R"({"didCleanLegacyAutoCapturedFavoriteLinks": true,})");
    UserDefaults typo(settingsPath);
    auto state = std::make_unique<AppState>(typo, clock, services.take());
    const std::vector<SavedLink> links{stored(u"https://fav.example"_s), stored(u"https://mine.example"_s, false)};
    ASSERT_TRUE(state->files().write<LinksFile>(links));
    state->loadSavedState();
    EXPECT_EQ(state->links(), links);
    EXPECT_EQ(typo.boolean(u"didCleanLegacyAutoCapturedFavoriteLinks"_s), true) << "and it never runs later";
}

TEST_F(AppStateLinksTest, StoredBuiltInsAreReplacedUserProvidersKeptAndAnUnreadableFileGivesTheBuiltIns)
{
    makeFile(u".local/share/Kolu/webSearchProviders.json"_s, R"([{"id": 3}])");
    defaults.set(u"selectedWebSearchProviderID"_s, u"custom-gone"_s);
    const auto state = makeState();
    EXPECT_EQ(state->webSearchProviders(), WebSearchProvider::builtInProviders());

    const WebSearchProvider custom{u"custom-1"_s, u"Duck"_s, u"https://duck.example/?q={query}"_s, false};
    ASSERT_TRUE(state->files().write<WebSearchProvidersFile>(
        {{u"google"_s, u"Google"_s, u"https://evil.example/?q={query}"_s, true}, custom}));
    state->loadSavedState();
    std::vector<WebSearchProvider> expected = WebSearchProvider::builtInProviders();
    expected.push_back(custom);
    EXPECT_EQ(state->webSearchProviders(), expected);
    EXPECT_EQ(state->selectedWebSearchProviderID(), u"google"_s);
    EXPECT_EQ(state->files().read<WebSearchProvidersFile>(), expected);
}

TEST_F(AppStateLinksTest, AddedProviderIsSelectedAndDeletingItSelectsGoogle)
{
    const auto state = makeState();
    state->addWebSearchProvider(u"  Duck  "_s, u" https://duck.example/?q={query} "_s);
    ASSERT_EQ(state->webSearchProviders().size(), 4u);
    const WebSearchProvider added = state->webSearchProviders().back();
    EXPECT_EQ(added.title, u"Duck"_s);
    EXPECT_EQ(added.searchURLTemplate, u"https://duck.example/?q={query}"_s);
    EXPECT_FALSE(added.isBuiltIn);
    EXPECT_TRUE(added.id.startsWith(u"custom-"_s));
    EXPECT_EQ(state->selectedWebSearchProvider(), added);
    EXPECT_EQ(defaults.string(u"selectedWebSearchProviderID"_s), added.id);
    EXPECT_EQ(state->files().read<WebSearchProvidersFile>()->size(), 4u);

    state->deleteWebSearchProvider(added);
    EXPECT_EQ(state->webSearchProviders(), WebSearchProvider::builtInProviders());
    EXPECT_EQ(state->selectedWebSearchProviderID(), u"google"_s);
    EXPECT_EQ(state->files().read<WebSearchProvidersFile>()->size(), 3u);
}

TEST_F(AppStateLinksTest, UnusableProvidersAndBuiltInDeletionsAreIgnored)
{
    const auto state = makeState();
    state->addWebSearchProvider(u"No placeholder"_s, u"https://duck.example/?q="_s);
    state->addWebSearchProvider(u"  "_s, u"https://duck.example/?q={query}"_s);
    state->addWebSearchProvider(u"Relative"_s, u"duck{query}"_s);
    state->addWebSearchProvider(u"Spaced"_s, u"https://duck example/?q={query}"_s);
    WebSearchProvider youtube = WebSearchProvider::builtInProviders().back();
    state->deleteWebSearchProvider(youtube);
    youtube.isBuiltIn = false;
    state->deleteWebSearchProvider(youtube);
    EXPECT_EQ(state->webSearchProviders(), WebSearchProvider::builtInProviders());
}

TEST_F(AppStateLinksTest, SearchOpensTheSelectedProvidersPage)
{
    const auto state = makeState();
    state->openWebSearch(u"  a&b=c?d+e f  "_s);
    state->openWebSearch(u"   "_s);
    state->setSelectedWebSearchProviderID(u"youtube"_s);
    state->openWebSearch(u"cats"_s);
    state->setSelectedWebSearchProviderID(u"missing"_s);
    state->openWebSearch(u"dogs"_s);
    const QList<QUrl> &opened = services.urlOpener->opened;
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0].toEncoded(), "https://www.google.com/search?q=a%26b%3Dc%3Fd%2Be%20f");
    EXPECT_EQ(opened[1].toEncoded(), "https://www.youtube.com/results?search_query=cats");
    EXPECT_EQ(opened[2].toEncoded(), "https://www.google.com/search?q=dogs") << "an unknown id searches with google";
}

TEST(LinkRules, WebAddressesAreKeptAsTypedOrGainHttps)
{
    EXPECT_EQ(normalizedWebURL(u"  example.com \n"_s), (WebAddress{u"https://example.com"_s, u"example.com"_s}));
    EXPECT_EQ(normalizedWebURL(u"example.com/a/b?c=d"_s)->absoluteString, u"https://example.com/a/b?c=d"_s);
    EXPECT_EQ(normalizedWebURL(u"HTTP://Example.com/Path"_s)->absoluteString, u"HTTP://Example.com/Path"_s);
    EXPECT_EQ(normalizedWebURL(u"localhost:8080"_s)->absoluteString, u"https://localhost:8080"_s);
}

TEST(LinkRules, TextThatIsNoWebAddressWithAHostGivesNothing)
{
    for (const QString &text : {u""_s, u"   "_s, u"two words"_s, u"https://exa mple.com"_s, u"example.com/%zz"_s,
                                u"exa<mple.com"_s, u"https://"_s, u"http:"_s, u"https:/path"_s,
                                u"http:///just/a/path"_s, u"https:?q=1"_s})
        EXPECT_FALSE(normalizedWebURL(text)) << text.toStdString();
    EXPECT_TRUE(isWebAddressWithHost(u"HTTP://example.com"_s));
    for (const QString &text :
         {u"mailto:me@example.com"_s, u"http:///nohost"_s, u"example.com"_s, u"ftp://example.com"_s})
        EXPECT_FALSE(isWebAddressWithHost(text)) << text.toStdString();
}

TEST(LinkRules, SchemeIsReadOnlyFromAValidSchemeName)
{
    EXPECT_EQ(schemeOf(u"HTTPS://a"_s), u"HTTPS"_s);
    EXPECT_EQ(schemeOf(u"svn+ssh://a"_s), u"svn+ssh"_s);
    EXPECT_EQ(schemeOf(u"1http://a"_s), QString());
    EXPECT_EQ(schemeOf(u"example.com/a:b"_s), QString());
}

TEST(LinkRules, SearchAddressFillsEveryPlaceholder)
{
    const auto url = searchURL(u"https://s.example/?q={query}&again={query}"_s, u"  fish & chips  "_s);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->toEncoded(), "https://s.example/?q=fish%20%26%20chips&again=fish%20%26%20chips");
    EXPECT_EQ(encodedSearchQuery(u"100% #1 café"_s), u"100%25%20%231%20caf%C3%A9"_s);
    EXPECT_FALSE(searchURL(u"https://s.example/?q={query}"_s, u" \n "_s));
    EXPECT_FALSE(searchURL(u"not a template {query}"_s, u"x"_s));
}
