#include "cards/prayers/PrayerRules.h"

#include "style/DateText.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

TEST(PrayerRules, CityOptionsFollowOnlyAnExactPresetCountry)
{
    EXPECT_EQ(prayers::cityOptions(u"Jordan"_s), (QStringList{u"Amman"_s, u"Irbid"_s, u"Aqaba"_s}));
    // Other case, a trailing space, unknown or hostile text: every preset city once, in code-point order.
    QStringList every;
    for (const QString &country : prayers::countryPresets())
        every += prayers::cityPresets(country);
    std::sort(every.begin(), every.end());
    for (const QString &country : {u"egypt"_s, u"Egypt "_s, u""_s, u"Atlantis"_s, u"a/b&c#d"_s, QString(500, u' ')}) {
        const QStringList all = prayers::cityOptions(country);
        EXPECT_EQ(all, every) << country.toStdString();
        EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "no city twice";
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

} // namespace
} // namespace kolu
