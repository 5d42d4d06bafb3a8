#include "state/AppSettings.h"

#include "model/UserDefaults.h"
#include "state/AppState.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kolu {

namespace {

// A field read from its key: the stored value when the key holds one of its
// type, else the key's default. A case is named by its raw value; a name
// that matches no case gives the key's default.
template<typename T>
T readSetting(const UserDefaults &defaults, SettingsKey key)
{
    static_assert(RawValueEnum<T>, "a stored field of a new type needs its reading here");
    const QString fallback = settingsKeyRow(key).defaultValue.toString();
    return fromRawValue<T>(defaults.stringValue(key)).value_or(*fromRawValue<T>(fallback));
}

template<>
bool readSetting<bool>(const UserDefaults &defaults, SettingsKey key)
{
    return defaults.boolValue(key);
}

template<>
double readSetting<double>(const UserDefaults &defaults, SettingsKey key)
{
    return defaults.numberValue(key);
}

template<>
QString readSetting<QString>(const UserDefaults &defaults, SettingsKey key)
{
    return defaults.stringValue(key);
}

template<>
int readSetting<int>(const UserDefaults &defaults, SettingsKey key)
{
    // The history limit is the one whole-number setting.
    return clipboardHistoryLimitFromStored(defaults.integer(key));
}

template<>
RailModuleOrder readSetting<RailModuleOrder>(const UserDefaults &defaults, SettingsKey key)
{
    return railmodules::orderFromStored(defaults.stringListValue(key));
}

template<>
RailModuleSet readSetting<RailModuleSet>(const UserDefaults &defaults, SettingsKey key)
{
    return railmodules::hiddenFromStored(defaults.stringListValue(key));
}

template<>
CalendarAlertLeads readSetting<CalendarAlertLeads>(const UserDefaults &defaults, SettingsKey key)
{
    CalendarAlertLeads leads;
    const std::optional<QJsonObject> stored = defaults.object(key);
    if (!stored)
        return leads;
    for (auto it = stored->constBegin(); it != stored->constEnd(); ++it) {
        const double value = it->toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!it->isDouble() || !std::isfinite(value) || std::trunc(value) != value
            || std::abs(value) > std::numeric_limits<int>::max())
            return {}; // one value that is no integer makes the whole map count as absent
        leads.insert(it.key(), static_cast<int>(value));
    }
    return leads;
}

} // namespace

QJsonValue storedSetting(const RailModuleOrder &order)
{
    return QJsonArray::fromStringList(railmodules::rawValues(order));
}

QJsonValue storedSetting(const RailModuleSet &set)
{
    return QJsonArray::fromStringList(railmodules::rawValues(set));
}

QJsonValue storedSetting(const CalendarAlertLeads &leads)
{
    QJsonObject stored;
    for (auto it = leads.constBegin(); it != leads.constEnd(); ++it)
        stored.insert(it.key(), it.value());
    return stored;
}

bool isClipboardHistoryLimitOption(int limit)
{
    return std::ranges::find(AppState::clipboardHistoryLimitOptions, limit)
           != AppState::clipboardHistoryLimitOptions.end();
}

int clipboardHistoryLimitFromStored(std::optional<qint64> stored)
{
    const qint64 value = stored.value_or(0);
    return std::ranges::any_of(AppState::clipboardHistoryLimitOptions, [value](int option) { return option == value; })
               ? static_cast<int>(value)
               : settingsKeyRow(SettingsKey::clipboardHistoryLimit).defaultValue.toInt();
}

double clampedStatusMenuHoldDuration(double seconds)
{
    if (std::isnan(seconds))
        return 1.0;
    return std::min(std::max(seconds, 1.0), 10.0);
}

AppSettings AppSettings::load(const UserDefaults &defaults)
{
    AppSettings s;
#define KOLU_LOAD_SETTING(name, key) s.name = readSetting<fieldtype::name>(defaults, SettingsKey::key);
    KOLU_APP_STATE_SETTINGS(KOLU_LOAD_SETTING)
#undef KOLU_LOAD_SETTING
    return s;
}

} // namespace kolu
