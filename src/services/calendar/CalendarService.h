#pragma once

#include "model/Records.h"
#include "platform/calendar/CalendarStore.h"

#include <QTimeZone>

#include <qcoro/qcorotask.h>

#include <memory>
#include <vector>

namespace kolu {

class Clock;

// The timed events of the coming days, read from the calendar store, with a
// meeting link and attendee initials worked out for each. Never writes.
class CalendarService {
public:
    // Occurrences as the service hands them over: never changed once given.
    using CalendarEventList = std::shared_ptr<const std::vector<CalendarEvent>>;

    // "Today" starts at midnight in `localZone`.
    CalendarService(CalendarStore &store, Clock &clock, QTimeZone localZone = QTimeZone::systemTimeZone());

    // Every timed occurrence from the start of today through `days` days
    // (at least one), by start; equal starts keep the store's order. Empty
    // without access. While the store gives what it gave last time, the
    // answer is the very list of last time; never null.
    QCoro::Task<CalendarEventList> eventsForUpcomingDays(int days);

    // The record shown for one stored occurrence.
    static CalendarEvent event(const StoredEvent &stored);

    // What the last conversion was made from and gave, shared with the worker
    // that converts (it may outlive the service).
    struct Converted;

private:
    CalendarStore &m_store;
    Clock &m_clock;
    QTimeZone m_localZone;
    std::shared_ptr<Converted> m_converted;
};

} // namespace kolu
