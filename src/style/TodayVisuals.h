#pragma once

#include <QDateTime>
#include <QString>

namespace kolu {

class Clock;

// The time-of-day look shared by the detail panel's header and the today card.
struct TodayVisual {
    QString symbol;
    QString greeting;
};

struct TodayVisuals {
    // The look for an hour of the day (0 to 23).
    static TodayVisual forHour(int hour);
    // The look for the clock's current hour in the local time zone.
    static TodayVisual current(const Clock &clock);
};

} // namespace kolu
