#include "services/calendar/CalendarService.h"

#include "model/Clock.h"
#include "services/calendar/CalendarEventFields.h"
#include "model/WorkerAwait.h"

#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

#include <algorithm>
#include <mutex>

using namespace Qt::StringLiterals;

namespace kolu {

struct CalendarService::Converted {
    std::mutex guard;
    StoredEventList stored;
    CalendarService::CalendarEventList events;
};

namespace {

// Sorting and converting thousands of occurrences (the meeting address is
// looked for in each one's texts) is no work for the main thread; and when
// the store gives what it gave last time, as it does on most refreshes, the
// last conversion is the answer, handed over as it is: copying thousands of
// occurrences touches every one of their texts, long gone from the caches
// by the next refresh.
CalendarService::CalendarEventList timedEventsInOrder(StoredEventList stored,
                                                      const std::shared_ptr<CalendarService::Converted> &last)
{
    {
        const std::scoped_lock lock(last->guard);
        // The very list of last time, or one equal to it.
        if (last->stored && (stored == last->stored || (!stored->empty() && *last->stored == *stored)))
            return last->events;
    }
    std::vector<const StoredEvent *> timed;
    for (const StoredEvent &occurrence : *stored) {
        if (!occurrence.isAllDay)
            timed.push_back(&occurrence);
    }
    std::stable_sort(timed.begin(), timed.end(),
                     [](const StoredEvent *a, const StoredEvent *b) { return a->start < b->start; });
    auto events = std::make_shared<std::vector<CalendarEvent>>();
    events->reserve(timed.size());
    for (const StoredEvent *occurrence : timed)
        events->push_back(CalendarService::event(*occurrence));
    const std::scoped_lock lock(last->guard);
    last->stored = std::move(stored);
    last->events = events;
    return events;
}

QCoro::Task<CalendarService::CalendarEventList> upcomingEvents(CalendarStore &store, QDateTime from, QDateTime to,
                                                               std::shared_ptr<CalendarService::Converted> last)
{
    StoredEventList stored = co_await store.events(from, to);
    co_return co_await afterWorker(QtConcurrent::run(&timedEventsInOrder, std::move(stored), last));
}

} // namespace

CalendarService::CalendarService(CalendarStore &store, Clock &clock, QTimeZone localZone)
    : m_store(store)
    , m_clock(clock)
    , m_localZone(std::move(localZone))
    , m_converted(std::make_shared<Converted>())
{
}

QCoro::Task<CalendarService::CalendarEventList> CalendarService::eventsForUpcomingDays(int days)
{
    if (!m_store.hasEventAccess())
        co_return std::make_shared<const std::vector<CalendarEvent>>();
    const QDate today = m_clock.now().toTimeZone(m_localZone).date();
    const QDateTime from = QDateTime(today, QTime(0, 0), m_localZone).toUTC();
    QDateTime to = QDateTime(today.addDays(std::max(days, 1)), QTime(0, 0), m_localZone).toUTC();
    if (!to.isValid() || to <= from)
        to = from.addSecs(86400);
    // Nothing of this object is used after the wait, so it may go meanwhile.
    co_return co_await upcomingEvents(m_store, from, to, m_converted);
}

CalendarEvent CalendarService::event(const StoredEvent &stored)
{
    CalendarEvent event;
    event.id = stored.seriesId;
    event.title = stored.title.value_or(u"Untitled"_s);
    event.startDate = stored.start;
    event.endDate = stored.end;
    event.location = stored.location;
    event.meetingURL = meetingURL(stored.url, stored.location, stored.notes);
    event.attendeeInitials = attendeeInitials(stored.attendees);
    return event;
}

} // namespace kolu
