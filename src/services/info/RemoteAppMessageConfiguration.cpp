#include "services/info/RemoteAppMessageConfiguration.h"

#include "model/BuildInfo.h"

using namespace Qt::StringLiterals;

namespace kolu {

std::optional<RemoteAppMessageConfiguration>
RemoteAppMessageConfiguration::fromFeedURLString(const std::optional<QString> &feedURLString)
{
    if (!feedURLString || feedURLString->isEmpty())
        return std::nullopt;
    const QUrl url(*feedURLString, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.scheme().toLower() != u"https"_s || url.host().isEmpty())
        return std::nullopt;
    return RemoteAppMessageConfiguration{url};
}

std::optional<QString> RemoteAppMessageConfiguration::compiledFeedURLString()
{
    const QString text = QString::fromUtf8(buildinfo::kMessageFeedURL);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace kolu
