#include "model/RecordCoding.h"

#include "model/JsonCoding.h"

using namespace Qt::StringLiterals;

namespace kolu::json {

namespace {

template<typename T>
std::optional<T> finish(const ObjectReader &reader, T &&value)
{
    if (!reader.ok())
        return std::nullopt;
    return std::forward<T>(value);
}

} // namespace

QJsonObject encode(const SavedLink &link)
{
    return {
        {u"dateAdded"_s, encodeDate(link.dateAdded)},
        {u"id"_s, encodeUuid(link.id)},
        {u"isFavorite"_s, link.isFavorite},
        {u"title"_s, link.title},
        {u"url"_s, link.url},
    };
}

template<>
std::optional<SavedLink> decode<SavedLink>(const QJsonValue &value)
{
    ObjectReader r(value);
    SavedLink link{
        .id = r.uuid("id"_L1),
        .title = r.string("title"_L1),
        .url = r.string("url"_L1),
        .dateAdded = r.date("dateAdded"_L1),
        .isFavorite = r.boolean("isFavorite"_L1),
    };
    return finish(r, std::move(link));
}

QJsonObject encode(const WebSearchProvider &provider)
{
    return {
        {u"id"_s, provider.id},
        {u"isBuiltIn"_s, provider.isBuiltIn},
        {u"searchURLTemplate"_s, provider.searchURLTemplate},
        {u"title"_s, provider.title},
    };
}

template<>
std::optional<WebSearchProvider> decode<WebSearchProvider>(const QJsonValue &value)
{
    ObjectReader r(value);
    WebSearchProvider provider{
        .id = r.string("id"_L1),
        .title = r.string("title"_L1),
        .searchURLTemplate = r.string("searchURLTemplate"_L1),
        .isBuiltIn = r.boolean("isBuiltIn"_L1),
    };
    return finish(r, std::move(provider));
}

QJsonObject encode(const ClipboardItem &item)
{
    QJsonObject object{
        {u"dateAdded"_s, encodeDate(item.dateAdded)},
        {u"id"_s, encodeUuid(item.id)},
        {u"kind"_s, rawValue(item.kind)},
        {u"title"_s, item.title},
        {u"value"_s, item.value},
    };
    if (item.filePath)
        object.insert(u"filePath"_s, *item.filePath);
    if (item.sourceURL)
        object.insert(u"sourceURL"_s, *item.sourceURL);
    return object;
}

template<>
std::optional<ClipboardItem> decode<ClipboardItem>(const QJsonValue &value)
{
    ObjectReader r(value);
    ClipboardItem item{
        .id = r.uuid("id"_L1),
        .kind = r.enumeration<ClipboardItemKind>("kind"_L1),
        .title = r.string("title"_L1),
        .value = r.string("value"_L1),
        .dateAdded = r.date("dateAdded"_L1),
        .sourceURL = r.optionalString("sourceURL"_L1),
        .filePath = r.optionalString("filePath"_L1),
    };
    return finish(r, std::move(item));
}

QJsonObject encode(const PomodoroState &state)
{
    QJsonObject object{
        {u"breakDuration"_s, state.breakDuration},
        {u"finishedPendingNotification"_s, state.finishedPendingNotification},
        {u"focusDuration"_s, state.focusDuration},
        {u"isRunning"_s, state.isRunning},
        {u"mode"_s, rawValue(state.mode)},
        {u"remaining"_s, state.remaining},
    };
    if (state.startedAt)
        object.insert(u"startedAt"_s, encodeDate(*state.startedAt));
    return object;
}

template<>
std::optional<PomodoroState> decode<PomodoroState>(const QJsonValue &value)
{
    ObjectReader r(value);
    PomodoroState state{
        .mode = r.enumeration<PomodoroMode>("mode"_L1),
        .focusDuration = r.number("focusDuration"_L1),
        .breakDuration = r.number("breakDuration"_L1),
        .remaining = r.number("remaining"_L1),
        .isRunning = r.boolean("isRunning"_L1),
        .startedAt = r.optionalDate("startedAt"_L1),
        .finishedPendingNotification = r.boolean("finishedPendingNotification"_L1),
    };
    return finish(r, std::move(state));
}

QJsonObject encode(const PrayerSettings &settings)
{
    return {
        {u"city"_s, settings.city},
        {u"country"_s, settings.country},
        {u"method"_s, settings.method},
    };
}

template<>
std::optional<PrayerSettings> decode<PrayerSettings>(const QJsonValue &value)
{
    ObjectReader r(value);
    PrayerSettings settings{
        .city = r.string("city"_L1),
        .country = r.string("country"_L1),
        .method = r.integer("method"_L1),
    };
    return finish(r, std::move(settings));
}

QJsonObject encode(const PrayerTime &time)
{
    return {
        {u"date"_s, encodeDate(time.date)},
        {u"name"_s, rawValue(time.name)},
        {u"notificationsEnabled"_s, time.notificationsEnabled},
    };
}

template<>
std::optional<PrayerTime> decode<PrayerTime>(const QJsonValue &value)
{
    ObjectReader r(value);
    PrayerTime time{
        .name = r.enumeration<PrayerName>("name"_L1),
        .date = r.date("date"_L1),
        .notificationsEnabled = r.boolean("notificationsEnabled"_L1),
    };
    return finish(r, std::move(time));
}

QJsonObject encode(const PrayerDay &day)
{
    return {
        {u"city"_s, day.city},
        {u"country"_s, day.country},
        {u"dateID"_s, day.dateID},
        {u"fetchedAt"_s, encodeDate(day.fetchedAt)},
        {u"method"_s, day.method},
        {u"times"_s, encodeList(day.times)},
    };
}

template<>
std::optional<PrayerDay> decode<PrayerDay>(const QJsonValue &value)
{
    ObjectReader r(value);
    PrayerDay day{
        .dateID = r.string("dateID"_L1),
        .city = r.string("city"_L1),
        .country = r.string("country"_L1),
        .method = r.integer("method"_L1),
        .fetchedAt = r.date("fetchedAt"_L1),
        .times = {},
    };
    auto times = decodeList<PrayerTime>(r.array("times"_L1));
    if (!times)
        r.fail();
    else
        day.times = std::move(*times);
    return finish(r, std::move(day));
}

} // namespace kolu::json
