#include "AppStateFixture.h"

#include "services/info/ServiceRequest.h"

namespace {

class RefreshTest : public test::EngineTest {
protected:
    RefreshTest() { state = makeState(); }
};

} // namespace

// A status line changes as one field: whoever hears the change reads the new
// sentence with its own tint, never beside the previous one's.
TEST_F(RefreshTest, AStatusLineIsPublishedOnceWithItsTint)
{
    answerWeather();
    std::vector<test::Status> heard;
    QObject::connect(state.get(), &AppState::changed, [&](AppStateField field) {
        if (field == AppStateField::todayWeatherStatus)
            heard.push_back(test::weatherStatus(*state));
    });
    state->refreshTodayWeather(false);
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingTodayWeather(); }));
    EXPECT_EQ(heard, (std::vector<test::Status>{{u"Refreshing..."_s, StatusTint::secondary},
                                                {u"Berlin"_s, StatusTint::green}}));
}

TEST_F(RefreshTest, WeatherShowsProgressThenTheReportedCityAndStaysFreshFor1800Seconds)
{
    answerWeather();
    state->refreshTodayWeather(false);
    EXPECT_TRUE(state->isLoadingTodayWeather());
    EXPECT_EQ(test::weatherStatus(*state), test::Status(u"Refreshing..."_s, StatusTint::secondary));
    state->refreshTodayWeather(false); // declined while one is loading
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingTodayWeather(); }));
    ASSERT_TRUE(state->todayWeather());
    EXPECT_EQ(test::weatherStatus(*state), test::Status(u"Berlin"_s, StatusTint::green));
    EXPECT_EQ(requestsTo(u"/v1/search"_s), 1);

    advance(1799s);
    state->refreshTodayWeather(false);
    EXPECT_FALSE(state->isLoadingTodayWeather());
    advance(1s);
    state->refreshTodayWeather(false);
    EXPECT_TRUE(state->isLoadingTodayWeather());
    state->refreshTodayWeather(true); // forced: a second fetch beside the first
    ASSERT_TRUE(waitUntil([&] { return requestsTo(u"/v1/forecast"_s) == 3; }));
}

