#pragma once

#include "model/Records.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <vector>

namespace kolu::calendar {

// One local calendar day of the week strip and the events that start on it.
struct CalendarDayGroup {
    QDate day;
    // The day's first moment in the local zone.
    QDateTime date;
    std::vector<CalendarEvent> events;

    // The local calendar date ("2025-03-30"). Taken from the date itself,
    // not from a UTC moment: around a change of UTC offset two local
    // midnights can fall on the same UTC date.
    QString id() const { return dayId(day); }
    static QString dayId(const QDate &day) { return day.toString(Qt::ISODate); }
};

// The seven days that begin with the local day of `now`, each with the
// events of `events` that start on it, in list order.
std::vector<CalendarDayGroup> upcomingDays(const std::vector<CalendarEvent> &events, const QDateTime &now);

// The group whose id is `id`, else the first group, else an empty day of `now`.
CalendarDayGroup selectedDay(const std::vector<CalendarDayGroup> &days, const QString &id, const QDateTime &now);

// "Clear", "1 event", "2 events".
QString daySummary(std::size_t eventCount);

} // namespace kolu::calendar
