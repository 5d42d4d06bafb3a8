#include "shell/rules/EdgeNotificationContent.h"

#include "style/DateText.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

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
    case EdgeAlertKind::calendar: return {RailModule::calendar, u"calendar"_s, 23, 52, 0.26, 118};
    case EdgeAlertKind::prayer: return {RailModule::prayers, u"seal"_s, 22, 50, 0.28, 78};
    case EdgeAlertKind::reminder: return {RailModule::reminders, u"checklist"_s, 22, 50, 0.28, 86};
    case EdgeAlertKind::focus: break;
    }
    return {RailModule::focus, u"timer"_s, 24, 52, 0.28, 78};
}

QString prayerName(const std::optional<ActivePrayerAlert> &alert)
{
    if (!alert)
        return tr("Prayer");
    switch (alert->prayer.name) {
    case PrayerName::fajr: return u"Fajr"_s;
    case PrayerName::sunrise: return u"Sunrise"_s;
    case PrayerName::dhuhr: return u"Dhuhr"_s;
    case PrayerName::asr: return u"Asr"_s;
    case PrayerName::maghrib: return u"Maghrib"_s;
    case PrayerName::isha: break;
    }
    return u"Isha"_s;
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
                calendar->startDate.isValid() ? dates.format(calendar->startDate, u"jmm"_s) : QString()};
    case EdgeAlertKind::prayer: return {prayerName(prayer), tr("Prayer time"), std::nullopt};
    case EdgeAlertKind::reminder:
        return {tr("Reminder"), reminder ? reminder->reminder.title : tr("Reminder due"), std::nullopt};
    case EdgeAlertKind::focus: break;
    }
    return {tr("Time is up"), tr("Stop now"), tr("or snooze...")};
}

} // namespace kolu::edgenotification
