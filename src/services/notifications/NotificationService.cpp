#include "services/notifications/NotificationService.h"

#include "model/CountText.h"

#include <QSet>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The answer changes nothing: notifications are sent either way, and a
// desktop without a server simply shows none.
QCoro::Task<> askForAuthorization(QPointer<NotificationScheduler> scheduler)
{
    if (scheduler)
        co_await scheduler->requestAuthorization();
}

} // namespace

NotificationService::NotificationService(NotificationScheduler &scheduler, AlertSounds &sounds, UserDefaults &defaults,
                                         Clock &clock)
    : m_scheduler(scheduler)
    , m_sounds(sounds)
    , m_defaults(defaults)
    , m_clock(clock)
{
}

void NotificationService::requestPermission()
{
    askForAuthorization(QPointer<NotificationScheduler>(&m_scheduler));
}

bool NotificationService::calendarSoundOn() const
{
    return m_defaults.string(SettingsKey::calendarAlertSound) != u"off"_s;
}

std::optional<NotificationRequest> NotificationService::scheduledRequest(QString identifier, const QString &title,
                                                                         const QString &body, bool playsSound,
                                                                         const QDateTime &fireDate,
                                                                         QString momentKey) const
{
    // Read "now" once; the current second and the next are skipped.
    if (!fireDate.isValid() || m_clock.now().msecsTo(fireDate) <= 1000)
        return std::nullopt;
    return NotificationRequest{std::move(identifier), {title, body, playsSound}, fireDate, std::move(momentKey)};
}

void NotificationService::schedulePrayerAlerts(const std::vector<PrayerTime> &times)
{
    QStringList identifiers;
    for (const PrayerName name : allCases<PrayerName>())
        identifiers.append(notificationid::prayerTime(name));

    std::vector<NotificationRequest> requests;
    for (const PrayerTime &time : times) {
        const QString title = displayName(time.name);
        if (auto request = scheduledRequest(notificationid::prayerTime(time.name), title,
                                            QString(u"It is time for "_s + title + u'.'), true, time.date,
                                            notificationid::prayerBanner(time.name, time.date)))
            requests.push_back(std::move(*request));
    }
    m_scheduler.removePending(identifiers);
    for (NotificationRequest &request : requests)
        m_scheduler.add(std::move(request));
}

void NotificationService::scheduleMeetingAlerts(const std::vector<CalendarEvent> &events,
                                                const QHash<QString, qint64> &alertMinutesByEventID,
                                                qint64 defaultMinutes)
{
    m_scheduledCalendar.current = false;
    replaceMeetingAlerts(events, alertMinutesByEventID, defaultMinutes, {});
}

bool NotificationService::ScheduledOccurrence::matches(const CalendarEvent &event) const
{
    return start == event.startDate.toMSecsSinceEpoch() && eventID == event.id && title == event.title;
}

void NotificationService::scheduleCalendarAlerts(const std::vector<CalendarEvent> &events,
                                                 const QHash<QString, qint64> &alertMinutesByEventID,
                                                 qint64 defaultMinutes, std::optional<quint64> eventsVersion)
{
    ScheduledCalendar &last = m_scheduledCalendar;
    const bool sound = calendarSoundOn();
    const QDateTime now = m_clock.now();
    // With the clock turned back, alerts already shown are ahead again.
    const bool unchanged = last.current && last.sound == sound && last.defaultMinutes == defaultMinutes
                           && last.at.isValid() && last.at <= now && last.occurrences.size() == events.size()
                           && last.alertMinutesByEventID == alertMinutesByEventID
                           && ((eventsVersion && last.eventsVersion == eventsVersion)
                               || std::equal(last.occurrences.begin(), last.occurrences.end(), events.begin(),
                                             [](const ScheduledOccurrence &occurrence, const CalendarEvent &event) {
                                                 return occurrence.matches(event);
                                             }));
    if (unchanged) {
        // What was scheduled is pending still, or was shown when it fell due.
        last.at = now;
        last.eventsVersion = eventsVersion;
        return;
    }

    QSet<QString> held;
    held.reserve(qsizetype(events.size()));
    for (const CalendarEvent &event : events)
        held.insert(event.id);
    QSet<QString> dropped;
    for (const ScheduledOccurrence &occurrence : last.occurrences) {
        if (!held.contains(occurrence.eventID))
            dropped.insert(occurrence.eventID);
    }
    QStringList droppedPrefixes;
    for (const QString &eventID : std::as_const(dropped))
        droppedPrefixes.append(notificationid::meetingPrefixFor(eventID));
    replaceMeetingAlerts(events, alertMinutesByEventID, defaultMinutes, std::move(droppedPrefixes));

    last.occurrences.clear();
    last.occurrences.reserve(events.size());
    for (const CalendarEvent &event : events)
        last.occurrences.push_back({event.id, event.title, event.startDate.toMSecsSinceEpoch()});
    last.alertMinutesByEventID = alertMinutesByEventID;
    last.defaultMinutes = defaultMinutes;
    last.sound = sound;
    last.eventsVersion = eventsVersion;
    last.at = now;
    last.current = true;
}

