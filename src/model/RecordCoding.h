#pragma once

#include "model/PomodoroState.h"
#include "model/Records.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include <optional>
#include <vector>

namespace kolu::json {

// JSON forms of the stored records; keys equal the field names and optional
// fields are left out when absent. Decoders are strict: any missing required
// key or value of the wrong form gives nothing. Unknown keys are ignored.
QJsonObject encode(const SavedLink &link);
QJsonObject encode(const WebSearchProvider &provider);
QJsonObject encode(const ClipboardItem &item);
QJsonObject encode(const PomodoroState &state);
QJsonObject encode(const PrayerSettings &settings);
QJsonObject encode(const PrayerTime &time);
QJsonObject encode(const PrayerDay &day);

template<typename T>
std::optional<T> decode(const QJsonValue &value);

template<>
std::optional<SavedLink> decode<SavedLink>(const QJsonValue &value);
template<>
std::optional<WebSearchProvider> decode<WebSearchProvider>(const QJsonValue &value);
template<>
std::optional<ClipboardItem> decode<ClipboardItem>(const QJsonValue &value);
template<>
std::optional<PomodoroState> decode<PomodoroState>(const QJsonValue &value);
template<>
std::optional<PrayerSettings> decode<PrayerSettings>(const QJsonValue &value);
template<>
std::optional<PrayerTime> decode<PrayerTime>(const QJsonValue &value);
template<>
std::optional<PrayerDay> decode<PrayerDay>(const QJsonValue &value);

template<typename T>
QJsonArray encodeList(const std::vector<T> &items)
{
    QJsonArray array;
    for (const T &item : items)
        array.append(encode(item));
    return array;
}

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

} // namespace kolu::json
