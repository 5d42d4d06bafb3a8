#pragma once

#include "model/Records.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace kolu::prayers {

// The preset countries, in menu order.
const QStringList &countryPresets();
// The preset cities of `country` (exact text), empty for any other text.
QStringList cityPresets(const QString &country);
// The City menu: the exact country's presets, or every preset city sorted by
// code point when the text names no preset country.
QStringList cityOptions(const QString &country);

struct LocationFields {
    QString city;
    QString country;
    friend bool operator==(const LocationFields &, const LocationFields &) = default;
};
// The fields after `chosen` was picked from the Country menu: the same country
// changes nothing; another replaces the city with its first preset.
LocationFields chooseCountry(const LocationFields &fields, const QString &chosen);
// Whether "Set" may be pressed for the typed texts.
bool canSetLocation(const QString &city, const QString &country);

// Hour and minute in the user's locale.
QString timeText(const QDateTime &date);
// "in 1h 5m • 5:10 PM", or "Refresh today's times" without a next prayer.
QString nextPrayerSubtitle(const std::optional<PrayerTime> &upcoming, const QDateTime &now);
// Whether the next prayer cannot be known: the last refresh failed and no
// times of today's date are held.
bool timesMissing(const std::optional<PrayerDay> &day, const QDateTime &now, bool refreshFailed);
// The next prayer's name; "Ready" once today's prayers have passed, or
// "No times" while they are missing (Ready would say the day is done).
QString nextPrayerName(const std::optional<PrayerTime> &upcoming, bool timesMissing);
// The state's message, else the stored city and country.
QString locationStatus(const QString &statusMessage, const PrayerSettings &settings);

} // namespace kolu::prayers
