#pragma once

#include "model/Enums.h"
#include "model/Records.h"
#include "shell/rules/CollapsedRailRules.h"

#include <QString>

#include <array>
#include <optional>

namespace kolu {

class DateText;

// How one kind of edge notification and edge alert looks: its module (for
// the tint), symbol and the sizes of its badge and text column.
struct EdgeNotificationLook {
    RailModule module;
    QString symbol;
    double symbolSize;
    double badgeSize;
    double badgeShadowOpacity;
    double textWidth;
};

// The two or three lines of a notification; `third` empty means no line.
struct EdgeNotificationLines {
    QString first;
    QString second;
    std::optional<QString> third;
};

namespace edgenotification {

EdgeNotificationLook look(EdgeAlertKind kind);

// The minutes offered by the "Remind" menus, in order.
inline constexpr std::array<int, 4> snoozeChoices{5, 10, 20, 30};

// The prayer's name as shown ("Fajr", ... "Isha"), "Prayer" without an alert.
QString prayerName(const std::optional<ActivePrayerAlert> &alert);

// The lines of one notification. Titles and names are shown verbatim; the
// event time is the locale's short time.
EdgeNotificationLines lines(EdgeAlertKind kind, const std::optional<CalendarEvent> &calendar,
                            const std::optional<ActivePrayerAlert> &prayer,
                            const std::optional<ActiveReminderAlert> &reminder, const DateText &dates);

} // namespace edgenotification

} // namespace kolu
