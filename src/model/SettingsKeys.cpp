#include "model/SettingsKeys.h"

#include "model/JsonCoding.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

using T = SettingType;
using K = SettingsKey;

// The stored names and defaults are those of files already on disk: never
// rename a key or change its default here.
const std::array<SettingsKeyRow, 36> &table()
{
    static const std::array<SettingsKeyRow, 36> rows{{
        {K::railEdge, "railEdge"_L1, T::string, u"right"_s},
        {K::railSize, "railSize"_L1, T::string, u"standard"_s},
        {K::railVerticalPosition, "railVerticalPosition"_L1, T::string, u"center"_s},
        // Empty: the built-in order.
        {K::railModuleOrder, "railModuleOrder"_L1, T::stringList, QJsonArray()},
        {K::hiddenRailModules, "hiddenRailModules"_L1, T::stringList, QJsonArray()},
        {K::showMinimizeAllAppsButton, "showMinimizeAllAppsButton"_L1, T::boolean, true},
        {K::statusMenuOpenHoldDuration, "statusMenuOpenHoldDuration"_L1, T::number, 4.0},

        {K::orlixTheme, "orlixTheme"_L1, T::string, u"default"_s},
        {K::orlixAppearanceMode, "orlixAppearanceMode"_L1, T::string, u"system"_s},
        {K::orlixHeroColorHex, "orlixHeroColorHex"_L1, T::string, u"#0D6CE8"_s},

        {K::focusAlertSound, "focusAlertSound"_L1, T::string, u"calendar"_s},
        {K::calendarAlertSound, "calendarAlertSound"_L1, T::string, u"calendar"_s},
        {K::reminderAlertsEnabled, "reminderAlertsEnabled"_L1, T::boolean, true},
        {K::calendarAlertLeadMinutesByEventID, "calendarAlertLeadMinutesByEventID"_L1, T::object, QJsonObject()},

        {K::selectedWebSearchProviderID, "selectedWebSearchProviderID"_L1, T::string, u"google"_s},
        {K::clipboardHistoryLimit, "clipboardHistoryLimit"_L1, T::integer, 40},
        {K::selectedAppleNoteFolderID, "selectedAppleNoteFolderID"_L1, T::string, QString()},
        {K::orlixReminderFilter, "orlixReminderFilter"_L1, T::string, u"today"_s},
        {K::wallpaperLibrary, "wallpaperLibrary"_L1, T::string, u"noir"_s},
        {K::wallpaperApplyToAllDisplays, "wallpaperApplyToAllDisplays"_L1, T::boolean, false},
        {K::wallpaperLocalFolderPath, "wallpaperLocalFolderPath"_L1, T::string, QJsonValue()},
        {K::wallpaperLocalFolderName, "wallpaperLocalFolderName"_L1, T::string, QString()},

        {K::quranVolume, "quranVolume"_L1, T::number, 0.78},
        {K::quranBahrainStationEnabled, "quranBahrainStationEnabled"_L1, T::boolean, true},
        // Absent: the first station on offer.
        {K::quranRadioStationID, "quranRadioStationID"_L1, T::string, QJsonValue()},
        {K::quranCustomRadioStationName, "quranCustomRadioStationName"_L1, T::string, QJsonValue()},
        {K::quranCustomRadioStationStreamURL, "quranCustomRadioStationStreamURL"_L1, T::string, QJsonValue()},

        // Absent: the usual folders under the home folder.
        {K::calendarFolderPath, "calendarFolderPath"_L1, T::string, QJsonValue()},
        {K::remindersFolderPath, "remindersFolderPath"_L1, T::string, QJsonValue()},
        {K::remindersDefaultListName, "remindersDefaultListName"_L1, T::string, QJsonValue()},
        // Absent or empty: ~/Notes.
        {K::notesFolderPath, "notesFolderPath"_L1, T::string, QJsonValue()},

        {K::hasCompletedOrlixOnboarding, "hasCompletedOrlixOnboarding"_L1, T::boolean, false},
        {K::automaticallyChecksForUpdates, "automaticallyChecksForUpdates"_L1, T::boolean, false},
        {K::lastUpdateCheckDate, "lastUpdateCheckDate"_L1, T::date, QJsonValue()},
        {K::didCleanLegacyAutoCapturedFavoriteLinks, "didCleanLegacyAutoCapturedFavoriteLinks"_L1, T::boolean, false},
        {K::deliveredRemoteAppMessageIDs, "deliveredRemoteAppMessageIDs"_L1, T::stringList, QJsonArray()},
    }};
    return rows;
}

} // namespace

std::span<const SettingsKeyRow> settingsKeyTable()
{
    return table();
}

const SettingsKeyRow &settingsKeyRow(SettingsKey key)
{
    // The rows follow the enumeration, which the table test checks.
    return table()[static_cast<std::size_t>(key)];
}

QString settingsKeyName(SettingsKey key)
{
    return settingsKeyRow(key).name;
}

std::optional<SettingsKey> settingsKeyNamed(QStringView name)
{
    for (const SettingsKeyRow &row : table()) {
        if (name == row.name)
            return row.key;
    }
    return std::nullopt;
}

bool isSettingOfType(const QJsonValue &value, SettingType type)
{
    switch (type) {
    case SettingType::boolean: return value.isBool();
    case SettingType::integer: {
        if (!value.isDouble())
            return false;
        const double d = value.toDouble();
        // 2^63 is exactly representable; anything at or past it does not fit.
        return std::isfinite(d) && std::trunc(d) == d && d >= -9223372036854775808.0 && d < 9223372036854775808.0;
    }
    case SettingType::number: return value.isDouble();
    case SettingType::string: return value.isString();
    case SettingType::stringList: {
        if (!value.isArray())
            return false;
        const QJsonArray array = value.toArray();
        return std::all_of(array.begin(), array.end(), [](const QJsonValue &element) { return element.isString(); });
    }
    case SettingType::object: return value.isObject();
    case SettingType::date: return value.isString() && json::decodeDate(value.toString()).has_value();
    }
    return false;
}

} // namespace kolu
