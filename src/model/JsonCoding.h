#pragma once

#include "model/RawEnum.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace kolu::json {

// Dates are written in RFC 3339 form, UTC, whole seconds: "2026-12-06T18:00:00Z".
QString encodeDate(const QDateTime &moment);
// Reads RFC 3339 date-times: "Z" or a numeric offset, with or without a
// fraction (which is dropped). Anything else, surrounding spaces included,
// gives nothing.
std::optional<QDateTime> decodeDate(QStringView text);
// The same form with the fraction kept to the millisecond, for moments that
// come from outside ("2024-05-01T04:21:00.250Z").
std::optional<QDateTime> decodeDateWithMilliseconds(QStringView text);

// UUIDs are written in the canonical 8-4-4-4-12 form, upper case.
QString encodeUuid(const QUuid &uuid);
// Reads the canonical form in either case; braces and other forms give nothing.
std::optional<QUuid> decodeUuid(QStringView text);

// The one encoding of every persisted file: pretty-printed, keys sorted, so
// one value always gives the same bytes.
QByteArray encodeDocument(const QJsonValue &top);

// Parses a whole document; nothing when it is not valid JSON.
std::optional<QJsonValue> parseDocument(const QByteArray &bytes);

// Reads the fields of one JSON object strictly. The first missing required
// field or value of the wrong form marks the reader failed; the values it
// then returns are defaults and must be discarded by checking ok().
class ObjectReader {
public:
    explicit ObjectReader(const QJsonValue &value);

    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }

    QString string(QLatin1StringView key);
    bool boolean(QLatin1StringView key);
    int integer(QLatin1StringView key);
    double number(QLatin1StringView key);
    QDateTime date(QLatin1StringView key);
    QUuid uuid(QLatin1StringView key);
    QJsonArray array(QLatin1StringView key);

    template<RawValueEnum E>
    E enumeration(QLatin1StringView key)
    {
        const QString raw = string(key);
        if (!m_ok)
            return E{};
        const auto parsed = fromRawValue<E>(raw);
        if (!parsed) {
            fail();
            return E{};
        }
        return *parsed;
    }

    // Optional fields: a missing key or null gives nothing; any other value
    // of the wrong form fails the reader.
    std::optional<QString> optionalString(QLatin1StringView key);
    std::optional<QDateTime> optionalDate(QLatin1StringView key);
    // Whether `key` is missing or null.
    bool isAbsent(QLatin1StringView key) const;

private:
    // The value at `key`, or Undefined (after failing) when it is missing.
    QJsonValue required(QLatin1StringView key);

    QJsonObject m_object;
    bool m_ok = true;
};

// An integral JSON number that fits `int`, else nothing.
std::optional<int> integerValue(const QJsonValue &value);

} // namespace kolu::json
