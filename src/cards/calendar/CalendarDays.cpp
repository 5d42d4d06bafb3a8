#include "cards/calendar/CalendarDays.h"

#include <algorithm>
#include <array>
#include <limits>

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
    // The local midnights bounding each day, as moments: an event belongs to
    // the day whose bounds hold its start. A start already on the local clock
    // carries its local date; any other is compared as a moment. Neither
    // turns a start into local time, which costs a zone lookup each.
    std::array<qint64, 8> bounds{};
    for (int offset = 0; offset <= 7; ++offset) {
        const QDate day = today.addDays(offset);
        bounds[std::size_t(offset)] =
            day.isValid() ? day.startOfDay().toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    }
    for (const CalendarEvent &event : events) {
        if (!event.startDate.isValid())
            continue;
        qint64 offset = -1;
        if (event.startDate.timeSpec() == Qt::LocalTime) {
            // Already on the local clock: its date is the local day.
            offset = today.daysTo(event.startDate.date());
        } else {
            const qint64 start = event.startDate.toMSecsSinceEpoch();
            if (start >= bounds[0] && start < bounds[7])
                offset = std::upper_bound(bounds.begin(), bounds.end(), start) - bounds.begin() - 1;
        }
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
