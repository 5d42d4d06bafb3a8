#include "shell/rules/EdgeNotificationContent.h"

#include "style/DateText.h"

#include <QCoreApplication>

namespace kolu::edgenotification {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("kolu::EdgeNotification", text);
}
} // namespace

EdgeNotificationLook look(EdgeAlertKind kind)
{
    switch (kind) {
    case EdgeAlertKind::calendar:
        return {RailModule::calendar, QStringLiteral("calendar"), 23, 52, 0.26, 118};
    case EdgeAlertKind::prayer:
        return {RailModule::prayers, QStringLiteral("seal"), 22, 50, 0.28, 78};
    case EdgeAlertKind::reminder:
        return {RailModule::reminders, QStringLiteral("checklist"), 22, 50, 0.28, 86};
    case EdgeAlertKind::focus:
        break;
    }
    return {RailModule::focus, QStringLiteral("timer"), 24, 52, 0.28, 78};
}

QString prayerName(const std::optional<ActivePrayerAlert> &alert)
{
    if (!alert)
        return tr("Prayer");
    switch (alert->prayer.name) {
    case PrayerName::fajr:
        return QStringLiteral("Fajr");
    case PrayerName::sunrise:
        return QStringLiteral("Sunrise");
    case PrayerName::dhuhr:
        return QStringLiteral("Dhuhr");
    case PrayerName::asr:
        return QStringLiteral("Asr");
    case PrayerName::maghrib:
        return QStringLiteral("Maghrib");
    case PrayerName::isha:
        break;
    }
    return QStringLiteral("Isha");
}

EdgeNotificationLines lines(EdgeAlertKind kind, const std::optional<CalendarEvent> &calendar,
                            const std::optional<ActivePrayerAlert> &prayer,
                            const std::optional<ActiveReminderAlert> &reminder, const DateText &dates)
{
    switch (kind) {
    case EdgeAlertKind::calendar:
        if (!calendar)
            return {tr("Event soon"), tr("Calendar event"), QString()};
        return {tr("Event soon"), calendar->title,
                calendar->startDate.isValid() ? dates.format(calendar->startDate, QStringLiteral("jmm")) : QString()};
    case EdgeAlertKind::prayer:
        return {prayerName(prayer), tr("Prayer time"), std::nullopt};
    case EdgeAlertKind::reminder:
        return {tr("Reminder"), reminder ? reminder->reminder.title : tr("Reminder due"), std::nullopt};
    case EdgeAlertKind::focus:
        break;
    }
    return {tr("Time is up"), tr("Stop now"), tr("or snooze...")};
}

} // namespace kolu::edgenotification
