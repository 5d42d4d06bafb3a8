// The alert engine: the paced pass of the tick that raises the calendar,
// prayer and reminder alerts at the edge, the prayer snooze, and the
// notifications scheduled ahead for prayers and meetings.
#include "state/AppState.h"

#include "model/CountText.h"
#include "services/notifications/NotificationIdentifiers.h"
#include "services/notifications/NotificationService.h"
#include "state/AlertRules.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr qsizetype kCalendarKeyBound = 80;
constexpr qsizetype kPrayerKeyBound = 80;
constexpr qsizetype kReminderKeyBound = 120;
// A snooze this far overdue is given up.
constexpr qint64 kSnoozeGraceMs = 120'000;

bool isSnoozeGivenUp(const QDateTime &snoozeDate, const QDateTime &now)
{
    return snoozeDate.msecsTo(now) >= kSnoozeGraceMs;
}

} // namespace

void AppState::triggerTimeBasedAlertsIfNeeded()
{
    const QDateTime now = m_clock.now();
    if (m_lastAlertCheck.msecsTo(now) <= alertCheckInterval.count())
        return;
    m_lastAlertCheck = now;
    if (!isModuleHidden(RailModule::calendar))
        triggerCalendarAlertsIfNeeded();
    if (!isModuleHidden(RailModule::prayers))
        triggerPrayerAlertsIfNeeded();
    if (!isModuleHidden(RailModule::reminders))
        triggerReminderAlertsIfNeeded();
}

void AppState::triggerCalendarAlertsIfNeeded()
{
    if (isModuleHidden(RailModule::calendar) || m_activeCalendarAlert)
        return;
    const QDateTime now = m_clock.now();
    // Only events inside the longest lead can be due for an alert: the rest
    // cost one comparison each, not a lookup and a key.
    int longestLead = defaultCalendarAlertLeadMinutes;
    for (const int lead : std::as_const(m_calendarAlertLeadMinutesByEventID))
        longestLead = std::max(longestLead, lead);
    const qint64 longestLeadMs = qint64(longestLead) * 60 * 1000;
    for (const CalendarEvent &event : m_calendarEvents) {
        const qint64 ahead = now.msecsTo(event.startDate);
        if (ahead <= 0 || ahead > longestLeadMs)
            continue;
        const int lead = m_calendarAlertLeadMinutesByEventID.value(event.id, defaultCalendarAlertLeadMinutes);
        const QString key = alertrules::calendarKey(event.id, lead, event.startDate);
        if (m_firedCalendarAlertKeys.contains(key) || !alertrules::insideCalendarWindow(event.startDate, lead, now))
            continue;
        m_firedCalendarAlertKeys.insert(key);
        setActiveCalendarAlert(event);
        notificationService().playCalendarAlertSound();
        notificationService().send(u"Upcoming event"_s, alertrules::calendarAlertBody(event.title, lead),
                                   notificationid::meetingBanner(event.id, event.startDate, lead));
        break;
    }
    alertrules::pruneFiredKeys(m_firedCalendarAlertKeys, kCalendarKeyBound, now);
}

void AppState::triggerPrayerAlertsIfNeeded()
{
    if (isModuleHidden(RailModule::prayers) || m_activePrayerAlert || !m_prayerDay)
        return;
    const QDateTime now = m_clock.now();
    const std::vector<PrayerTime> times = m_prayerDay->times;
    for (auto it = m_snoozedPrayerDates.begin(); it != m_snoozedPrayerDates.end();) {
        const PrayerName name = it.key();
        const bool held =
            std::any_of(times.begin(), times.end(), [name](const PrayerTime &time) { return time.name == name; });
        if (!held || isSnoozeGivenUp(it.value(), now))
            it = m_snoozedPrayerDates.erase(it);
        else
            ++it;
    }

    // A snoozed prayer comes first and ends the check.
    for (const PrayerTime &time : times) {
        if (!prayerNotificationEnabled(time) || !m_snoozedPrayerDates.contains(time.name))
            continue;
        const QDateTime snoozeDate = m_snoozedPrayerDates.value(time.name);
        const QString key = alertrules::prayerSnoozeKey(time.name, snoozeDate);
        if (m_firedPrayerAlertKeys.contains(key) || !alertrules::insideMomentWindow(snoozeDate, now))
            continue;
        m_firedPrayerAlertKeys.insert(key);
        m_snoozedPrayerDates.remove(time.name);
        setActivePrayerAlert(ActivePrayerAlert{PrayerTime{time.name, snoozeDate, true}});
        notificationService().playCalendarAlertSound();
        notificationService().send(kolu::displayName(time.name), u"Prayer reminder."_s,
                                   notificationid::prayerBanner(time.name, snoozeDate));
        return;
    }

    for (const PrayerTime &time : times) {
        if (!prayerNotificationEnabled(time))
            continue;
        const QString key = alertrules::prayerKey(time.name, time.date);
        if (m_firedPrayerAlertKeys.contains(key) || !alertrules::insideMomentWindow(time.date, now))
            continue;
        m_firedPrayerAlertKeys.insert(key);
        setActivePrayerAlert(ActivePrayerAlert{time});
        const QString name = kolu::displayName(time.name);
        notificationService().playCalendarAlertSound();
        notificationService().send(name, QString(u"It is time for "_s + name + u'.'),
                                   notificationid::prayerBanner(time.name, time.date));
        break;
    }
    alertrules::pruneFiredKeys(m_firedPrayerAlertKeys, kPrayerKeyBound, now);
}