void NotificationService::replaceMeetingAlerts(const std::vector<CalendarEvent> &events,
                                               const QHash<QString, qint64> &alertMinutesByEventID,
                                               qint64 defaultMinutes, QStringList alsoRemoved)
{
    // Removing every pending request of each given series covers every lead
    // and also an occurrence that moved or was dropped from the series.
    QStringList prefixes = std::move(alsoRemoved);
    for (const CalendarEvent &event : events)
        prefixes.append(notificationid::meetingPrefixFor(event.id));

    const bool sound = calendarSoundOn();
    // Read "now" once; the current second and the next are skipped.
    const QDateTime now = m_clock.now();
    std::vector<NotificationRequest> requests;
    requests.reserve(events.size());
    for (const CalendarEvent &event : events) {
        const qint64 lead = alertMinutesByEventID.value(event.id, defaultMinutes);
        // A lead too large to count in seconds fires at no reachable moment.
        constexpr qint64 largestLead = std::numeric_limits<qint64>::max() / 60;
        if (lead > largestLead || lead < -largestLead)
            continue;
        // A calendar of thousands: the start is turned into UTC once, and the
        // texts are made only for the alerts still ahead.
        const QDateTime start = event.startDate.toUTC();
        const QDateTime fireDate = start.addSecs(-lead * 60);
        if (!fireDate.isValid() || now.msecsTo(fireDate) <= 1000)
            continue;
        requests.push_back(NotificationRequest{
            notificationid::meeting(event.id, start, lead),
            {u"Upcoming meeting"_s,
             QString(event.title + u" starts in "_s + countText(lead, u"minute"_s, u"minutes"_s) + u"."_s), sound},
            fireDate,
            notificationid::meetingBanner(event.id, start, lead)});
    }
    m_scheduler.replacePendingWithPrefixes(prefixes, std::move(requests));
}

void NotificationService::schedulePrayerAlert(const PrayerTime &prayer, const QString &title, const QString &body)
{
    if (auto request = scheduledRequest(notificationid::prayerSnooze(prayer.name, prayer.date), title, body, true,
                                        prayer.date, notificationid::prayerBanner(prayer.name, prayer.date)))
        m_scheduler.add(std::move(*request));
}

void NotificationService::scheduleReminderAlert(const ReminderItem &reminder, const QDateTime &date,
                                                const QString &title, const QString &body)
{
    if (auto request = scheduledRequest(notificationid::reminderSnooze(reminder.id, date), title, body,
                                        calendarSoundOn(), date, notificationid::reminderBanner(reminder.id, date)))
        m_scheduler.add(std::move(*request));
}

void NotificationService::send(const QString &title, const QString &body, const QString &momentKey)
{
    m_scheduler.deliver({title, body, true}, momentKey);
}

void NotificationService::cancelPendingNotifications(const QStringList &prefixes)
{
    for (const QString &prefix : prefixes) {
        if (prefix.startsWith(notificationid::meetingPrefix) || notificationid::meetingPrefix.startsWith(prefix))
            m_scheduledCalendar.current = false;
    }
    m_scheduler.removePendingWithPrefixes(prefixes);
}

void NotificationService::showDueNotifications()
{
    m_scheduler.checkDueRequests();
}

void NotificationService::playCalendarAlertSound()
{
    m_sounds.playCalendarAlertSound();
}

void NotificationService::playFocusFinishedSound()
{
    m_sounds.playFocusFinishedSound();
}

} // namespace kolu
