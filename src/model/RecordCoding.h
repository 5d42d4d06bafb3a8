#pragma once

#include "model/JsonCoding.h"
#include "model/PomodoroState.h"
#include "model/Records.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include <map>
#include <optional>
#include <tuple>
#include <type_traits>
#include <vector>

namespace kolu::json {

// JSON forms of the stored records. Each record lists its stored fields once,
// key and member, and one encoder and one decoder serve them all. Keys equal
// the field names; optional fields are left out when absent. Decoders are
// strict: any missing required key or value of the wrong form gives nothing.
// Unknown keys are ignored.

template<typename Record, typename Member>
struct StoredField {
    const char *key;
    Member Record::*member;
};

template<typename Record, typename Member>
constexpr StoredField<Record, Member> field(const char *key, Member Record::*member)
{
    return {key, member};
}

// StoredFields<R>::list: a tuple of the stored fields of R.
template<typename Record>
struct StoredFields;

template<>
struct StoredFields<SavedLink> {
    static constexpr std::tuple list{
        field("dateAdded", &SavedLink::dateAdded),
        field("id", &SavedLink::id),
        field("isFavorite", &SavedLink::isFavorite),
        field("title", &SavedLink::title),
        field("url", &SavedLink::url),
    };
};

template<>
struct StoredFields<WebSearchProvider> {
    static constexpr std::tuple list{
        field("id", &WebSearchProvider::id),
        field("isBuiltIn", &WebSearchProvider::isBuiltIn),
        field("searchURLTemplate", &WebSearchProvider::searchURLTemplate),
        field("title", &WebSearchProvider::title),
    };
};

template<>
struct StoredFields<ClipboardItem> {
    static constexpr std::tuple list{
        field("dateAdded", &ClipboardItem::dateAdded),
        field("filePath", &ClipboardItem::filePath),
        field("id", &ClipboardItem::id),
        field("kind", &ClipboardItem::kind),
        field("sourceURL", &ClipboardItem::sourceURL),
        field("title", &ClipboardItem::title),
        field("value", &ClipboardItem::value),
    };
};

template<>
struct StoredFields<PomodoroState> {
    static constexpr std::tuple list{
        field("breakDuration", &PomodoroState::breakDuration),
        field("finishedPendingNotification", &PomodoroState::finishedPendingNotification),
        field("focusDuration", &PomodoroState::focusDuration),
        field("isRunning", &PomodoroState::isRunning),
        field("mode", &PomodoroState::mode),
        field("remaining", &PomodoroState::remaining),
        field("startedAt", &PomodoroState::startedAt),
    };
};

template<>
struct StoredFields<PrayerSettings> {
    static constexpr std::tuple list{
        field("city", &PrayerSettings::city),
        field("country", &PrayerSettings::country),
        field("method", &PrayerSettings::method),
    };
};

template<>
struct StoredFields<PrayerTime> {
    static constexpr std::tuple list{
        field("date", &PrayerTime::date),
        field("name", &PrayerTime::name),
        field("notificationsEnabled", &PrayerTime::notificationsEnabled),
    };
};

template<>
struct StoredFields<PrayerDay> {
    static constexpr std::tuple list{
        field("city", &PrayerDay::city),     field("country", &PrayerDay::country),
        field("dateID", &PrayerDay::dateID), field("fetchedAt", &PrayerDay::fetchedAt),
        field("method", &PrayerDay::method), field("times", &PrayerDay::times),
    };
};

template<typename T>
concept StoredRecord = requires
{
    StoredFields<T>::list;
};

template<typename T>
struct IsList : std::false_type {
};
template<typename T>
struct IsList<std::vector<T>> : std::true_type {
};

template<typename T>
struct IsOptional : std::false_type {
};
template<typename T>
struct IsOptional<std::optional<T>> : std::true_type {
};

template<StoredRecord Record>
QJsonObject encode(const Record &record);

// An array of records in list order.
template<typename T>
QJsonArray encodeList(const std::vector<T> &items)
{
    QJsonArray array;
    for (const T &item : items)
        array.append(encode(item));
    return array;
}

template<typename T>
std::optional<T> decode(const QJsonValue &value);

// A list decodes whole or not at all: one bad element loses the list.
template<typename T>
std::optional<std::vector<T>> decodeList(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    std::vector<T> items;
    items.reserve(static_cast<std::size_t>(array.size()));
    for (const QJsonValue &element : array) {
        auto item = decode<T>(element);
        if (!item)
            return std::nullopt;
        items.push_back(std::move(*item));
    }
    return items;
}

namespace detail {

template<typename T>
QJsonValue toJson(const T &value)
{
    if constexpr (std::is_same_v<T, QDateTime>)
        return encodeDate(value);
    else if constexpr (std::is_same_v<T, QUuid>)
        return encodeUuid(value);
    else if constexpr (RawValueEnum<T>)
        return rawValue(value);
    else if constexpr (IsList<T>::value)
        return encodeList(value);
    else
        return QJsonValue(value);
}

template<typename T>
T readField(ObjectReader &reader, QLatin1StringView key)
{
    if constexpr (IsOptional<T>::value) {
        if (reader.isAbsent(key))
            return std::nullopt;
        return readField<typename T::value_type>(reader, key);
    } else if constexpr (std::is_same_v<T, QString>) {
        return reader.string(key);
    } else if constexpr (std::is_same_v<T, bool>) {
        return reader.boolean(key);
    } else if constexpr (std::is_same_v<T, int>) {
        return reader.integer(key);
    } else if constexpr (std::is_same_v<T, double>) {
        return reader.number(key);
    } else if constexpr (std::is_same_v<T, QDateTime>) {
        return reader.date(key);
    } else if constexpr (std::is_same_v<T, QUuid>) {
        return reader.uuid(key);
    } else if constexpr (RawValueEnum<T>) {
        return reader.enumeration<T>(key);
    } else {
        static_assert(IsList<T>::value, "no stored form for this member type");
        auto items = decodeList<typename T::value_type>(reader.array(key));
        if (!items) {
            reader.fail();
            return {};
        }
        return std::move(*items);
    }
}

} // namespace detail

template<StoredRecord Record>
QJsonObject encode(const Record &record)
{
    QJsonObject object;
    std::apply(
        [&](const auto &...fields) {
            const auto put = [&](const auto &f) {
                const auto &member = record.*(f.member);
                if constexpr (IsOptional<std::remove_cvref_t<decltype(member)>>::value) {
                    if (member)
                        object.insert(QLatin1StringView(f.key), detail::toJson(*member));
                } else {
                    object.insert(QLatin1StringView(f.key), detail::toJson(member));
                }
            };
            (put(fields), ...);
        },
        StoredFields<Record>::list);
    return object;
}

template<typename T>
std::optional<T> decode(const QJsonValue &value)
{
    static_assert(StoredRecord<T>, "no stored form for this type");
    ObjectReader reader(value);
    T record{};
    std::apply(
        [&](const auto &...fields) {
            ((record.*(fields.member) = detail::readField<std::remove_cvref_t<decltype(record.*(fields.member))>>(
                  reader, QLatin1StringView(fields.key))),
             ...);
        },
        StoredFields<T>::list);
    if (!reader.ok())
        return std::nullopt;
    return record;
}

// A map from free keys to true or false, as one object.
using FlagMap = std::map<QString, bool>;
QJsonObject encode(const FlagMap &flags);
template<>
std::optional<FlagMap> decode<FlagMap>(const QJsonValue &value);

// The top level of a stored file: a list of records, one record or a flag map.
template<typename T>
QJsonValue encodeValue(const T &value)
{
    if constexpr (IsList<T>::value)
        return encodeList(value);
    else
        return encode(value);
}

template<typename T>
std::optional<T> decodeValue(const QJsonValue &value)
{
    if constexpr (IsList<T>::value)
        return decodeList<typename T::value_type>(value);
    else
        return decode<T>(value);
}

} // namespace kolu::json
