#include "services/info/RemoteAppMessage.h"

#include "model/Error.h"
#include "model/JsonCoding.h"
#include "model/JsonCoding.h"
#include "services/info/ServiceRequest.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QString requiredText(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        throw DecodingError(unreadableAnswerText(QString(u"\""_s + key + u"\""_s)));
    return value.toString().trimmed();
}

std::optional<int> optionalBuild(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    const auto number = json::integerValue(value);
    if (!number)
        throw DecodingError(unreadableAnswerText(QString(u"\""_s + key + u"\""_s)));
    return number;
}

std::optional<QDateTime> decodeDateIfPresent(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    if (!value.isString())
        throw DecodingError(unreadableAnswerText(QString(u"\""_s + key + u"\""_s)));
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const auto moment = json::decodeDateWithMilliseconds(text);
    if (!moment)
        throw DecodingError(u"Expected an ISO 8601 date."_s);
    return moment;
}

} // namespace

RemoteAppMessage RemoteAppMessage::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        throw DecodingError(unreadableAnswerText(u"the message"_s));
    const QJsonObject object = value.toObject();
    RemoteAppMessage message;
    message.id = requiredText(object, "id"_L1);
    message.title = requiredText(object, "title"_L1);
    message.body = requiredText(object, "body"_L1);
    message.minimumBuild = optionalBuild(object, "minimumBuild"_L1);
    message.maximumBuild = optionalBuild(object, "maximumBuild"_L1);
    message.startsAt = decodeDateIfPresent(object, "startsAt"_L1);
    message.expiresAt = decodeDateIfPresent(object, "expiresAt"_L1);
    return message;
}

RemoteAppMessage RemoteAppMessage::decode(const QByteArray &document)
{
    return fromJson(parseAnswer(document));
}

bool RemoteAppMessage::isEligible(int build, const QDateTime &now) const
{
    if (id.isEmpty() || title.isEmpty() || body.isEmpty())
        return false;
    if (minimumBuild && build < *minimumBuild)
        return false;
    if (maximumBuild && build > *maximumBuild)
        return false;
    if (startsAt && now < *startsAt)
        return false;
    if (expiresAt && now >= *expiresAt)
        return false;
    return true;
}

} // namespace kolu
