#include "style/TodayVisuals.h"

#include "model/Clock.h"

using namespace Qt::StringLiterals;

namespace kolu {

TodayVisual TodayVisuals::forHour(int hour)
{
    if (hour <= 5)
        return {u"moon.stars"_s, u"Have a calm night"_s};
    if (hour <= 11)
        return {u"sun.max"_s, u"Have a nice morning"_s};
    if (hour <= 17)
        return {u"sun.max"_s, u"Have a nice day"_s};
    return {u"moon.stars"_s, u"Have a calm evening"_s};
}

TodayVisual TodayVisuals::current(const Clock &clock)
{
    return forHour(clock.now().toLocalTime().time().hour());
}

} // namespace kolu
