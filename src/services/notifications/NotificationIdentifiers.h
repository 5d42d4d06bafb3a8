#pragma once

#include "model/Enums.h"

#include <QDateTime>
#include <QString>

namespace kolu {

// Identifiers of scheduled notifications and the prefixes that remove them.
// Ids from outside (calendar event ids, reminder ids) are free text, so "%"
// and "-" in them are percent-encoded: one id's prefix never matches another.
namespace notificationid {

inline constexpr QStringView prayerPrefix = u"prayer-";
inline constexpr QStringView prayerSnoozePrefix = u"prayer-snooze-";
inline constexpr QStringView meetingPrefix = u"meeting-";
inline constexpr QStringView reminderSnoozePrefix = u"reminder-snooze-";

// `id` with "%" written "%25" and "-" written "%2D".
QString encodeOutsideId(const QString &id);
// Whole seconds since 1970, truncated toward zero, in plain decimal.
QString epochText(const QDateTime &moment);

// "prayer-" + raw name.
QString prayerTime(PrayerName name);
// "prayer-snooze-" + raw name + "-"; every snooze of that prayer begins so.
QString prayerSnoozePrefixFor(PrayerName name);
QString prayerSnooze(PrayerName name, const QDateTime &fireDate);
// "meeting-" + encoded event id + "-"; every occurrence of the event's series
// begins so.
QString meetingPrefixFor(const QString &eventID);
// One occurrence and lead: the prefix, the occurrence's start as epoch
// seconds, "-", the lead in minutes. A repeating event keeps one id for all
// its occurrences, so the start tells them apart.
QString meeting(const QString &eventID, const QDateTime &startDate, qint64 leadMinutes);
// "reminder-snooze-" + encoded reminder id + "-".
QString reminderSnoozePrefixFor(const QString &reminderID);
QString reminderSnooze(const QString &reminderID, const QDateTime &fireDate);

// Moment keys: the scheduled banner and the immediate one for the same
// moment share a key, so only the first of them is shown.
// A prayer (or snoozed prayer) at `date`.
QString prayerBanner(PrayerName name, const QDateTime &date);
// A meeting occurrence announced `leadMinutes` ahead; another lead chosen
// later is a moment of its own.
QString meetingBanner(const QString &eventID, const QDateTime &startDate, qint64 leadMinutes);
// A reminder alert at `alertDate`.
QString reminderBanner(const QString &reminderID, const QDateTime &alertDate);

} // namespace notificationid

} // namespace kolu
