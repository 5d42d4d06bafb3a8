#include "services/info/UpdateFeed.h"

#include "platform/net/Http.h"
#include "platform/system/SignatureCheck.h"

#include <QXmlStreamReader>

#include <memory>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Longest build number taken seriously; longer ones are not versions.
constexpr qsizetype kMaxBuildLength = 64;

std::optional<QStringList> buildComponents(const QString &build)
{
    const QString trimmed = build.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > kMaxBuildLength)
        return std::nullopt;
    QStringList parts = trimmed.split(u'.');
    for (QString &part : parts) {
        if (part.isEmpty())
            return std::nullopt;
        for (const QChar c : std::as_const(part)) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
        // Compared as text below, so any length works without overflow.
        while (part.size() > 1 && part.front() == u'0')
            part.remove(0, 1);
    }
    return parts;
}

int compareComponent(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool isDownloadPage(const QUrl &url)
{
    return url.isValid() && url.scheme().toLower() == u"https"_s && !url.host().isEmpty();
}

} // namespace

UpdateError::~UpdateError() = default;

UpdateError UpdateError::notConfigured()
{
    return UpdateError(u"The update feed is not configured."_s);
}

UpdateError UpdateError::notReadable()
{
    return UpdateError(u"The update feed could not be read."_s);
}

UpdateError UpdateError::tooLarge()
{
    return UpdateError(u"The update feed is too large."_s);
}

UpdateError UpdateError::noValidVersion()
{
    return UpdateError(u"The update feed lists no valid version."_s);
}

UpdateError UpdateError::notVerified()
{
    return UpdateError(u"The update feed could not be verified."_s);
}

UpdateError UpdateError::badStatus(int statusCode)
{
    return UpdateError(u"The update feed answered with status %1."_s.arg(statusCode));
}

std::optional<int> compareBuildNumbers(const QString &a, const QString &b)
{
    const auto left = buildComponents(a);
    const auto right = buildComponents(b);
    if (!left || !right)
        return std::nullopt;
    const qsizetype count = std::max(left->size(), right->size());
    for (qsizetype i = 0; i < count; ++i) {
        const QString x = i < left->size() ? left->at(i) : u"0"_s;
        const QString y = i < right->size() ? right->at(i) : u"0"_s;
        if (const int order = compareComponent(x, y); order != 0)
            return order;
    }
    return 0;
}

UpdateFeedItem newestRelease(const QByteArray &feed)
{
    QXmlStreamReader xml(feed);
    std::optional<UpdateFeedItem> newest;
    UpdateFeedItem current;
    int itemDepth = -1;
    int depth = 0;

    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = xml.name();
            if (itemDepth < 0 && name == u"item"_s) {
                itemDepth = depth;
                current = {};
            } else if (itemDepth >= 0 && depth == itemDepth + 1
                       && (name == u"build"_s || name == u"version"_s || name == u"link"_s)) {
                const QString field = name.toString();
                const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                --depth; // readElementText consumed the end element
                if (field == u"build"_s)
                    current.build = text;
                else if (field == u"version"_s)
                    current.version = text;
                else
                    current.downloadPage = QUrl(text, QUrl::StrictMode);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == itemDepth) {
                itemDepth = -1;
                if (buildComponents(current.build) && isDownloadPage(current.downloadPage)) {
                    current.build = current.build.trimmed();
                    if (current.version.isEmpty())
                        current.version = current.build;
                    if (!newest || compareBuildNumbers(current.build, newest->build) > 0)
                        newest = current;
                }
            }
            --depth;
        }
    }
    if (xml.hasError())
        throw UpdateError::notReadable();
    if (!newest)
        throw UpdateError::noValidVersion();
    return *newest;
}

QUrl updateFeedSignatureURL(const QUrl &feedURL)
{
    QUrl url = feedURL;
    url.setPath(feedURL.path() + u".sig"_s);
    return url;
}

bool isSignedUpdateFeed(const QByteArray &feed, const QByteArray &signature, const QString &publicKey)
{
    const auto options = QByteArray::AbortOnBase64DecodingErrors;
    const auto key = QByteArray::fromBase64Encoding(publicKey.trimmed().toLatin1(), options);
    const auto bytes = QByteArray::fromBase64Encoding(signature.trimmed(), options);
    return key && bytes && verifyEd25519(feed, *bytes, *key);
}

QCoro::Task<QByteArray> fetchUpdateFeed(Network &network, QUrl url, Clock &clock, std::chrono::milliseconds timeout,
                                        qint64 maxBytes)
{
    const HttpRequest request{url, "application/rss+xml, application/xml, text/xml"};
    HttpResponse response;
    try {
        response = co_await httpGet(network, request, clock, timeout, maxBytes);
    } catch (const AnswerTooLarge &) {
        throw UpdateError::tooLarge();
    }
    if (!response.isSuccess())
        throw UpdateError::badStatus(response.statusCode);
    co_return response.body;
}

} // namespace kolu
