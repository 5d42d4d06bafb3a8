#include "cards/today/TodayCard.h"
#include "cards/today/TodayRules.h"
#include "cards/today/TodaySummaryTile.h"
#include "style/DateText.h"
#include "style/MinuteTicker.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/ShrinkLabel.h"

#include "../CardTest.h"

#include <QDir>
#include <QSignalSpy>

#include <algorithm>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

TodayWeather weather(double temperature, int code)
{
    return TodayWeather{u"Makkah"_s, temperature, code, QDateTime(QDate(2026, 3, 14), QTime(9, 0), Qt::UTC)};
}

TEST(TodayRules, NextEventPrayerAndDate)
{
    const QDateTime now(QDate(2026, 3, 14), QTime(9, 0), Qt::UTC);
    auto event = [&](const QString &id, int minutes) {
        return CalendarEvent{id, id, now.addSecs(minutes * 60), now.addSecs(minutes * 60 + 1800), {}, {}, {}};
    };
    EXPECT_EQ(today::upcomingEvent({event(u"running"_s, -1), event(u"now"_s, 0), event(u"later"_s, 5)}, now)->id,
              u"now"_s);
    EXPECT_FALSE(today::upcomingEvent({event(u"running"_s, -1)}, now));

    const DateText dates(u"en_US"_s, u"UTC"_s);
    EXPECT_EQ(today::upcomingEventDetail(event(u"e"_s, 12), now, dates), u"9:12\u202FAM • Starts in 12m"_s);

    EXPECT_EQ(today::nextPrayerValue(std::nullopt), u"Ready"_s);
    EXPECT_EQ(today::nextPrayerDetail(std::nullopt, now), u"Refresh prayer times"_s);
    const PrayerTime asr{PrayerName::asr, now.addSecs(3600), true};
    EXPECT_EQ(today::nextPrayerValue(asr), u"Asr"_s);
    EXPECT_TRUE(today::nextPrayerDetail(asr, now).startsWith(u"in 1h 0m • "_s));
}

// The manual clock starts at 12:00 in Riyadh.
class TodayCardTest : public test::CardTest<TodayCard> {
protected:
    test::PinnedZone zone{"Asia/Riyadh"};

    TodayCardTest() { cardSize = {318, 640}; }

    bool idle() const override { return !state->isLoadingTodayWeather(); }

    ReminderItem due(const QString &id, std::optional<int> minutesFromNow, bool flagged = false) const
    {
        const auto when = minutesFromNow ? std::optional(clock.now().addSecs(*minutesFromNow * 60)) : std::nullopt;
        return {id, id, {}, when, false, 0, flagged, {}, false};
    }
    // Fresh weather, so showing the card fetches nothing.
    void holdFreshWeather() { state->setTodayWeather(TodayWeather{u"Makkah"_s, 21.5, 2, clock.now()}); }
};