void AppState::triggerReminderAlertsIfNeeded()
{
    if (isModuleHidden(RailModule::reminders) || !m_reminderAlertsEnabled || m_activeReminderAlert)
        return;
    const QDateTime now = m_clock.now();
    const std::vector<ReminderItem> reminders = m_reminderList.items;
    for (auto it = m_snoozedReminderDates.begin(); it != m_snoozedReminderDates.end();) {
        const QString id = it.key();
        const bool held = std::any_of(reminders.begin(), reminders.end(),
                                      [&id](const ReminderItem &reminder) { return reminder.id == id; });
        if (!held || isSnoozeGivenUp(it.value(), now))
            it = m_snoozedReminderDates.erase(it);
        else
            ++it;
    }

    for (const ReminderItem &reminder : reminders) {
        if (reminder.isCompleted || !reminder.includesTime)
            continue;
        const auto snoozed = m_snoozedReminderDates.constFind(reminder.id);
        const std::optional<QDateTime> alertDate =
            snoozed != m_snoozedReminderDates.constEnd() ? std::optional<QDateTime>(snoozed.value()) : reminder.dueDate;
        if (!alertDate)
            continue;
        const QString key = alertrules::reminderKey(reminder.id, *alertDate);
        if (m_firedReminderAlertKeys.contains(key) || !alertrules::insideMomentWindow(*alertDate, now))
            continue;
        m_firedReminderAlertKeys.insert(key);
        m_snoozedReminderDates.remove(reminder.id);
        setActiveReminderAlert(ActiveReminderAlert{reminder, *alertDate});
        notificationService().playCalendarAlertSound();
        notificationService().send(u"Reminder"_s, reminder.title,
                                   notificationid::reminderBanner(reminder.id, *alertDate));
        break;
    }
    alertrules::pruneFiredKeys(m_firedReminderAlertKeys, kReminderKeyBound, now);
}

void AppState::snoozePrayer(int minutes)
{
    if (isModuleHidden(RailModule::prayers) || !m_activePrayerAlert)
        return;
    const PrayerName name = m_activePrayerAlert->prayer.name;
    setActivePrayerAlert(std::nullopt);
    const QDateTime snoozeDate = m_clock.now().addSecs(qint64(minutes) * 60);
    const QString snoozeKeys = alertrules::prayerSnoozeKeyPrefix(name);
    m_firedPrayerAlertKeys.removeIf([&](const QString &key) { return key.startsWith(snoozeKeys); });
    notificationService().cancelPendingNotifications({notificationid::prayerSnoozePrefixFor(name)});
    m_snoozedPrayerDates.insert(name, snoozeDate);
    const QString displayName = kolu::displayName(name);
    notificationService().schedulePrayerAlert(
        PrayerTime{name, snoozeDate, true}, QString(displayName + u" reminder"_s),
        QString(u"Prayer reminder in "_s + countText(minutes, u"minute"_s, u"minutes"_s) + u"."_s));
}

void AppState::schedulePrayerNotifications()
{
    if (isModuleHidden(RailModule::prayers)) {
        notificationService().cancelPendingNotifications({notificationid::prayerPrefix.toString()});
        return;
    }
    if (!m_prayerDay)
        return;
    std::vector<PrayerTime> enabled;
    for (const PrayerTime &time : m_prayerDay->times) {
        if (prayerNotificationEnabled(time))
            enabled.push_back(time);
    }
    notificationService().schedulePrayerAlerts(enabled);
}

void AppState::scheduleCalendarNotifications()
{
    if (isModuleHidden(RailModule::calendar)) {
        notificationService().cancelPendingNotifications({notificationid::meetingPrefix.toString()});
        return;
    }
    QHash<QString, qint64> leads;
    for (auto it = m_calendarAlertLeadMinutesByEventID.constBegin();
         it != m_calendarAlertLeadMinutesByEventID.constEnd(); ++it)
        leads.insert(it.key(), it.value());
    notificationService().scheduleCalendarAlerts(m_calendarEvents, leads, defaultCalendarAlertLeadMinutes,
                                                 m_calendarEventsVersion);
}

} // namespace kolu
