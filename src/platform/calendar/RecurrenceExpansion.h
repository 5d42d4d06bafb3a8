#pragma once

#include "platform/calendar/ICalendarReader.h"

#include <QDateTime>
#include <QTimeZone>

#include <stop_token>
#include <vector>

namespace kolu {

// One event and the overrides (same UID, with RECURRENCE-ID) that move or
// cancel single occurrences of it. `master` may be null when a calendar holds
// only overrides.
struct EventSeries {
    const ICalEvent *master = nullptr;
    std::vector<const ICalEvent *> overrides;
};

struct EventOccurrence {
    const ICalEvent *event = nullptr; // the component the details come from
    QDateTime start;
    QDateTime end;
};

// Bounds that keep a hostile rule (FREQ=SECONDLY without end, a huge COUNT,
// every second of the year listed) from taking unbounded time or memory: the
// occurrences a series lists, and the candidate instants its rules may
// examine to find them.
inline constexpr int kMaxRecurrenceSteps = 100000;
inline constexpr int kMaxOccurrencesPerSeries = 1000;

// The occurrences of a series that overlap [from, to): those that start in
// the window, and those that started before it and are still going on. In
// order of start.
std::vector<EventOccurrence> occurrencesInWindow(const EventSeries &series, const QDateTime &from, const QDateTime &to,
                                                 const QTimeZone &localZone);

// How far a bounded expansion goes: at most `count` occurrences, only those
// that start before `startsBefore` (none: the window's end), after examining
// at most `candidates` instants, and none at all once `stop` is requested.
struct ExpansionBound {
    int count = kMaxOccurrencesPerSeries;
    std::optional<QDateTime> startsBefore;
    int candidates = kMaxRecurrenceSteps;
    std::stop_token stop;
};

struct BoundedOccurrences {
    std::vector<EventOccurrence> occurrences; // the earliest, in order of start
    bool cut = false;                         // the series has more in the window than these
    int examined = 0;                         // candidate instants its rules examined
};

// As occurrencesInWindow, within `bound`; says whether it left any out.
BoundedOccurrences boundedOccurrencesInWindow(const EventSeries &series, const QDateTime &from, const QDateTime &to,
                                              const QTimeZone &localZone, const ExpansionBound &bound);

} // namespace kolu