TEST_F(TodayCardTest, ShowsWeatherInItsTextsSymbolsAndTintsAndTheFirstThreeRemindersDueToday)
{
    holdFreshWeather();
    state->setReminders({due(u"later"_s, 60), due(u"yesterday"_s, -24 * 60), due(u"first"_s, -60, true),
                         due(u"tieA"_s, 30), due(u"tomorrow"_s, 24 * 60), due(u"tieB"_s, 30), due(u"last"_s, 300)});
    makeCard();
    EXPECT_FALSE(state->isLoadingTodayWeather());
    EXPECT_EQ(text(u"todayTemperature"_s), u"22°"_s);

    EXPECT_EQ(text(u"todayRemindersCount"_s), u"5"_s);
    EXPECT_FALSE(find(u"todayRemindersEmpty"_s)->isVisible());
    QStringList shown;
    for (const TodayReminderLine *line : card->findChildren<TodayReminderLine *>())
        if (line->isVisible())
            shown << line->title();
    EXPECT_EQ(shown, (QStringList{u"first"_s, u"tieA"_s, u"tieB"_s}));
    EXPECT_TRUE(card->findChildren<TodayReminderLine *>().front()->isFlagged());

    state->setReminders({due(u"undated"_s, std::nullopt), due(u"yesterday"_s, -24 * 60)});
    EXPECT_EQ(text(u"todayRemindersCount"_s), u"Clear"_s);
    EXPECT_TRUE(find(u"todayRemindersEmpty"_s)->isVisible());

    const std::tuple<std::optional<TodayWeather>, QString, QString, QString, bool> cases[] = {
        {weather(21.5, 2), u"22°"_s, u"Mostly clear • Makkah"_s, u"cloud.sun"_s, false},
        {weather(-0.5, 48), u"-1°"_s, u"Fog • Makkah"_s, u"cloud.fog"_s, false},
        {weather(-0.4, 0), u"0°"_s, u"Clear • Makkah"_s, u"sun.max"_s, true},
        {weather(9.49, 81), u"9°"_s, u"Rain • Makkah"_s, u"cloud.rain"_s, true},
        {weather(30, 57), u"30°"_s, u"Drizzle • Makkah"_s, u"cloud.sun"_s, false},
        {weather(30, 99), u"30°"_s, u"Storm • Makkah"_s, u"cloud.bolt.rain"_s, false},
        {weather(30, -3), u"30°"_s, u"Weather • Makkah"_s, u"cloud.sun"_s, false},
        {weather(std::numeric_limits<double>::quiet_NaN(), 400), u"--°"_s, u"Weather • Makkah"_s, u"cloud.sun"_s,
         false},
        {std::nullopt, u"--°"_s, u"Weather uses your prayer city"_s, u"cloud.sun"_s, false},
    };
    for (const auto &[weather, temperature, detail, symbol, ownTint] : cases) {
        EXPECT_EQ(today::temperatureText(weather), temperature) << detail.toStdString();
        EXPECT_EQ(today::weatherDetail(weather, false, {}), detail);
        EXPECT_EQ(today::weatherLook(weather).symbol, symbol) << detail.toStdString();
        EXPECT_EQ(today::weatherLook(weather).tint.isValid(), ownTint) << detail.toStdString();
    }
    EXPECT_EQ(today::weatherDetail(std::nullopt, true, u"Refreshing..."_s), u"Loading weather..."_s);
    EXPECT_EQ(today::weatherDetail(std::nullopt, false, u"City not found"_s), u"City not found"_s);

    // Offline with neither weather nor today's prayer times: the card says so
    // once, and the prayer tile does not claim the day's prayers are done.
    const QString offline = u"Kolu is offline. Check the network, then refresh."_s;
    state->setTodayWeather(std::nullopt);
    state->setTodayWeatherStatus({offline, StatusTint::orange});
    state->setPrayerDay(std::nullopt);
    state->setPrayerStatus({offline, StatusTint::orange});
    auto *prayerValue = find(u"todayNextPrayerTile"_s)->findChild<ElidedLabel *>(u"tileValue"_s);
    EXPECT_EQ(prayerValue->text(), u"No times"_s);
    const auto labels = card->findChildren<ElidedLabel *>();
    EXPECT_EQ(std::count_if(labels.begin(), labels.end(),
                            [&](const ElidedLabel *label) { return label->text().contains(u"offline"_s); }),
              1);
    state->setPrayerStatus({state->prayerStatus().message, StatusTint::green});
    EXPECT_EQ(prayerValue->text(), u"Ready"_s);
}

