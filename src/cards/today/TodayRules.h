#pragma once

#include "model/Records.h"

#include <QColor>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace kolu {

class DateText;

namespace today {

// The look of the weather icon for a WMO code: the symbol, and the fixed
// colour that goes with it (invalid means the today module's own tint).
struct WeatherLook {
    QString symbol;
    QColor tint;
};
WeatherLook weatherLook(const std::optional<TodayWeather> &weather);

// "22°", "-1°", "0°" (never "-0°"); "--°" with no weather or no number.
QString temperatureText(const std::optional<TodayWeather> &weather);

// The line under the temperature: the condition and city, else the loading
// text, else the state's status message, else where the weather comes from.
QString weatherDetail(const std::optional<TodayWeather> &weather, bool isLoading, const QString &statusMessage);

// Today's date, day, abbreviated month and two-digit year in the locale's order.
QString gregorianDateText(const QDateTime &now, const DateText &dates);

// The first event, in list order, that starts at or after `now`.
std::optional<CalendarEvent> upcomingEvent(const std::vector<CalendarEvent> &events, const QDateTime &now);
// "9:30 AM • Starts in 12m" for the next event.
QString upcomingEventDetail(const CalendarEvent &event, const QDateTime &now, const DateText &dates);

// "Fajr" … "Isha"; with nothing ahead "Ready", or "No times" while today's
// times are missing after a failed refresh.
QString nextPrayerValue(const std::optional<PrayerTime> &upcoming, bool timesMissing = false);
// "in 1h 0m • 5:10 PM", or "Refresh prayer times" with nothing ahead.
QString nextPrayerDetail(const std::optional<PrayerTime> &upcoming, const QDateTime &now);

// Every reminder due on the local day of `now`, earliest first; equal due
// times keep their list order.
std::vector<ReminderItem> allTodayReminders(const std::vector<ReminderItem> &reminders, const QDateTime &now);
// "Clear", or the number of all of today's reminders.
QString reminderCountText(std::size_t count);

} // namespace today
} // namespace kolu
