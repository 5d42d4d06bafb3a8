#include "cards/calendar/CalendarDays.h"

#include <array>

using namespace Qt::StringLiterals;

namespace kolu::calendar {

std::vector<CalendarDayGroup> upcomingDays(const std::vector<CalendarEvent> &events, const QDateTime &now)
{
    const QDate today = now.toLocalTime().date();
    std::vector<CalendarDayGroup> days;
    days.reserve(7);
    // Where each day's group sits; a day past the end of the calendar has none.
    std::array<std::ptrdiff_t, 7> groupOf{};
    for (int offset = 0; offset < 7; ++offset) {
        const QDate day = today.addDays(offset);
        groupOf[std::size_t(offset)] = day.isValid() ? std::ptrdiff_t(days.size()) : -1;
        if (day.isValid())
            days.push_back(CalendarDayGroup{day, day.startOfDay(), {}});
    }
    // Each start is turned into a local date once.
    for (const CalendarEvent &event : events) {
        const QDate start = event.startDate.isValid() ? event.startDate.toLocalTime().date() : QDate();
        if (!start.isValid())
            continue;
        const qint64 offset = today.daysTo(start);
        if (offset >= 0 && offset < 7 && groupOf[std::size_t(offset)] >= 0)
            days[std::size_t(groupOf[std::size_t(offset)])].events.push_back(event);
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