TEST_F(TodayCardTest, ShowingAsksForWeatherAndTheMeetingButtonOpensOnlyWebAddresses)
{
    makeCard();
    EXPECT_TRUE(state->isLoadingTodayWeather()) << "no weather held: showing the card asks for it";
    EXPECT_EQ(text(u"todayTemperature"_s), u"--°"_s);

    auto *tile = find<TodaySummaryTile>(u"todayNextEventTile"_s);
    auto *button = find<QAbstractButton>(u"todayMeetingButton"_s);
    EXPECT_EQ(tile->value(), u"No upcoming events"_s);
    EXPECT_EQ(tile->detail(), u"Calendar is quiet"_s);
    EXPECT_FALSE(button->isVisible());

    const QDateTime now = clock.now();
    for (const QString &link : {u"file:///etc/passwd"_s, u"javascript:alert(1)"_s, u"https://meet.example.com/a-b"_s}) {
        state->setCalendarEvents({{u"e"_s, u"Standup"_s, now.addSecs(600), now.addSecs(1200), {}, QUrl(link), {}}});
        EXPECT_EQ(tile->value(), u"Standup"_s);
        EXPECT_EQ(button->isVisible(), link.startsWith(u"https"_s)) << link.toStdString();
        if (button->isVisible())
            QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(services.urlOpener->opened, QList<QUrl>{QUrl(u"https://meet.example.com/a-b"_s)});
    EXPECT_GE(tile->height(), 62);
}

TEST_F(TodayCardTest, TimeTextsFollowTheClockAtTheMinuteWhileShownAndNothingRunsWhileHidden)
{
    using namespace std::chrono_literals;
    clock.setNow(QDateTime(QDate(2026, 3, 14), QTime(14, 59, 30), Qt::UTC)); // 17:59:30 in Riyadh
    holdFreshWeather();
    const QDateTime start = clock.now().addSecs(45 * 60 + 30); // 18:45
    state->setCalendarEvents({{u"e"_s, u"Standup"_s, start, start.addSecs(900), {}, {}, {}}});
    makeCard();
    auto *tile = find<TodaySummaryTile>(u"todayNextEventTile"_s);
    EXPECT_EQ(find<ShrinkLabel>(u"todayGreeting"_s)->text(), u"Have a nice day"_s);

    clock.advance(35s); // 18:00:05
    EXPECT_EQ(find<ShrinkLabel>(u"todayGreeting"_s)->text(), u"Have a calm evening"_s);
    EXPECT_TRUE(tile->detail().endsWith(u"in 44m"_s)) << tile->detail().toStdString();

    // Within a minute nothing is worked out again; hidden, no timer runs.
    auto *ticker = card->findChild<MinuteTicker *>();
    ASSERT_NE(ticker, nullptr);
    EXPECT_TRUE(ticker->isRunning());
    card->hide();
    EXPECT_FALSE(ticker->isRunning());
    clock.advance(10min);
    EXPECT_TRUE(tile->detail().endsWith(u"in 44m"_s)) << "no work while hidden";
    card->show();
    EXPECT_TRUE(ticker->isRunning());
    EXPECT_TRUE(tile->detail().endsWith(u"in 34m"_s)) << "showing works every text out again";
}

} // namespace

TEST_F(TodayCardTest, ATileRepaintsInTheNewLookWhenTheAppearanceChanges)
{
    OrlixStyle style{defaults};
    const auto picture = [](QWidget &tile) { return tile.grab().toImage(); };
    TodaySummaryTile tile(u"calendar"_s, QColor(0, 122, 255), u"Next up"_s);
    tile.resize(280, 62);
    tile.setValue(u"Standup"_s);
    const QImage light = picture(tile);

    style.setSystemScheme(ColorScheme::dark);
    const QImage dark = picture(tile);
    TodaySummaryTile fresh(u"calendar"_s, QColor(0, 122, 255), u"Next up"_s);
    fresh.resize(280, 62);
    fresh.setValue(u"Standup"_s);
    EXPECT_EQ(dark, picture(fresh)) << "the same as a tile made in the dark look";
    EXPECT_NE(dark, light);
    // The panel's corner, off the texts: its own fill in each look.
    EXPECT_NE(dark.pixel(20, 52), light.pixel(20, 52));

    style.setSystemScheme(ColorScheme::light);
    EXPECT_EQ(picture(tile), light);
}

