#include "model/Models.h"

#include <gtest/gtest.h>

using namespace kolu;

// Records here name only the fields a case needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
using namespace Qt::StringLiterals;

namespace {

template<typename E>
void expectRoundTrip(const std::vector<QString> &expectedNames)
{
    const auto cases = allCases<E>();
    ASSERT_EQ(cases.size(), expectedNames.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(rawValue(cases[i]), expectedNames[i]);
        EXPECT_EQ(fromRawValue<E>(expectedNames[i]), cases[i]);
    }
    EXPECT_FALSE(fromRawValue<E>(u""_s));
    // Raw values are exact: no case folding, no trimming.
    EXPECT_FALSE(fromRawValue<E>(expectedNames.front().toUpper())
                 || fromRawValue<E>(QString(expectedNames.front() + u' ')));
}

QDateTime at(qint64 secondsSince1970)
{
    return QDateTime::fromSecsSinceEpoch(secondsSince1970, Qt::UTC);
}

} // namespace

TEST(Enumerations, RawValuesRoundTripInDeclarationOrder)
{
    expectRoundTrip<RailModule>({u"today"_s, u"calendar"_s, u"prayers"_s, u"notes"_s, u"focus"_s, u"links"_s,
                                 u"fileTray"_s, u"wallpapers"_s, u"reminders"_s, u"nowPlaying"_s});
    expectRoundTrip<RailSize>({u"standard"_s, u"large"_s});
    expectRoundTrip<PrayerName>({u"fajr"_s, u"sunrise"_s, u"dhuhr"_s, u"asr"_s, u"maghrib"_s, u"isha"_s});
    expectRoundTrip<PomodoroMode>({u"focus"_s, u"breakTime"_s});
    expectRoundTrip<ClipboardItemKind>({u"link"_s, u"text"_s, u"image"_s, u"file"_s});
    expectRoundTrip<WallpaperLibrary>({u"noir"_s, u"still"_s, u"wild"_s, u"archive"_s, u"frontier"_s});
    expectRoundTrip<WallpaperSource>(
        {u"unsplash"_s, u"metMuseum"_s, u"artInstitute"_s, u"dropbox"_s, u"localFolder"_s});
    expectRoundTrip<WallpaperCategory>(
        {u"nature"_s, u"abstract"_s, u"space"_s, u"architecture"_s, u"minimal"_s, u"textures"_s});
}

TEST(Records, EqualityIsMemberwise)
{
    const ClipboardItem a{QUuid::createUuid(), ClipboardItemKind::text, u"t"_s, u"v"_s, at(100), std::nullopt,
                          std::nullopt};
    ClipboardItem b = a;
    EXPECT_EQ(a, b);
    b.sourceURL = u""_s; // present-but-empty differs from absent
    EXPECT_NE(a, b);

    EXPECT_NE(RemindersConnectionState::failed(u"x"_s), RemindersConnectionState::failed(u"y"_s));

    // Dates compare as moments, whatever their time zone.
    SavedLink utc{QUuid::createUuid(), u"a"_s, u"b"_s, at(1000), false};
    SavedLink local = utc;
    local.dateAdded = utc.dateAdded.toLocalTime();
    EXPECT_EQ(utc, local);
}

TEST(FileTrayItem, DisplayTypeIsTheLastExtensionUpperCased)
{
    const auto type = [](const QString &path) {
        return FileTrayItem{QUuid::createUuid(), QUrl::fromLocalFile(path), at(0)}.displayType();
    };
    for (const auto &[path, shown] :
         {std::pair(u"/tmp/report.pdf"_s, u"PDF"_s), std::pair(u"/tmp/archive.tar.gz"_s, u"GZ"_s),
          std::pair(u"/tmp/Makefile"_s, u"File"_s), std::pair(u"/tmp/spaces.  "_s, u"File"_s),
          std::pair(u"/tmp/dir.d/"_s, u"D"_s)})
        EXPECT_EQ(type(path), shown) << path.toStdString();
}

