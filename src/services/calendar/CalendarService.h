#pragma once

#include "model/Records.h"
#include "platform/calendar/CalendarStore.h"

#include <QTimeZone>

#include <qcoro/qcorotask.h>

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

private:
    CalendarStore &m_store;
    Clock &m_clock;
    QTimeZone m_localZone;
};

} // namespace kolu
