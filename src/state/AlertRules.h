#pragma once

#include "model/Records.h"

#include <QDateTime>
#include <QSet>
#include <QString>

namespace kolu::alertrules {

// Keys of alerts already raised. Each ends in "-" and the alert's moment as
// whole seconds since 1970, so a key says by itself when it can be dropped.
QString calendarKey(const QString &eventID, int leadMinutes, const QDateTime &startDate);
QString prayerKey(PrayerName name, const QDateTime &date);
QString prayerSnoozeKey(PrayerName name, const QDateTime &snoozeDate);
QString prayerSnoozeKeyPrefix(PrayerName name);
QString reminderKey(const QString &reminderID, const QDateTime &alertDate);
// Whether `key` is an alert key of `reminderID`: the id, "-", then the
// alert's whole seconds. Checking the rest is digits keeps "a-b-…" (reminder
// "a-b") from passing for reminder "a".
bool isReminderKey(const QString &key, const QString &reminderID);

// An event is announced from `leadMinutes` before its start until it starts.
bool insideCalendarWindow(const QDateTime &startDate, int leadMinutes, const QDateTime &now);
// A prayer, a snoozed prayer or a reminder: from one second before its
// moment until just under a minute after it.
bool insideMomentWindow(const QDateTime &date, const QDateTime &now);

// Once `keys` holds more than `bound` keys, drops those whose moment lies so
// far back that no window can hold it any more. Keys of alerts still inside
// their window stay, so they are never raised a second time.
void pruneFiredKeys(QSet<QString> &keys, qsizetype bound, const QDateTime &now);

// "Upcoming event" body: "<title> starts in <lead> minutes."
QString calendarAlertBody(const QString &title, int leadMinutes);

} // namespace kolu::alertrules