TEST_F(TodayCardTest, WithoutACalendarFolderTheNextEventTileSaysSoAndOffersTheSettingsPage)
{
    holdFreshWeather();
    makeCard();
    QSignalSpy asked(state.get(), &AppState::showDesktopAppsSettings);
    auto *tile = find<TodaySummaryTile>(u"todayNextEventTile"_s);
    auto *gear = find<QAbstractButton>(u"todayCalendarSettingsButton"_s);
    state->refreshCalendarEvents();
    ASSERT_TRUE(test::waitUntil([&] { return state->calendarFolderMissing(); }));
    EXPECT_EQ(tile->value(), u"No calendar folder"_s);
    EXPECT_EQ(tile->detail(), u"Choose one in Settings"_s);
    EXPECT_TRUE(gear->isVisible());
    EXPECT_FALSE(find(u"todayMeetingButton"_s)->isVisible());
    QTest::mouseClick(gear, Qt::LeftButton);
    EXPECT_EQ(asked.size(), 1);

    // Once a folder is there, an empty one reads as a quiet calendar.
    ASSERT_TRUE(QDir().mkpath(home.path(u".calendars/personal"_s)));
    state->refreshCalendarEvents();
    ASSERT_TRUE(test::waitUntil([&] { return !state->calendarFolderMissing(); }));
    EXPECT_EQ(tile->value(), u"No upcoming events"_s);
    EXPECT_EQ(tile->detail(), u"Calendar is quiet"_s);
    EXPECT_FALSE(gear->isVisible());

    // A chosen folder that has gone is named as one that cannot be read:
    // the sentence whole, the path cut in its middle keeping its last name.
    const QString gone = home.path(u"Sync/Shared with the whole family/Calendars"_s);
    state->defaults().set(SettingsKey::calendarFolderPath, gone);
    state->refreshCalendarEvents();
    ASSERT_TRUE(test::waitUntil([&] { return state->calendarFolderMissing(); }));
    EXPECT_EQ(tile->value(), u"Calendar folder can’t be read"_s);
    EXPECT_EQ(tile->detail(), u"“~/Sync/Shared with the whole family/Calendars”"_s);
    test::settle();
    for (auto *label :
         {tile->findChild<ElidedLabel *>(u"tileValue"_s), tile->findChild<ElidedLabel *>(u"tileDetail"_s)}) {
        const QString shown = label->visibleLines(label->width()).join(u' ');
        EXPECT_FALSE(shown.isEmpty() || shown.endsWith(u"…"_s)) << shown.toStdString();
    }
    EXPECT_TRUE(tile->findChild<ElidedLabel *>(u"tileDetail"_s)
                    ->visibleLines(tile->width())
                    .constLast()
                    .endsWith(u"/Calendars”"_s));
    EXPECT_TRUE(gear->isVisible());

    // The reminders tile says what the Reminders card says of its folder.
    EXPECT_EQ(text(u"todayRemindersEmpty"_s), u"No reminders due today."_s);
    state->setRemindersConnection(RemindersConnectionState::denied());
    EXPECT_EQ(text(u"todayRemindersEmpty"_s), u"No to-do folder."_s);
    state->defaults().set(SettingsKey::remindersFolderPath, home.path(u"Tasks"_s));
    state->setRemindersConnection(RemindersConnectionState::denied());
    EXPECT_EQ(text(u"todayRemindersEmpty"_s), u"To-do folder can’t be read."_s);
    EXPECT_TRUE(find(u"todayRemindersCount"_s)->isHidden()) << "no \"Clear\" while nothing is read";
    state->setRemindersConnection(RemindersConnectionState::ready());
    EXPECT_EQ(text(u"todayRemindersEmpty"_s), u"No reminders due today."_s);
    EXPECT_FALSE(find(u"todayRemindersCount"_s)->isHidden());
    EXPECT_EQ(text(u"todayRemindersCount"_s), u"Clear"_s);
}

} // namespace kolu
