#include "state/LinkRules.h"

using namespace Qt::StringLiterals;

namespace kolu::linkrules {

namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isForbiddenInURL(QChar c)
{
    if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
        return true;
    static const QString forbidden = u"\"<>\\^`{|}"_s;
    return forbidden.contains(c);
}

} // namespace

bool parsesAsURL(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isForbiddenInURL(c))
            return false;
        if (c == u'%' && (i + 2 >= text.size() || !isHexDigit(text.at(i + 1)) || !isHexDigit(text.at(i + 2))))
            return false;
    }
    return QUrl(text, QUrl::StrictMode).isValid();
}

QString schemeOf(const QString &text)
{
    if (text.isEmpty() || !(text.front().isLetter() && text.front().unicode() < 128))
        return {};
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u':')
            return text.left(i);
        const bool schemeChar = c.unicode() < 128 && (c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.');
        if (!schemeChar)
            return {};
    }
    return {};
}

namespace {

bool isWebScheme(const QString &scheme)
{
    const QString lower = scheme.toLower();
    return lower == u"http"_s || lower == u"https"_s;
}

QString hostOf(const QString &text)
{
    return QUrl(text, QUrl::StrictMode).host();
}

} // namespace

bool isWebAddressWithHost(const QString &text)
{
    return isWebScheme(schemeOf(text)) && parsesAsURL(text) && !hostOf(text).isEmpty();
}

std::optional<WebAddress> normalizedWebURL(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (isWebScheme(schemeOf(trimmed)) && parsesAsURL(trimmed)) {
        // An address with no host ("http:", "https:///x") is refused here
        // rather than saved and then dropped at the next launch.
        const QString host = hostOf(trimmed);
        if (host.isEmpty())
            return std::nullopt;
        return WebAddress{trimmed, host};
    }
    if (trimmed.contains(u' '))
        return std::nullopt;
    const QString prefixed = QString(u"https://"_s + trimmed);
    if (!parsesAsURL(prefixed))
        return std::nullopt;
    const QString host = hostOf(prefixed);
    if (host.isEmpty())
        return std::nullopt;
    return WebAddress{prefixed, host};
}

QString encodedSearchQuery(const QString &query)
{
    // The query characters besides letters, digits and "-._~", which
    // toPercentEncoding() always leaves alone.
    return QString::fromLatin1(QUrl::toPercentEncoding(query, "!$'()*,;:@/"));
}

bool isUsableSearchTemplate(const QString &searchURLTemplate)
{
    if (!searchURLTemplate.contains(queryPlaceholder))
        return false;
    QString filled = searchURLTemplate;
    filled.replace(queryPlaceholder, u"test"_s);
    return isWebAddressWithHost(filled);
}

std::optional<QUrl> searchURL(const QString &searchURLTemplate, const QString &query)
{
    const QString trimmed = query.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    QString filled = searchURLTemplate;
    filled.replace(queryPlaceholder, encodedSearchQuery(trimmed));
    if (!isWebAddressWithHost(filled))
        return std::nullopt;
    return QUrl(filled, QUrl::StrictMode);
}

} // namespace kolu::linkrules
