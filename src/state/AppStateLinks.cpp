// Favourite links and web search: adding, de-duplicating and removing saved
// links, the clean-up at launch, and the search providers.
#include "state/AppState.h"

#include "platform/desktop/UrlOpener.h"
#include "state/LinkRules.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr SettingsKey kLegacyCleanupKey = SettingsKey::didCleanLegacyAutoCapturedFavoriteLinks;
const QString kCustomProviderPrefix = u"custom-"_s;

QString linkTitle(const QString &title, const linkrules::WebAddress &address)
{
    if (!title.isEmpty())
        return title;
    return address.host.isEmpty() ? address.absoluteString : address.host;
}

} // namespace

UrlOpener &AppState::urlOpener() const
{
    return *m_services.urlOpener;
}

void AppState::addLink(const QString &title, const QString &url)
{
    const auto address = linkrules::normalizedWebURL(url);
    if (!address)
        return;
    insertLink(
        SavedLink{QUuid::createUuid(), linkTitle(title, *address), address->absoluteString, m_clock.now(), true});
    persist();
}

void AppState::insertLink(const SavedLink &link)
{
    const auto address = linkrules::normalizedWebURL(link.url);
    if (!address)
        return;
    std::vector<SavedLink> links = m_links;
    std::erase_if(links, [&](const SavedLink &held) { return held.url == address->absoluteString; });
    links.insert(links.begin(), SavedLink{QUuid::createUuid(), linkTitle(link.title, *address), address->absoluteString,
                                          m_clock.now(), link.isFavorite});
    if (links.size() > static_cast<std::size_t>(maxLinks))
        links.resize(maxLinks);
    setLinks(std::move(links));
}

void AppState::deleteLink(const SavedLink &link)
{
    std::vector<SavedLink> links = m_links;
    std::erase_if(links, [&](const SavedLink &held) { return held.id == link.id; });
    setLinks(std::move(links));
    persist();
}

void AppState::cleanInvalidFavoriteLinks()
{
    const std::size_t countBefore = m_links.size();
    std::vector<SavedLink> links = m_links;
    std::erase_if(links, [](const SavedLink &held) { return !linkrules::isWebAddressWithHost(held.url); });
    if (links.size() != countBefore)
        setLinks(std::move(links));
    removeLegacyClipboardLinksIfNeeded();
    if (m_links.size() != countBefore)
        persist(); // writes only links.json while the other files are unread
}

void AppState::removeLegacyClipboardLinksIfNeeded()
{
    if (m_defaults.boolValue(kLegacyCleanupKey))
        return;
    // An unreadable settings file says nothing about whether the clean-up
    // ran; running it again would delete the user's own non-favourite links.
    if (m_defaults.loadFailed()) {
        m_defaults.set(kLegacyCleanupKey, true);
        return;
    }
    // Earlier releases put links captured from the clipboard here, marked
    // as not favourite.
    std::vector<SavedLink> links = m_links;
    std::erase_if(links, [](const SavedLink &held) { return !held.isFavorite; });
    if (links.size() != m_links.size())
        setLinks(std::move(links));
    m_defaults.set(kLegacyCleanupKey, true);
}

void AppState::loadWebSearchProviders()
{
    std::vector<WebSearchProvider> providers = WebSearchProvider::builtInProviders();
    // Stored built-in entries are replaced by the current ones.
    for (const WebSearchProvider &stored :
         m_files.read<WebSearchProvidersFile>().value_or(std::vector<WebSearchProvider>{})) {
        if (!stored.isBuiltIn)
            providers.push_back(stored);
    }
    setWebSearchProviders(std::move(providers));
    ensureSelectedWebSearchProviderExists();
    writeWebSearchProviders();
}

void AppState::ensureSelectedWebSearchProviderExists()
{
    const bool exists = std::any_of(m_webSearchProviders.begin(), m_webSearchProviders.end(),
                                    [&](const WebSearchProvider &p) { return p.id == m_selectedWebSearchProviderID; });
    if (!exists)
        setSelectedWebSearchProviderID(WebSearchProvider::google().id);
}

void AppState::writeWebSearchProviders()
{
    m_files.write<WebSearchProvidersFile>(m_webSearchProviders); // a failed write keeps the list in memory
}

WebSearchProvider AppState::selectedWebSearchProvider() const
{
    for (const WebSearchProvider &provider : m_webSearchProviders) {
        if (provider.id == m_selectedWebSearchProviderID)
            return provider;
    }
    return WebSearchProvider::google();
}

void AppState::openWebSearch(const QString &query)
{
    const auto url = linkrules::searchURL(selectedWebSearchProvider().searchURLTemplate, query);
    if (url)
        urlOpener().openUrl(*url);
}

void AppState::addWebSearchProvider(const QString &title, const QString &searchURLTemplate)
{
    const QString trimmedTitle = title.trimmed();
    const QString trimmedTemplate = searchURLTemplate.trimmed();
    if (trimmedTitle.isEmpty() || !linkrules::isUsableSearchTemplate(trimmedTemplate))
        return;
    const QString id = kCustomProviderPrefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    std::vector<WebSearchProvider> providers = m_webSearchProviders;
    providers.push_back(WebSearchProvider{id, trimmedTitle, trimmedTemplate, false});
    setWebSearchProviders(std::move(providers));
    setSelectedWebSearchProviderID(id);
    writeWebSearchProviders();
}

void AppState::deleteWebSearchProvider(const WebSearchProvider &provider)
{
    // A built-in id is refused whatever the record says.
    const auto &builtIns = WebSearchProvider::builtInProviders();
    const bool namesBuiltIn =
        std::any_of(builtIns.begin(), builtIns.end(), [&](const WebSearchProvider &p) { return p.id == provider.id; });
    if (provider.isBuiltIn || namesBuiltIn)
        return;
    // A copy: the record may be one of the list's own, gone once it is replaced.
    const QString id = provider.id;
    std::vector<WebSearchProvider> providers = m_webSearchProviders;
    std::erase_if(providers, [&](const WebSearchProvider &held) { return held.id == id; });
    setWebSearchProviders(std::move(providers));
    if (m_selectedWebSearchProviderID == id)
        setSelectedWebSearchProviderID(WebSearchProvider::google().id);
    writeWebSearchProviders();
}

} // namespace kolu
