#include "style/TodayVisuals.h"

#include "model/Clock.h"

namespace kolu {

TodayVisual TodayVisuals::forHour(int hour)
{
    if (hour <= 5)
        return {QStringLiteral("moon.stars"), QStringLiteral("Have a calm night")};
    if (hour <= 11)
        return {QStringLiteral("sun.max"), QStringLiteral("Have a nice morning")};
    if (hour <= 17)
        return {QStringLiteral("sun.max"), QStringLiteral("Have a nice day")};
    return {QStringLiteral("moon.stars"), QStringLiteral("Have a calm evening")};
}

TodayVisual TodayVisuals::current(const Clock &clock)
{
    return forHour(clock.now().toLocalTime().time().hour());
}

} // namespace kolu
