#include "services/notifications/NotificationIdentifiers.h"

using namespace Qt::StringLiterals;

namespace kolu::notificationid {

QString encodeOutsideId(const QString &id)
{
    QString encoded;
    encoded.reserve(id.size());
    for (const QChar c : id) {
        if (c == u'%')
            encoded += u"%25"_s;
        else if (c == u'-')
            encoded += u"%2D"_s;
        else
            encoded += c;
    }
    return encoded;
}

QString epochText(const QDateTime &moment)
{
    return QString::number(moment.toSecsSinceEpoch());
}

QString prayerTime(PrayerName name)
{
    return QString(prayerPrefix + rawValue(name));
}

QString prayerSnoozePrefixFor(PrayerName name)
{
    return QString(prayerSnoozePrefix + rawValue(name) + u'-');
}

QString prayerSnooze(PrayerName name, const QDateTime &fireDate)
{
    return QString(prayerSnoozePrefixFor(name) + epochText(fireDate));
}

QString meetingPrefixFor(const QString &eventID)
{
    return QString(meetingPrefix + encodeOutsideId(eventID) + u'-');
}

QString meeting(const QString &eventID, const QDateTime &startDate, qint64 leadMinutes)
{
    return QString(meetingPrefixFor(eventID) + epochText(startDate) + u'-' + QString::number(leadMinutes));
}

QString reminderSnoozePrefixFor(const QString &reminderID)
{
    return QString(reminderSnoozePrefix + encodeOutsideId(reminderID) + u'-');
}

QString reminderSnooze(const QString &reminderID, const QDateTime &fireDate)
{
    return QString(reminderSnoozePrefixFor(reminderID) + epochText(fireDate));
}

QString prayerBanner(PrayerName name, const QDateTime &date)
{
    return QString(u"prayer-"_s + rawValue(name) + u'-' + epochText(date));
}

QString meetingBanner(const QString &eventID, const QDateTime &startDate, qint64 leadMinutes)
{
    return QString(u"meeting-"_s + encodeOutsideId(eventID) + u'-' + epochText(startDate) + u'-'
                   + QString::number(leadMinutes));
}

QString reminderBanner(const QString &reminderID, const QDateTime &alertDate)
{
    return QString(u"reminder-"_s + encodeOutsideId(reminderID) + u'-' + epochText(alertDate));
}

} // namespace kolu::notificationid
