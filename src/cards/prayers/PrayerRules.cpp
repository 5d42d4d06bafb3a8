#include "cards/prayers/PrayerRules.h"

#include "services/info/PrayerTimesService.h"
#include "style/DateText.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace kolu::prayers {

namespace {

using PresetTable = std::vector<std::pair<QString, QStringList>>;

const PresetTable &presetTable()
{
    static const PresetTable table{
        {u"Saudi Arabia"_s,
         {u"Makkah"_s, u"Madinah"_s, u"Riyadh"_s, u"Jeddah"_s, u"Dammam"_s, u"Khobar"_s, u"Dhahran"_s, u"Taif"_s,
          u"Abha"_s}},
        {u"United Arab Emirates"_s, {u"Dubai"_s, u"Abu Dhabi"_s, u"Sharjah"_s, u"Ajman"_s, u"Al Ain"_s}},
        {u"Kuwait"_s, {u"Kuwait City"_s, u"Hawalli"_s, u"Salmiya"_s}},
        {u"Qatar"_s, {u"Doha"_s, u"Al Wakrah"_s, u"Al Rayyan"_s}},
        {u"Bahrain"_s, {u"Manama"_s, u"Muharraq"_s, u"Riffa"_s}},
        {u"Oman"_s, {u"Muscat"_s, u"Salalah"_s, u"Nizwa"_s}},
        {u"Egypt"_s, {u"Cairo"_s, u"Alexandria"_s, u"Giza"_s}},
        {u"Jordan"_s, {u"Amman"_s, u"Irbid"_s, u"Aqaba"_s}},
        {u"Turkey"_s, {u"Istanbul"_s, u"Ankara"_s, u"Izmir"_s}},
        {u"United States"_s, {u"New York"_s, u"Los Angeles"_s, u"Chicago"_s, u"Houston"_s, u"Dearborn"_s}},
    };
    return table;
}

} // namespace

const QStringList &countryPresets()
{
    static const QStringList countries = [] {
        QStringList names;
        for (const auto &[country, cities] : presetTable())
            names << country;
        return names;
    }();
    return countries;
}

QStringList cityPresets(const QString &country)
{
    for (const auto &[name, cities] : presetTable()) {
        if (name == country)
            return cities;
    }
    return {};
}

QStringList cityOptions(const QString &country)
{
    QStringList exact = cityPresets(country);
    if (!exact.isEmpty())
        return exact;
    static const QStringList all = [] {
        QStringList cities;
        for (const auto &entry : presetTable())
            cities << entry.second;
        // QString's operator< compares UTF-16 code units, which is code-point
        // order for these names.
        std::sort(cities.begin(), cities.end());
        cities.erase(std::unique(cities.begin(), cities.end()), cities.end());
        return cities;
    }();
    return all;
}

LocationFields chooseCountry(const LocationFields &fields, const QString &chosen)
{
    if (chosen == fields.country)
        return fields;
    LocationFields next{fields.city, chosen};
    const QStringList cities = cityPresets(chosen);
    if (!cities.isEmpty())
        next.city = cities.first();
    return next;
}

bool canSetLocation(const QString &city, const QString &country)
{
    return !city.trimmed().isEmpty() && !country.trimmed().isEmpty();
}

QString timeText(const QDateTime &date)
{
    return DateText::user().format(date, u"jmm"_s);
}

QString nextPrayerSubtitle(const std::optional<PrayerTime> &upcoming, const QDateTime &now)
{
    if (!upcoming)
        return u"Refresh today's times"_s;
    const qint64 millis = now.msecsTo(upcoming->date);
    // Whole minutes, rounded up: 30 seconds away reads "in 1m".
    qint64 minutes = millis / 60'000;
    if (millis % 60'000 > 0)
        ++minutes;
    QString span;
    if (minutes < 0)
        span = u"0m"_s;
    else if (minutes > 59)
        span = u"%1h %2m"_s.arg(minutes / 60).arg(minutes % 60);
    else
        span = u"%1m"_s.arg(minutes);
    return u"in "_s + span + u" • "_s + timeText(upcoming->date);
}

bool timesMissing(const std::optional<PrayerDay> &day, const QDateTime &now, bool refreshFailed)
{
    const bool holdsToday = day && !day->times.empty() && day->dateID == PrayerTimesService::dayID(now);
    return refreshFailed && !holdsToday;
}

QString nextPrayerName(const std::optional<PrayerTime> &upcoming, bool timesMissing)
{
    if (upcoming)
        return displayName(upcoming->name);
    return timesMissing ? u"No times"_s : u"Ready"_s;
}

QString locationStatus(const QString &statusMessage, const PrayerSettings &settings)
{
    if (!statusMessage.isEmpty())
        return statusMessage;
    return settings.city + u", "_s + settings.country;
}

} // namespace kolu::prayers
