#include "model/JsonCoding.h"

#include <QJsonDocument>
#include <QRegularExpression>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace kolu::json {

QString encodeDate(const QDateTime &moment)
{
    const QDateTime utc = moment.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02dZ", date.year(), date.month(), date.day(), time.hour(),
                             time.minute(), time.second());
}

namespace {

std::optional<QDateTime> parseDate(QStringView text, bool keepMilliseconds)
{
    static const QRegularExpression pattern(
        uR"(^(\d{4})-(\d{2})-(\d{2})[Tt](\d{2}):(\d{2}):(\d{2})(?:\.(\d{1,9}))?(?:([Zz])|([+-])(\d{2}):(\d{2}))$)"_s);
    const auto match = pattern.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const int hour = number(4), minute = number(5), second = number(6);
    if (!date.isValid() || number(1) == 0 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    int milliseconds = 0;
    if (const QStringView fraction = match.capturedView(7); keepMilliseconds && !fraction.isEmpty())
        milliseconds = QString(fraction.toString() + u"00"_s).left(3).toInt();
    int offsetSeconds = 0;
    if (match.capturedView(8).isEmpty()) {
        const int offsetHours = number(10), offsetMinutes = number(11);
        if (offsetHours > 23 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (match.capturedView(9) == u"-" ? -1 : 1);
    }
    const QDateTime utc = QDateTime(date, QTime(hour, minute, second, milliseconds), Qt::UTC).addSecs(-offsetSeconds);
    // Only moments the writer can put back in four-digit form are accepted.
    if (!utc.isValid() || utc.date().year() < 1 || utc.date().year() > 9999)
        return std::nullopt;
    return utc;
}

} // namespace

std::optional<QDateTime> decodeDate(QStringView text)
{
    return parseDate(text, false);
}

std::optional<QDateTime> decodeDateWithMilliseconds(QStringView text)
{
    return parseDate(text, true);
}

QString encodeUuid(const QUuid &uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> decodeUuid(QStringView text)
{
    static const QRegularExpression pattern(
        u"^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"_s);
    if (!pattern.match(text.toString()).hasMatch())
        return std::nullopt;
    return QUuid::fromString(text);
}

QByteArray encodeDocument(const QJsonValue &top)
{
    // QJsonObject keeps its keys sorted, so the indented output is canonical.
    const QJsonDocument document = top.isArray() ? QJsonDocument(top.toArray()) : QJsonDocument(top.toObject());
    return document.toJson(QJsonDocument::Indented);
}

std::optional<QJsonValue> parseDocument(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || document.isNull())
        return std::nullopt;
    if (document.isArray())
        return QJsonValue(document.array());
    return QJsonValue(document.object());
}

std::optional<int> integerValue(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(number);
}

ObjectReader::ObjectReader(const QJsonValue &value)
    : m_object(value.toObject())
    , m_ok(value.isObject())
{
}

QJsonValue ObjectReader::required(QLatin1StringView key)
{
    const auto it = m_object.constFind(key);
    if (it == m_object.constEnd()) {
        fail();
        return QJsonValue(QJsonValue::Undefined);
    }
    return *it;
}

bool ObjectReader::isAbsent(QLatin1StringView key) const
{
    const auto it = m_object.constFind(key);
    return it == m_object.constEnd() || it->isNull();
}

QString ObjectReader::string(QLatin1StringView key)
{
    const QJsonValue value = required(key);
    if (!value.isString())
        fail();
    return value.toString();
}

bool ObjectReader::boolean(QLatin1StringView key)
{
    const QJsonValue value = required(key);
    if (!value.isBool())
        fail();
    return value.toBool();
}

int ObjectReader::integer(QLatin1StringView key)
{
    const auto value = integerValue(required(key));
    if (!value)
        fail();
    return value.value_or(0);
}

double ObjectReader::number(QLatin1StringView key)
{
    const QJsonValue value = required(key);
    if (!value.isDouble())
        fail();
    return value.toDouble();
}

QDateTime ObjectReader::date(QLatin1StringView key)
{
    const auto value = decodeDate(string(key));
    if (!value)
        fail();
    return value.value_or(QDateTime());
}

QUuid ObjectReader::uuid(QLatin1StringView key)
{
    const auto value = decodeUuid(string(key));
    if (!value)
        fail();
    return value.value_or(QUuid());
}

QJsonArray ObjectReader::array(QLatin1StringView key)
{
    const QJsonValue value = required(key);
    if (!value.isArray())
        fail();
    return value.toArray();
}

std::optional<QString> ObjectReader::optionalString(QLatin1StringView key)
{
    if (isAbsent(key))
        return std::nullopt;
    return string(key);
}

std::optional<QDateTime> ObjectReader::optionalDate(QLatin1StringView key)
{
    if (isAbsent(key))
        return std::nullopt;
    return date(key);
}

} // namespace kolu::json
