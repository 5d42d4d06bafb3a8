#include "services/info/ServiceRequest.h"

#include "model/Error.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

using namespace Qt::StringLiterals;

namespace kolu {

std::optional<QUrl> serviceURL(const QUrl &base, const QString &path, const QList<QPair<QString, QString>> &queryItems)
{
    if (!base.isValid() || base.host().isEmpty())
        return std::nullopt;
    const QString scheme = base.scheme().toLower();
    if (scheme != u"https" && scheme != u"http")
        return std::nullopt;

    QString query;
    for (const auto &[key, value] : queryItems) {
        if (!query.isEmpty())
            query += u'&';
        query += QString::fromLatin1(QUrl::toPercentEncoding(key)) + u'='
                 + QString::fromLatin1(QUrl::toPercentEncoding(value));
    }

    QUrl url = base;
    QString basePath = url.path();
    while (basePath.endsWith(u'/'))
        basePath.chop(1);
    url.setPath(basePath + path);
    url.setQuery(query, QUrl::TolerantMode);
    url.setFragment({});
    if (!url.isValid())
        return std::nullopt;
    return url;
}

QJsonValue parseAnswer(const QByteArray &body)
{
    if (body.size() > kMaxAnswerBytes)
        throw DecodingError(u"The data couldn't be read because it is too large."_s);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || document.isNull())
        throw DecodingError(u"The data couldn't be read because it isn't in the correct format."_s);
    if (document.isArray())
        return QJsonValue(document.array());
    return QJsonValue(document.object());
}

QString unreadableAnswerText(const QString &what)
{
    return QString(u"The data couldn't be read because "_s + what + u" is missing or has the wrong type."_s);
}

} // namespace kolu