TEST_F(RefreshTest, ACityChangeDuringAPrayerFetchOutranksItsLateAnswer)
{
    answerPrayers();
    services.server.setHoldResponses(true);
    state->setPrayerNotificationEnabled(false, PrayerTime{PrayerName::fajr, clock.now(), true});
    EXPECT_EQ(state->files().read<PrayerNotificationStatesFile>(), (PrayerNotificationStates{{u"fajr"_s, false}}));
    state->refreshPrayerTimesIfNeeded();
    EXPECT_EQ(state->prayerStatus().message, u"Refreshing..."_s);
    ASSERT_TRUE(waitUntil([&] { return requestsTo(u"/v1/timingsByCity/"_s) == 1; }));
    state->updatePrayerLocation(u"   "_s, u"Germany"_s); // a place needs a city
    EXPECT_FALSE(QFile::exists(state->files().pathOf<PrayerSettingsFile>()));
    state->updatePrayerLocation(u" Berlin\n"_s, u"Germany "_s);
    EXPECT_EQ(state->files().read<PrayerSettingsFile>(), (PrayerSettings{u"Berlin"_s, u"Germany"_s, 4}));
    ASSERT_TRUE(waitUntil([&] { return requestsTo(u"/v1/timingsByCity/"_s) == 2; }));

    const auto forCity = [](const QString &city) {
        return [city](const test::RecordedRequest &request) { return request.queryValue(u"city"_s) == city; };
    };
    ASSERT_EQ(services.server.answerHeld(forCity(u"Berlin"_s)), 1);
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingPrayers(); }));
    ASSERT_TRUE(state->prayerDay());
    EXPECT_EQ(state->prayerDay()->city, u"Berlin"_s);
    EXPECT_FALSE(state->prayerDay()->times.front().notificationsEnabled);
    const QStringList pending = services.scheduler->pendingIdentifiers();
    EXPECT_FALSE(pending.contains(notificationid::prayerTime(PrayerName::fajr))) << "past, and switched off";
    EXPECT_TRUE(pending.contains(notificationid::prayerTime(PrayerName::isha)));
    EXPECT_EQ(state->upcomingPrayer()->name, PrayerName::dhuhr);

    // The first city's answer lands last; its time-out timer going tells that it was read.
    const int waiting = clock.activeTimerCount();
    ASSERT_EQ(services.server.answerHeld(forCity(u"Makkah"_s)), 1);
    ASSERT_TRUE(waitUntil([&] { return clock.activeTimerCount() == waiting - 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(test::prayerStatus(*state), test::Status(u"Updated"_s, StatusTint::green));
    EXPECT_EQ(state->prayerDay()->city, u"Berlin"_s);
    EXPECT_EQ(state->files().read<PrayerDayFile>(), state->prayerDay());
    state->refreshPrayerTimesIfNeeded(); // today's day is held: nothing to fetch
    EXPECT_FALSE(state->isLoadingPrayers());
    advance(11h);
    EXPECT_FALSE(state->upcomingPrayer()) << "after the day's last prayer";
}

TEST_F(RefreshTest, HidingAndShowingAModuleWhileItLoadsStartsNoSecondLoadAndALateAnswerOrAFetchedListIsDropped)
{
    answerWeather();
    answerPrayers();
    services.server.setHoldResponses(true);
    const struct {
        RailModule module;
        QString path;
        std::function<bool()> loading;
    } kinds[] = {
        {RailModule::today, u"/v1/search"_s, [&] { return state->isLoadingTodayWeather(); }},
        {RailModule::prayers, u"/v1/timingsByCity/"_s, [&] { return state->isLoadingPrayers(); }},
        {RailModule::wallpapers, u"/archive.zip"_s, [&] { return state->isLoadingWallpaper(); }},
    };
    for (const auto &kind : kinds) {
        state->openModule(kind.module);
        ASSERT_TRUE(waitUntil([&] { return requestsTo(kind.path) == 1; })) << kind.path.toStdString();
        state->setRailModule(kind.module, false);
        EXPECT_TRUE(kind.loading()) << "its request still runs: " << kind.path.toStdString();
        state->setRailModule(kind.module, true);
        QCoreApplication::processEvents();
        EXPECT_EQ(requestsTo(kind.path), 1) << kind.path.toStdString();
    }
    // Answers that come after their module was hidden again are dropped.
    for (const auto &kind : kinds)
        state->setRailModule(kind.module, false);
    services.server.setHoldResponses(false);
    services.server.answerHeld([](const test::RecordedRequest &) { return true; });
    for (const auto &kind : kinds)
        EXPECT_TRUE(waitUntil([&] { return !kind.loading(); }))
            << "cleared when its request ends: " << kind.path.toStdString();
    QCoreApplication::processEvents();
    EXPECT_FALSE(state->todayWeather() || state->prayerDay());
    EXPECT_TRUE(state->todayWeatherStatus().message.isEmpty() && state->prayerStatus().message.isEmpty());
    EXPECT_FALSE(QFile::exists(state->files().pathOf<PrayerDayFile>()));

    // Reminders hidden during their fetch stay undetermined.
    calendar->todos = {{.id = u"t1"_s, .title = u"Call home"_s}};
    state->refreshReminders();
    ASSERT_TRUE(waitUntil([&] { return state->reminders().size() == 1; }));
    EXPECT_EQ(state->remindersConnection(), RemindersConnectionState::ready());
    calendar->duringRead = [&] { state->setRailModule(RailModule::reminders, false); };
    state->refreshReminders();
    QCoreApplication::processEvents();
    EXPECT_TRUE(state->remindersConnection() == RemindersConnectionState::notDetermined()
                && state->reminders().empty());
}

TEST_F(RefreshTest, AnUnreachableServiceReadsAsOnePlainSentenceTheLastGoodDataStaysAndDestroyingTheStateEndsTheWait)
{
    PrayerDay held{u"2026-03-14"_s, u"Makkah"_s, u"Saudi Arabia"_s, 4, clock.now(), {}};
    state->setPrayerDay(held);
    TodayWeather weather{u"Makkah"_s, 30, 0, clock.now().addSecs(-3600)};
    state->setTodayWeather(weather);
    services.server.setHoldResponses(true); // no answer: the request times out
    state->refreshPrayerTimes(true);
    state->refreshTodayWeather(true);
    ASSERT_TRUE(waitUntil([&] { return services.server.requests().size() == 2; }));
    advance(kRequestTimeout);
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingPrayers() && !state->isLoadingTodayWeather(); }));
    EXPECT_EQ(test::prayerStatus(*state),
              test::Status(u"Kolu is offline. Check the network, then refresh."_s, StatusTint::orange));
    EXPECT_EQ(test::weatherStatus(*state),
              test::Status(u"Kolu is offline. Check the network, then refresh."_s, StatusTint::orange));
    EXPECT_EQ(state->prayerDay(), held);
    EXPECT_EQ(state->todayWeather(), weather);

    // Destroyed mid-fetch, the state ends every waiting request: each time-out timer lives as long as its wait.
    state->refreshPrayerTimes(true);
    state->refreshTodayWeather(true);
    ASSERT_TRUE(waitUntil([&] { return services.server.requests().size() == 4; }));
    ASSERT_GE(clock.activeTimerCount(), 2);
    state.reset();
    EXPECT_TRUE(waitUntil([&] { return clock.activeTimerCount() == 0; }));
}

// The reminders fetch asks for one more than the card lists, so that the
// count's "+" means that more wait, not that the list is merely full.
TEST_F(RefreshTest, OpenRemindersPastTheListAreToldOnlyWhenTheyExist)
{
    for (const int open : {AppState::maxOpenReminders, AppState::maxOpenReminders + 1}) {
        SCOPED_TRACE(open);
        calendar->todos.clear();
        for (int i = 0; i < open; ++i)
            calendar->todos.push_back({.id = u"t%1"_s.arg(i), .title = u"Task %1"_s.arg(i)});
        state->setReminders({});
        state->refreshReminders();
        ASSERT_TRUE(waitUntil([&] { return !state->reminders().empty(); }));
        EXPECT_EQ(state->reminders().size(), std::size_t(AppState::maxOpenReminders));
        EXPECT_EQ(state->hasMoreOpenReminders(), open > AppState::maxOpenReminders);
    }
}
