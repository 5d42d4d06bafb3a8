#include "state/LinkRules.h"

#include "AppStateFixture.h"

using namespace kolu::linkrules;

namespace {

class AppStateLinksTest : public test::AppStateActionsTest {
protected:
    SavedLink stored(const QString &url, bool favorite = true)
    {
        return SavedLink{QUuid::createUuid(), u"T"_s, url, clock.now(), favorite};
    }
    QStringList urls(const AppState &state) const
    {
        QStringList result;
        std::ranges::for_each(state.links(), [&](const SavedLink &link) { result.append(link.url); });
        return result;
    }
};

} // namespace

// The launch clean-up drops links that are no web address, and the legacy
// captured ones once; added links go on top, replacing the same address.
TEST_F(AppStateLinksTest, LaunchCleanUpRunsOnceAndAddedLinksGoOnTopUpToEighty)
{
    const auto state = makeState();
    ASSERT_TRUE(
        state->files().write<LinksFile>({stored(u"https://keep.example"_s), stored(u"mailto:me@example.com"_s),
                                         stored(u"http:///nohost"_s), stored(u"https://captured.example"_s, false)}));
    state->loadSavedState();
    EXPECT_EQ(urls(*state), QStringList{u"https://keep.example"_s});
    EXPECT_EQ(state->files().read<LinksFile>()->size(), 1u);

    ASSERT_TRUE(state->files().write<LinksFile>(
        {stored(u"https://keep.example"_s), stored(u"https://later.example"_s, false)}));
    state->loadSavedState();
    EXPECT_EQ(state->links().size(), 2u) << "the legacy clean-up runs once";

    state->addLink(u"x"_s, u"not an address"_s);
    state->addLink(u"x"_s, u"https:///nohost"_s);
    state->addLink(u"A"_s, u"https://a.example"_s);
    state->addLink(u"A slash"_s, u"https://a.example/"_s); // another form is another link
    const QUuid firstID = state->links().back().id;
    clock.advance(std::chrono::seconds(5));
    state->addLink(QString(), u"  a.example  "_s);
    EXPECT_EQ(urls(*state), (QStringList{u"https://a.example"_s, u"https://a.example/"_s, u"https://keep.example"_s,
                                         u"https://later.example"_s}));
    EXPECT_TRUE(state->links().front().id != firstID && state->links().front().dateAdded == clock.now());
    EXPECT_EQ(state->files().read<LinksFile>(), state->links()) << "adding saves";
    state->deleteLink(state->links().front());
    EXPECT_EQ(state->files().read<LinksFile>(), state->links()) << "deleting saves";

    for (int i = 0; i < 80; ++i)
        state->addLink({}, u"https://site%1.example"_s.arg(i));
    EXPECT_EQ(state->links().size(), 80u);
    EXPECT_EQ(urls(*state).front() + urls(*state).back(), u"https://site79.examplehttps://site0.example"_s);
}

TEST_F(AppStateLinksTest, AnUnreadableSettingsFileNeverRerunsTheOneTimeCleanUp)
{
    // The settings say the clean-up ran, but a typing mistake hides that.
    const QString settingsPath =
        makeFile(u".config/Kolu/typo.json"_s, R"({"didCleanLegacyAutoCapturedFavoriteLinks": true,})");
    UserDefaults typo(settingsPath);
    auto state = std::make_unique<AppState>(typo, clock, services.take());
    const std::vector<SavedLink> links{stored(u"https://fav.example"_s), stored(u"https://mine.example"_s, false)};
    ASSERT_TRUE(state->files().write<LinksFile>(links));
    state->loadSavedState();
    EXPECT_EQ(state->links(), links);
    EXPECT_EQ(typo.boolean(u"didCleanLegacyAutoCapturedFavoriteLinks"_s), true) << "and it never runs later";
}

// Stored built-ins are replaced by the current ones and an unreadable file gives
// the built-ins; built-ins cannot be deleted; a template must name an http(s)
// host and hold the query.
TEST_F(AppStateLinksTest, ProvidersAreReadAddedWhenUsableSearchedWithAndDeletedBackToGoogle)
{
    makeFile(u".local/share/Kolu/webSearchProviders.json"_s, R"([{"id": 3}])");
    defaults.set(u"selectedWebSearchProviderID"_s, u"custom-gone"_s);
    const auto state = makeLoadedState();
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

    state->addWebSearchProvider(u"No placeholder"_s, u"https://duck.example/?q="_s);
    state->addWebSearchProvider(u"  "_s, u"https://duck.example/?q={query}"_s);
    state->addWebSearchProvider(u"Relative"_s, u"duck{query}"_s);
    state->addWebSearchProvider(u"Spaced"_s, u"https://duck example/?q={query}"_s);
    WebSearchProvider youtube = WebSearchProvider::builtInProviders().back();
    state->deleteWebSearchProvider(youtube);
    youtube.isBuiltIn = false;
    state->deleteWebSearchProvider(youtube);
    EXPECT_EQ(state->webSearchProviders(), expected);

    state->addWebSearchProvider(u"  Duck  "_s, u" https://duck.example/?q={query}&again={query} "_s);
    const WebSearchProvider added = state->webSearchProviders().back();
    EXPECT_EQ(added,
              (WebSearchProvider{added.id, u"Duck"_s, u"https://duck.example/?q={query}&again={query}"_s, false}));
    EXPECT_EQ(state->files().read<WebSearchProvidersFile>()->size(), 5u);
    state->openWebSearch(u"  a&b=c?d+e f  "_s);
    state->openWebSearch(u"   "_s);
    state->deleteWebSearchProvider(added);
    EXPECT_EQ(state->selectedWebSearchProviderID(), u"google"_s);
    EXPECT_EQ(state->files().read<WebSearchProvidersFile>(), expected);
    state->setSelectedWebSearchProviderID(u"missing"_s);
    state->openWebSearch(u"100% #1 café"_s);
    EXPECT_EQ(services.urlOpener->opened,
              (QList<QUrl>{QUrl(u"https://duck.example/?q=a%26b%3Dc%3Fd%2Be%20f&again=a%26b%3Dc%3Fd%2Be%20f"_s),
                           QUrl(u"https://www.google.com/search?q=100%25%20%231%20caf%C3%A9"_s)}))
        << "an unknown id searches with google";
}

// Typed text becomes an https address unless it names its own http(s)
// scheme; anything that does not parse or has no host gives nothing.
TEST(LinkRules, TypedTextIsAWebAddressWithAHostOrNothing)
{
    for (const auto &[typed, expected] :
         std::vector<std::pair<QString, QString>>{{u"  example.com \n"_s, u"https://example.com"_s},
                                                  {u"example.com/a/b?c=d"_s, u"https://example.com/a/b?c=d"_s},
                                                  {u"HTTP://Example.com/Path"_s, u"HTTP://Example.com/Path"_s},
                                                  {u"localhost:8080"_s, u"https://localhost:8080"_s}})
        EXPECT_EQ(normalizedWebURL(typed)->absoluteString, expected) << typed.toStdString();
    for (const QString &typed :
         {u""_s, u"   "_s, u"two words"_s, u"https://exa mple.com"_s, u"example.com/%zz"_s, u"exa<mple.com"_s,
          u"https://"_s, u"http:"_s, u"https:/path"_s, u"http:///just/a/path"_s, u"https:?q=1"_s})
        EXPECT_FALSE(normalizedWebURL(typed)) << typed.toStdString();
    for (const QString &text : {u"mailto:me@example.com"_s, u"example.com"_s, u"ftp://example.com"_s})
        EXPECT_FALSE(isWebAddressWithHost(text)) << text.toStdString();
}
