#include "cards/calendar/CalendarDays.h"

using namespace Qt::StringLiterals;

namespace kolu::calendar {

std::vector<CalendarDayGroup> upcomingDays(const std::vector<CalendarEvent> &events, const QDateTime &now)
{
    const QDate today = now.toLocalTime().date();
    std::vector<CalendarDayGroup> days;
    days.reserve(7);
    for (int offset = 0; offset < 7; ++offset) {
        const QDate day = today.addDays(offset);
        if (!day.isValid())
            continue;
        CalendarDayGroup group{day, day.startOfDay(), {}};
        for (const CalendarEvent &event : events) {
            if (event.startDate.isValid() && event.startDate.toLocalTime().date() == day)
                group.events.push_back(event);
        }
        days.push_back(std::move(group));
    }
    return days;
}

CalendarDayGroup selectedDay(const std::vector<CalendarDayGroup> &days, const QString &id, const QDateTime &now)
{
    for (const CalendarDayGroup &group : days) {
        if (group.id() == id)
            return group;
    }
    if (!days.empty())
        return days.front();
    const QDate today = now.toLocalTime().date();
    return CalendarDayGroup{today, now, {}};
}

QString daySummary(std::size_t eventCount)
{
    if (eventCount == 0)
        return u"Clear"_s;
    return eventCount == 1 ? u"1 event"_s : u"%1 events"_s.arg(eventCount);
}

} // namespace kolu::calendar
