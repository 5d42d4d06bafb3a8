#include "cards/prayers/PrayerRules.h"

#include "style/DateText.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

TEST(PrayerRules, PresetTablesHoldTenCountriesAndFortyDistinctCities)
{
    EXPECT_EQ(prayers::countryPresets().size(), 10);
    EXPECT_EQ(prayers::countryPresets().first(), u"Saudi Arabia"_s);
    EXPECT_EQ(prayers::countryPresets().last(), u"United States"_s);
    QSet<QString> cities;
    int listed = 0;
    for (const QString &country : prayers::countryPresets()) {
        const QStringList presets = prayers::cityPresets(country);
        EXPECT_FALSE(presets.isEmpty()) << country.toStdString();
        listed += presets.size();
        for (const QString &city : presets)
            cities.insert(city);
    }
    EXPECT_EQ(listed, 40);
    EXPECT_EQ(cities.size(), 40);
    EXPECT_EQ(prayers::cityPresets(u"Egypt"_s), (QStringList{u"Cairo"_s, u"Alexandria"_s, u"Giza"_s}));
}

TEST(PrayerRules, CityOptionsFollowOnlyAnExactPresetCountry)
{
    EXPECT_EQ(prayers::cityOptions(u"Jordan"_s), (QStringList{u"Amman"_s, u"Irbid"_s, u"Aqaba"_s}));
    // Other case, a trailing space, unknown or hostile text: every preset city in code-point order.
    for (const QString &country : {u"egypt"_s, u"Egypt "_s, u""_s, u"Atlantis"_s, u"a/b&c#d"_s, QString(500, u' ')}) {
        const QStringList all = prayers::cityOptions(country);
        ASSERT_EQ(all.size(), 40) << country.toStdString();
        EXPECT_EQ(all.mid(0, 7), (QStringList{u"Abha"_s, u"Abu Dhabi"_s, u"Ajman"_s, u"Al Ain"_s, u"Al Rayyan"_s,
                                              u"Al Wakrah"_s, u"Alexandria"_s}));
        for (int i = 1; i < all.size(); ++i)
            EXPECT_LT(all[i - 1], all[i]);
    }
}

TEST(PrayerRules, ChoosingACountryReplacesTheCityOnlyWhenTheCountryChanges)
{
    const prayers::LocationFields makkah{u"Makkah"_s, u"Saudi Arabia"_s};
    EXPECT_EQ(prayers::chooseCountry(makkah, u"Egypt"_s), (prayers::LocationFields{u"Cairo"_s, u"Egypt"_s}));
    EXPECT_EQ(prayers::chooseCountry(makkah, u"Saudi Arabia"_s), makkah);
    const prayers::LocationFields typed{u"Springfield"_s, u"Saudi Arabia"_s};
    EXPECT_EQ(prayers::chooseCountry(typed, u"Saudi Arabia"_s), typed);
    EXPECT_EQ(prayers::chooseCountry(typed, u"United States"_s),
              (prayers::LocationFields{u"New York"_s, u"United States"_s}));
}

TEST(PrayerRules, SetNeedsACityAndACountryAfterTrimming)
{
    EXPECT_TRUE(prayers::canSetLocation(u" Cairo "_s, u"Egypt"_s));
    EXPECT_TRUE(prayers::canSetLocation(QString(500, u'x'), u"Nowhere"_s));
    for (const auto &[city, country] : std::vector<std::pair<QString, QString>>{
             {u""_s, u"Egypt"_s}, {u"   "_s, u"Egypt"_s}, {u"Cairo"_s, u"\n\t"_s}, {QString(500, u' '), u"Egypt"_s}})
        EXPECT_FALSE(prayers::canSetLocation(city, country)) << city.size() << country.toStdString();
}

TEST(PrayerRules, SubtitleRoundsMinutesUpAndSplitsHours)
{
    const QDateTime now(QDate(2026, 3, 14), QTime(12, 0), Qt::UTC);
    EXPECT_EQ(prayers::nextPrayerSubtitle(std::nullopt, now), u"Refresh today's times"_s);
    const struct {
        qint64 seconds;
        QString span;
    } cases[] = {{30, u"1m"_s},        {60, u"1m"_s},     {61, u"2m"_s},      {3540, u"59m"_s},
                 {3541, u"1h 0m"_s},   {3600, u"1h 0m"_s}, {5430, u"1h 31m"_s}, {0, u"0m"_s},
                 {-30, u"0m"_s},       {-600, u"0m"_s}};
    for (const auto &c : cases) {
        const PrayerTime prayer{PrayerName::asr, now.addSecs(c.seconds), true};
        EXPECT_EQ(prayers::nextPrayerSubtitle(prayer, now),
                  u"in "_s + c.span + u" • "_s + DateText::user().format(prayer.date, u"jmm"_s))
            << c.seconds;
    }
}

TEST(PrayerRules, StatusPrefersTheStateMessageOverTheStoredPlace)
{
    const PrayerSettings stored{u"Makkah"_s, u"Saudi Arabia"_s, 4};
    EXPECT_EQ(prayers::locationStatus({}, stored), u"Makkah, Saudi Arabia"_s);
    EXPECT_EQ(prayers::locationStatus(u"Refreshing..."_s, stored), u"Refreshing..."_s);
}

} // namespace
} // namespace kolu
