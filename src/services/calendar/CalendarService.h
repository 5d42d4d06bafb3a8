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
    // "Today" starts at midnight in `localZone`.
    CalendarService(CalendarStore &store, Clock &clock, QTimeZone localZone = QTimeZone::systemTimeZone());

    // Every timed occurrence from the start of today through `days` days
    // (at least one), by start; equal starts keep the store's order. Empty
    // without access.
    QCoro::Task<std::vector<CalendarEvent>> eventsForUpcomingDays(int days);

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
