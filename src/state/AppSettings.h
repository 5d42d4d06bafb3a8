#pragma once

#include "model/RawEnum.h"
#include "model/SettingsKeys.h"
#include "state/AppStateFields.h"

#include <QJsonValue>

#include <optional>

namespace kolu {

class UserDefaults;

// Every setting as the application state first sees it: one member per row
// of KOLU_APP_STATE_SETTINGS, of its field's type. A missing key, a value of
// the wrong type and a name that matches no case all give the key's default.
struct AppSettings {
#define KOLU_SETTING_MEMBER(name, key) fieldtype::name name{};
    KOLU_APP_STATE_SETTINGS(KOLU_SETTING_MEMBER)
#undef KOLU_SETTING_MEMBER

    static AppSettings load(const UserDefaults &defaults);
};

// The stored form of a field's value, as its key keeps it.
inline QJsonValue storedSetting(bool value)
{
    return value;
}
inline QJsonValue storedSetting(int value)
{
    return value;
}
inline QJsonValue storedSetting(double value)
{
    return value;
}
inline QJsonValue storedSetting(const QString &value)
{
    return value;
}
template<RawValueEnum E>
QJsonValue storedSetting(E value)
{
    return rawValue(value);
}
QJsonValue storedSetting(const RailModuleOrder &order);
QJsonValue storedSetting(const RailModuleSet &set);
QJsonValue storedSetting(const CalendarAlertLeads &leads);

// The history limits a user can choose; anything else reads as the key's
// default.
int clipboardHistoryLimitFromStored(std::optional<qint64> stored);
bool isClipboardHistoryLimitOption(int limit);

// The status-menu hold time kept between 1 and 10 seconds; not-a-number gives 1.
double clampedStatusMenuHoldDuration(double seconds);

} // namespace kolu
