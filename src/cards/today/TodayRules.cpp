#include "cards/today/TodayRules.h"

#include "cards/prayers/PrayerRules.h"
#include "style/DateText.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu::today {

WeatherLook weatherLook(const std::optional<TodayWeather> &weather)
{
    if (!weather)
        return {u"cloud.sun"_s, {}};
    // clang-format off
    switch (weather->weatherCode) {
    case 0:
    case 1:
        return {u"sun.max"_s, QColor::fromRgbF(0.78f, 0.30f, 0.28f)};
    case 45:
    case 48:
        return {u"cloud.fog"_s, {}};
    case 51: case 53: case 55:
    case 61: case 63: case 65:
    case 80: case 81: case 82:
        return {u"cloud.rain"_s, QColor::fromRgbF(0.34f, 0.58f, 0.88f)};
    case 95:
    case 96:
    case 99:
        return {u"cloud.bolt.rain"_s, {}};
    default:
        return {u"cloud.sun"_s, {}};
    }
    // clang-format on
}

QString temperatureText(const std::optional<TodayWeather> &weather)
{
    if (!weather || !std::isfinite(weather->temperature) || std::abs(weather->temperature) > 1e6)
        return u"--°"_s;
    // Halves away from zero; a value that rounds to zero is plain "0".
    const auto degrees = static_cast<long long>(std::llround(weather->temperature));
    return QString::number(degrees) + u"°"_s;
}

QString weatherDetail(const std::optional<TodayWeather> &weather, bool isLoading, const QString &statusMessage)
{
    if (weather)
        return weather->conditionText() + u" • "_s + weather->city;
    if (isLoading)
        return u"Loading weather..."_s;
    if (!statusMessage.isEmpty())
        return statusMessage;
    return u"Weather uses your prayer city"_s;
}

QString gregorianDateText(const QDateTime &now, const DateText &dates)
{
    return dates.format(now, u"dMMMyy"_s);
}

std::optional<CalendarEvent> upcomingEvent(const std::vector<CalendarEvent> &events, const QDateTime &now)
{
    for (const CalendarEvent &event : events) {
        if (event.startDate.isValid() && event.startDate >= now)
            return event;
    }
    return std::nullopt;
}

QString upcomingEventDetail(const CalendarEvent &event, const QDateTime &now, const DateText &dates)
{
    return dates.format(event.startDate, u"jmm"_s) + u" • "_s + event.startsInText(now);
}

QString nextPrayerValue(const std::optional<PrayerTime> &upcoming, bool timesMissing)
{
    return prayers::nextPrayerName(upcoming, timesMissing);
}

QString nextPrayerDetail(const std::optional<PrayerTime> &upcoming, const QDateTime &now)
{
    if (!upcoming)
        return u"Refresh prayer times"_s;
    return prayers::nextPrayerSubtitle(upcoming, now);
}

std::vector<ReminderItem> allTodayReminders(const std::vector<ReminderItem> &reminders, const QDateTime &now)
{
    const QDate today = now.toLocalTime().date();
    std::vector<ReminderItem> due;
    for (const ReminderItem &item : reminders) {
        if (item.dueDate && item.dueDate->isValid() && item.dueDate->toLocalTime().date() == today)
            due.push_back(item);
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const ReminderItem &a, const ReminderItem &b) { return *a.dueDate < *b.dueDate; });
    return due;
}

QString reminderCountText(std::size_t count)
{
    return count == 0 ? u"Clear"_s : QString::number(count);
}

} // namespace kolu::today
