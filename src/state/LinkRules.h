#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace kolu::linkrules {

// A web address in the form it is stored: the text as typed (or with
// "https://" put in front) and its host.
struct WebAddress {
    QString absoluteString;
    QString host;

    friend bool operator==(const WebAddress &, const WebAddress &) = default;
};

// Whether `text` reads as an address at all: no white space, no control
// character, none of " < > \ ^ ` { | }, and every "%" starting an escape of
// two hex digits; then Qt's strict parser must accept it.
bool parsesAsURL(const QString &text);

// The scheme at the start of `text` ("HTTP" of "HTTP://a"), empty when there
// is none.
QString schemeOf(const QString &text);

// An http or https address with a host: the only kind of link that is kept.
bool isWebAddressWithHost(const QString &text);

// Turns typed text into a web address. The text is trimmed; an http or https
// address is kept as typed; text without a scheme of its own and without a
// space gets "https://" in front. Either way the address must name a host.
std::optional<WebAddress> normalizedWebURL(const QString &text);

// The query as it goes into a search address: UTF-8, percent-encoded with the
// characters a query may hold, less "&", "+", "=" and "?".
QString encodedSearchQuery(const QString &query);

// A search template is usable when, with "{query}" filled in, it is an http
// or https address with a host.
bool isUsableSearchTemplate(const QString &searchURLTemplate);

// The search page for `query` (trimmed; empty gives nothing) from a template
// holding "{query}" one or more times; nothing when the result is no usable
// web address.
std::optional<QUrl> searchURL(const QString &searchURLTemplate, const QString &query);

inline constexpr QLatin1StringView queryPlaceholder{"{query}"};

} // namespace kolu::linkrules
