#include "state/AlertRules.h"

#include "model/CountText.h"
#include "services/notifications/NotificationIdentifiers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu::alertrules {

namespace {

// The longest a moment stays alertable after it passed (the moment window).
constexpr qint64 kLatestAfterMoment = 60;

} // namespace

QString calendarKey(const QString &eventID, int leadMinutes, const QDateTime &startDate)
{
    return QString(eventID + u'-' + QString::number(leadMinutes) + u'-' + notificationid::epochText(startDate));
}

QString prayerKey(PrayerName name, const QDateTime &date)
{
    return QString(rawValue(name) + u'-' + notificationid::epochText(date));
}

QString prayerSnoozeKeyPrefix(PrayerName name)
{
    return QString(rawValue(name) + u"-snooze-"_s);
}

QString prayerSnoozeKey(PrayerName name, const QDateTime &snoozeDate)
{
    return QString(prayerSnoozeKeyPrefix(name) + notificationid::epochText(snoozeDate));
}

QString reminderKey(const QString &reminderID, const QDateTime &alertDate)
{
    return QString(reminderID + u'-' + notificationid::epochText(alertDate));
}

bool isReminderKey(const QString &key, const QString &reminderID)
{
    const QString prefix = QString(reminderID + u'-');
    if (!key.startsWith(prefix))
        return false;
    QStringView rest = QStringView(key).mid(prefix.size());
    if (rest.startsWith(u'-'))
        rest = rest.mid(1);
    return !rest.isEmpty() && std::all_of(rest.begin(), rest.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool insideCalendarWindow(const QDateTime &startDate, int leadMinutes, const QDateTime &now)
{
    const qint64 ahead = now.msecsTo(startDate);
    return ahead > 0 && ahead <= qint64(leadMinutes) * 60 * 1000;
}

bool insideMomentWindow(const QDateTime &date, const QDateTime &now)
{
    const qint64 ahead = now.msecsTo(date);
    return ahead > -kLatestAfterMoment * 1000 && ahead <= 1000;
}

void pruneFiredKeys(QSet<QString> &keys, qsizetype bound, const QDateTime &now)
{
    if (keys.size() <= bound)
        return;
    const qint64 oldestLive = now.toSecsSinceEpoch() - kLatestAfterMoment - 1;
    keys.removeIf([oldestLive](const QString &key) {
        bool ok = false;
        const qint64 moment = QStringView(key).mid(key.lastIndexOf(u'-') + 1).toLongLong(&ok);
        return ok && moment < oldestLive;
    });
}

QString calendarAlertBody(const QString &title, int leadMinutes)
{
    return QString(title + u" starts in "_s + countText(leadMinutes, u"minute"_s, u"minutes"_s) + u"."_s);
}

} // namespace kolu::alertrules
