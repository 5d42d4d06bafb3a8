#pragma once

#include <QJsonValue>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace kolu {

// Every key the settings store knows. The stored name, the type and the
// default of each are one row of settingsKeyTable(); no other file names a
// key by its stored name.
enum class SettingsKey {
    // The rail.
    railEdge,
    railSize,
    railVerticalPosition,
    railModuleOrder,
    hiddenRailModules,
    showMinimizeAllAppsButton,
    statusMenuOpenHoldDuration,
    // The look.
    orlixTheme,
    orlixAppearanceMode,
    orlixHeroColorHex,
    // Alerts and their sounds.
    focusAlertSound,
    calendarAlertSound,
    reminderAlertsEnabled,
    calendarAlertLeadMinutesByEventID,
    // The modules.
    selectedWebSearchProviderID,
    clipboardHistoryLimit,
    selectedAppleNoteFolderID,
    orlixReminderFilter,
    wallpaperLibrary,
    wallpaperApplyToAllDisplays,
    wallpaperLocalFolderPath,
    wallpaperLocalFolderName,
    // The radio.
    quranVolume,
    quranBahrainStationEnabled,
    quranRadioStationID,
    quranCustomRadioStationName,
    quranCustomRadioStationStreamURL,
    // The calendar, reminder and notes folders.
    calendarFolderPath,
    remindersFolderPath,
    remindersDefaultListName,
    notesFolderPath,
    // The application.
    hasCompletedOrlixOnboarding,
    automaticallyChecksForUpdates,
    lastUpdateCheckDate,
    didCleanLegacyAutoCapturedFavoriteLinks,
    deliveredRemoteAppMessageIDs,
};

// How a key's value is stored. A stored value of another type reads as absent.
enum class SettingType {
    boolean,    // true or false
    integer,    // a whole number that fits 64 bits
    number,     // any number
    string,     // a text
    stringList, // an array whose every element is a text
    object,     // a JSON object
    date,       // a text in the store's date format
};

struct SettingsKeyRow {
    SettingsKey key;
    QLatin1StringView name; // the name in the stored file
    SettingType type;
    // What an absent key (or one of another type) reads as; null where the
    // reader decides (no folder chosen, no station saved, never checked).
    QJsonValue defaultValue;
};

// One row per key, in the order of SettingsKey.
std::span<const SettingsKeyRow> settingsKeyTable();
const SettingsKeyRow &settingsKeyRow(SettingsKey key);
QString settingsKeyName(SettingsKey key);
std::optional<SettingsKey> settingsKeyNamed(QStringView name);

// Whether `value` is a value of `type` as the store reads it.
bool isSettingOfType(const QJsonValue &value, SettingType type);

} // namespace kolu