TEST(ClipboardItem, DisplayDetailByKind)
{
    ClipboardItem item{
        QUuid::createUuid(), ClipboardItemKind::link, u"t"_s, u"https://example.org/a/b?c=1"_s, at(0), std::nullopt,
        std::nullopt};
    EXPECT_EQ(item.displayDetail(), u"example.org"_s);
    item.value = u"not a web address"_s;
    EXPECT_EQ(item.displayDetail(), u"not a web address"_s);
    item.value = u"mailto:someone"_s; // parses, but has no host
    EXPECT_EQ(item.displayDetail(), u"mailto:someone"_s);

    item.kind = ClipboardItemKind::image;
    EXPECT_EQ(item.displayDetail(), u"Image"_s);
    item.filePath = u"/data/Clipboard/shot 1.png"_s;
    EXPECT_EQ(item.displayDetail(), u"shot 1.png"_s);

    item.kind = ClipboardItemKind::file;
    item.value = u"/home/me/Documents/"_s;
    EXPECT_EQ(item.displayDetail(), u"Documents"_s);
}

TEST(CalendarEvent, StartsInText)
{
    const QDateTime now = at(1'700'000'000);
    const auto text = [&](qint64 secondsAhead) {
        return CalendarEvent{.startDate = now.addSecs(secondsAhead)}.startsInText(now);
    };
    for (const auto &[ahead, shown] :
         {std::pair(-3600, u"Now"_s), std::pair(59, u"Now"_s), std::pair(59 * 60 + 59, u"Starts in 59m"_s),
          std::pair(3600, u"Starts in 1h 0m"_s), std::pair(26 * 3600 + 5 * 60 + 30, u"Starts in 26h 5m"_s)})
        EXPECT_EQ(text(ahead), shown) << ahead;
}

TEST(TodayWeather, ConditionText)
{
    const std::vector<std::pair<int, QString>> cases{
        {0, u"Clear"_s}, {1, u"Mostly clear"_s}, {2, u"Mostly clear"_s}, {3, u"Cloudy"_s}, {4, u"Weather"_s},
        {45, u"Fog"_s},  {48, u"Fog"_s},         {57, u"Drizzle"_s},     {66, u"Rain"_s},  {82, u"Rain"_s},
        {77, u"Snow"_s}, {86, u"Snow"_s},        {95, u"Storm"_s},       {99, u"Storm"_s}, {-1, u"Weather"_s},
    };
    for (const auto &[code, expected] : cases)
        EXPECT_EQ((TodayWeather{u"x"_s, 1.0, code, at(0)}.conditionText()), expected) << code;
}

TEST(AlertIds, CarryTheMomentInWholeSeconds)
{
    const PrayerTime today{PrayerName::maghrib, QDateTime::fromMSecsSinceEpoch(1'700'000'000'900, Qt::UTC), true};
    PrayerTime tomorrow = today;
    tomorrow.date = today.date.addDays(1);
    EXPECT_EQ(ActivePrayerAlert{today}.id(), u"maghrib-1700000000"_s);
    EXPECT_NE(ActivePrayerAlert{today}.id(), ActivePrayerAlert{tomorrow}.id());
    EXPECT_EQ(today.id(), u"maghrib"_s);

    ReminderItem reminder;
    reminder.id = u"abc"_s;
    const ActiveReminderAlert first{reminder, at(1000)};
    const ActiveReminderAlert snoozed{reminder, at(1600)};
    EXPECT_EQ(first.id(), u"abc-1000"_s);
    EXPECT_NE(first.id(), snoozed.id());

    // Before 1970 the seconds are truncated toward zero.
    EXPECT_EQ(wholeSecondsSince1970(QDateTime::fromMSecsSinceEpoch(-1500, Qt::UTC)), -1);
}
