#pragma once

#include "model/Clock.h"
#include "model/Models.h"
#include "model/UserDefaults.h"
#include "platform/notifications/NotificationScheduler.h"
#include "services/media/AlertSounds.h"
#include "services/notifications/NotificationIdentifiers.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kolu {

// The one door to desktop notifications: prayer, meeting and snooze
// notifications scheduled ahead, immediate ones, removal by identifier
// prefix, and the alert sounds. The scheduler's pending requests are the
// state, and the identifiers let a later call find and replace earlier
// requests; the one record kept here is what the calendar's alerts were last
// scheduled from, so that a refresh that brings the same calendar costs a
// comparison rather than a rebuild.
class NotificationService {
public:
    NotificationService(NotificationScheduler &scheduler, AlertSounds &sounds, UserDefaults &defaults,
                        Clock &clock = SystemClock::instance());

    // Asks the notification server what it allows; the answer is not used.
    void requestPermission();

    // Replaces the pending prayer-time notifications with those of `times`
    // (the caller passes only the times whose notifications are on).
    void schedulePrayerAlerts(const std::vector<PrayerTime> &times);
    // Replaces the pending meeting notifications of the given events, every
    // occurrence and lead of their series.
    void scheduleMeetingAlerts(const std::vector<CalendarEvent> &events,
                               const QHash<QString, qint64> &alertMinutesByEventID, qint64 defaultMinutes);
    // Makes the pending meeting notifications those of `events`, all that the
    // calendar holds ahead: as scheduleMeetingAlerts, and a series that an
    // earlier call scheduled and that is no longer among `events` (deleted,
    // or moved beyond the days read) loses its pending notifications too.
    // When the events (ids, titles, starts), leads and alert sound are those
    // of the last call, the clock has not gone back since and no meeting
    // notification was cancelled meanwhile, nothing needs doing and nothing
    // is done. `eventsVersion`, when given, is the caller's version of
    // `events`, changed whenever their contents may have: events of the last
    // call's version are taken for the same without a look at each.
    void scheduleCalendarAlerts(const std::vector<CalendarEvent> &events,
                                const QHash<QString, qint64> &alertMinutesByEventID, qint64 defaultMinutes,
                                std::optional<quint64> eventsVersion = std::nullopt);
    // Adds a snoozed-prayer notification at `prayer.date`.
    void schedulePrayerAlert(const PrayerTime &prayer, const QString &title, const QString &body);
    // Adds a snoozed-reminder notification at `date`.
    void scheduleReminderAlert(const ReminderItem &reminder, const QDateTime &date, const QString &title,
                               const QString &body);
    // Shows a notification at once with the default sound. With a moment
    // key (see notificationid), nothing is shown when the scheduled banner of
    // the same moment was already shown, and that one is not shown later.
    void send(const QString &title, const QString &body, const QString &momentKey = {});
    // Removes every pending request whose identifier begins with one of the
    // prefixes. It takes effect at once, so a request added right after stays.
    void cancelPendingNotifications(const QStringList &prefixes);
    // Shows the pending notifications that fell due. The owner's regular tick
    // calls it, so one that a suspend or a clock change moved past shows at
    // once; cheap when nothing is due.
    void showDueNotifications();

    void playCalendarAlertSound();
    void playFocusFinishedSound();

private:
    // A request for `fireDate`, or nothing when it is not more than a second
    // ahead.
    std::optional<NotificationRequest> scheduledRequest(QString identifier, const QString &title, const QString &body,
                                                        bool playsSound, const QDateTime &fireDate,
                                                        QString momentKey) const;
    // Meeting and snoozed-reminder notifications are silent when the
    // calendar alert sound is "off".
    bool calendarSoundOn() const;
    // Replaces the pending meeting notifications of `events`' series, and
    // removes those whose identifiers begin with one of `alsoRemoved`.
    void replaceMeetingAlerts(const std::vector<CalendarEvent> &events,
                              const QHash<QString, qint64> &alertMinutesByEventID, qint64 defaultMinutes,
                              QStringList alsoRemoved);

    // What scheduleCalendarAlerts last scheduled from: only what the
    // requests are made of.
    struct ScheduledOccurrence {
        QString eventID;
        QString title;
        qint64 start = 0; // milliseconds since the epoch

        bool matches(const CalendarEvent &event) const;
    };
    struct ScheduledCalendar {
        std::vector<ScheduledOccurrence> occurrences;
        QHash<QString, qint64> alertMinutesByEventID;
        qint64 defaultMinutes = 0;
        bool sound = true;
        std::optional<quint64> eventsVersion;
        QDateTime at;
        // False once meeting requests were changed by another call: the
        // pending ones may then differ from what these would make.
        bool current = false;
    };

    NotificationScheduler &m_scheduler;
    AlertSounds &m_sounds;
    UserDefaults &m_defaults;
    Clock &m_clock;
    ScheduledCalendar m_scheduledCalendar;
};

} // namespace kolu
