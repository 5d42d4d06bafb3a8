#include "AppStateFixture.h"

#include "state/AlertRules.h"

namespace {

class AlertTest : public test::EngineTest {
protected:
    void SetUp() override
    {
        state = makeState();
        int calendarLoads = 0;
        QObject::connect(state.get(), &AppState::changed, [&calendarLoads](AppState::Field field) {
            calendarLoads += field == AppState::Field::calendarEvents;
        });
        state->start();
        // Passes run at the first tick, then every 16 s: stop on one, the (empty) calendar published.
        advance(17s);
        ASSERT_TRUE(waitUntil([&] { return calendarLoads > 0; }));
        QObject::disconnect(state.get(), &AppState::changed, nullptr, nullptr);
    }

    // Puts events `secondsAhead` from now into the calendar and waits for the refresh to publish them.
    void setEvents(const std::vector<std::pair<QString, qint64>> &startsAhead)
    {
        calendar->storedEvents.clear();
        for (const auto &[id, ahead] : startsAhead)
            calendar->storedEvents.push_back({.seriesId = id,
                                              .title = QString(u"Standup "_s + id),
                                              .start = clock.now().addSecs(ahead),
                                              .end = clock.now().addSecs(ahead + 900)});
        state->refreshCalendarEvents();
        ASSERT_TRUE(state->isModuleHidden(RailModule::calendar)
                    || waitUntil([&] { return state->calendarEvents().size() == startsAhead.size(); }));
    }

    void setPrayers(std::vector<PrayerTime> times)
    {
        state->setPrayerDay(
            PrayerDay{u"2026-03-14"_s, u"Makkah"_s, u"Saudi Arabia"_s, 4, clock.now(), std::move(times)});
    }

    void nextPass() { advance(16s); }
};

} // namespace

TEST_F(AlertTest, CalendarEventIsAlertedOnceInsideItsLeadAndAgainAfterALeadChange)
{
    // The next pass comes after strictly more than 15 s, at +16 s: the event then starts in exactly 600 s.
    setEvents({{u"past"_s, -5}, {u"a"_s, 616}});
    advance(15s);
    EXPECT_FALSE(state->activeCalendarAlert());
    advance(1s);
    ASSERT_TRUE(state->activeCalendarAlert());
    EXPECT_EQ(state->activeCalendarAlert()->id, u"a"_s);
    // The banner scheduled for this moment came first; the alert adds none.
    EXPECT_EQ(services.notifications->banners.size(), 1u);
    EXPECT_EQ(lastBanner(), u"Upcoming meeting: Standup a starts in 10 minutes."_s);
    // The sound is made off the main thread the first time.
    EXPECT_TRUE(waitUntil([&] { return services.sounds->played.size() == 1u; }));

    state->setActiveCalendarAlert(std::nullopt);
    nextPass();
    EXPECT_FALSE(state->activeCalendarAlert()) << "raised once only";
    // Five minutes before the start, with the lead of this event's series now five minutes.
    state->setCalendarAlertLeadMinutes(5, CalendarEvent{.id = u"a"_s});
    advance(300s); // passes every 16 s: the one 296 s before the start raises it
    ASSERT_TRUE(state->activeCalendarAlert());
    EXPECT_EQ(lastBanner(), u"Upcoming meeting: Standup a starts in 5 minutes."_s);

    // An event fetched after its alert time had no banner scheduled: the
    // pass raises it in the rail and posts the banner itself.
    state->setActiveCalendarAlert(std::nullopt);
    setEvents({{u"late"_s, 240}});
    nextPass();
    ASSERT_TRUE(state->activeCalendarAlert());
    EXPECT_EQ(state->activeCalendarAlert()->id, u"late"_s);
    EXPECT_TRUE(waitUntil([&] { return lastBanner() == u"Upcoming event: Standup late starts in 10 minutes."_s; }))
        << lastBanner().toStdString();
}

TEST_F(AlertTest, AnEventStartingAtTheVeryMomentOfThePassIsNotAlertedOneSecondAheadIs)
{
    // The next pass comes 16 s on: one event then starts that very second,
    // the other a second later.
    setEvents({{u"now"_s, 16}});
    nextPass();
    EXPECT_FALSE(state->activeCalendarAlert()) << "zero seconds ahead is not ahead";
    setEvents({{u"soon"_s, 17}, {u"much-later"_s, 7200}}); // two, so the wait sees the new list
    nextPass();
    ASSERT_TRUE(state->activeCalendarAlert());
    EXPECT_EQ(state->activeCalendarAlert()->id, u"soon"_s);
}

TEST_F(AlertTest, AFullFiredSetKeepsTheKeysOfAlertsStillInTheirWindow)
{
    CalendarAlertLeads leads;
    std::vector<std::pair<QString, qint64>> events;
    for (int i = 0; i < 90; ++i) {
        const QString id = u"e%1"_s.arg(i, 2, 10, QChar(u'0'));
        events.emplace_back(id, 3000 + i);
        leads.insert(id, 60);
    }
    state->setCalendarAlertLeadMinutesByEventID(leads);
    setEvents(events);
    QSet<QString> raised;
    for (int pass = 0; pass < 90; ++pass) {
        nextPass();
        ASSERT_TRUE(state->activeCalendarAlert()) << pass;
        raised.insert(state->activeCalendarAlert()->id);
        state->setActiveCalendarAlert(std::nullopt);
    }
    EXPECT_EQ(raised.size(), 90) << "an alert already raised came back";
}

TEST(AlertRules, KeysAndWindows)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QSet<QString> keys{alertrules::prayerKey(PrayerName::asr, now.addSecs(-59))};
    for (int i = 0; i < 81; ++i)
        keys.insert(alertrules::calendarKey(u"x-%1"_s.arg(i), 10, now.addSecs(i % 2 ? 300 : -3600)));
    alertrules::pruneFiredKeys(keys, 80, now);
    EXPECT_EQ(keys.size(), 41) << "only keys whose moment has passed are dropped";
    for (const QString &key : {u"r-1-100"_s, u"r-1--100"_s})
        EXPECT_TRUE(alertrules::isReminderKey(key, u"r-1"_s)) << key.toStdString();
    for (const QString &key : {u"r-1-2-500"_s, u"r-1-"_s, u"r-1-1x"_s, u"x-1"_s, u"r-10-5"_s})
        EXPECT_FALSE(alertrules::isReminderKey(key, u"r-1"_s)) << key.toStdString();
}

TEST_F(AlertTest, PrayerTimeIsRaisedAtItsSecondWithItsBannerUnlessSwitchedOffOrHidden)
{
    setPrayers({{PrayerName::fajr, clock.now().addSecs(-60 + 16), true},
                {PrayerName::dhuhr, clock.now().addSecs(17), true},
                {PrayerName::asr, clock.now().addSecs(32), true}});
    state->setPrayerNotificationStates({{u"asr"_s, false}});
    nextPass(); // Fajr is now 60 s past, Dhuhr 1 s ahead
    ASSERT_TRUE(state->activePrayerAlert());
    EXPECT_EQ(state->activePrayerAlert()->prayer.name, PrayerName::dhuhr);
    EXPECT_EQ(lastBanner(), u"Dhuhr: It is time for Dhuhr."_s);
    state->setActivePrayerAlert(std::nullopt);
    nextPass(); // Asr is due, but its switch is off
    EXPECT_FALSE(state->activePrayerAlert());

    state->setRailModule(RailModule::prayers, false);
    state->setRailModule(RailModule::calendar, false);
    setEvents({{u"a"_s, 100}});
    setPrayers({{PrayerName::isha, clock.now().addSecs(16), true}});
    nextPass();
    EXPECT_FALSE(state->activeCalendarAlert() || state->activePrayerAlert());
}

TEST_F(AlertTest, SnoozedPrayerComesBackAndGoesBeforeADuePrayer)
{
    setPrayers({{PrayerName::fajr, clock.now().addSecs(10), true}});
    nextPass();
    ASSERT_TRUE(state->activePrayerAlert());
    layoutCalls = 0;
    state->snoozePrayer(5);
    EXPECT_FALSE(state->activePrayerAlert());
    EXPECT_GT(layoutCalls, 0);
    const QDateTime snoozeDate = clock.now().addSecs(300);
    EXPECT_TRUE(
        services.scheduler->pendingIdentifiers().contains(notificationid::prayerSnooze(PrayerName::fajr, snoozeDate)));

    // A due Maghrib waits for the snoozed Fajr.
    state->mutate<AppState::Field::prayerDay>([&](std::optional<PrayerDay> &d) {
        d->times.push_back({PrayerName::maghrib, snoozeDate.addSecs(10), true});
    });
    advance(304s); // the first pass at or after the snooze date
    ASSERT_TRUE(state->activePrayerAlert());
    EXPECT_EQ(state->activePrayerAlert()->prayer.name, PrayerName::fajr);
    EXPECT_EQ(state->activePrayerAlert()->prayer.date, snoozeDate) << "the snooze date tells it apart";
    EXPECT_TRUE(lastBanner().startsWith(u"Fajr reminder"_s)) << "the scheduled snooze banner was shown";
    state->setActivePrayerAlert(std::nullopt);
    nextPass();
    ASSERT_TRUE(state->activePrayerAlert());
    EXPECT_EQ(state->activePrayerAlert()->prayer.name, PrayerName::maghrib);
}

TEST_F(AlertTest, DueReminderIsRaisedOnlyWithATimeOfDayAndWhileAlertsAreOnAndNoBannerTwice)
{
    const QDateTime dueAt = clock.now().addSecs(16);
    const std::vector<ReminderItem> due{
        {.id = u"r0"_s, .title = u"Call home"_s, .dueDate = dueAt},
        {.id = u"done"_s, .title = u"Done"_s, .dueDate = dueAt, .includesTime = true, .isCompleted = true},
        {.id = u"r1"_s, .title = u"Call home"_s, .dueDate = dueAt, .includesTime = true}};
    state->setReminders(due);
    nextPass();
    ASSERT_TRUE(state->activeReminderAlert());
    EXPECT_EQ(state->activeReminderAlert()->reminder.id, u"r1"_s);
    EXPECT_EQ(lastBanner(), u"Reminder: Call home"_s);
    state->setActiveReminderAlert(std::nullopt);
    state->setReminderAlertsEnabled(false);
    state->setReminders({{.id = u"r2"_s, .dueDate = clock.now().addSecs(16), .includesTime = true}});
    nextPass();
    EXPECT_FALSE(state->activeReminderAlert());

    // A prayer whose scheduled banner was shown is alerted without a second banner.
    setPrayers({{PrayerName::dhuhr, clock.now().addSecs(5), true}});
    state->setPrayerNotificationStates({}); // its reaction schedules the banner
    const auto &banners = services.notifications->banners;
    const std::size_t shown = banners.size();
    advance(5s);
    ASSERT_TRUE(waitUntil([&] { return banners.size() == shown + 1; }));
    nextPass();
    ASSERT_TRUE(state->activePrayerAlert());
    QCoreApplication::processEvents();
    EXPECT_EQ(banners.size(), shown + 1);
}

// The scheduler's own timer runs on the monotonic clock, which a suspend
// holds still: the tick shows what the wall clock moved past.
TEST_F(AlertTest, ABannerASuspendMovedPastShowsAtTheNextTick)
{
    services.scheduler->add({u"meeting-x"_s, {u"Later"_s, u"An hour on."_s, false}, clock.now().addSecs(3600), {}});
    const std::size_t before = services.notifications->banners.size();
    clock.jumpWallClock(3700s);
    advance(1s);
    ASSERT_TRUE(waitUntil([&] { return services.notifications->banners.size() == before + 1; }));
    EXPECT_EQ(lastBanner(), u"Later: An hour on."_s);
    EXPECT_TRUE(services.scheduler->pendingIdentifiers().isEmpty());
}

// Each refresh brings the calendar's changes to the alerts scheduled ahead:
// an event deleted loses its request, one renamed is announced by its new
// title, and hiding then showing the calendar schedules them again.
TEST_F(AlertTest, ScheduledMeetingAlertsFollowTheCalendarFromRefreshToRefresh)
{
    const QDateTime now = clock.now();
    const auto meetings = [&] {
        QStringList pending = services.scheduler->pendingIdentifiers().filter(u"meeting-"_s);
        pending.sort();
        return pending;
    };
    const auto stored = [&](const QString &id, const QString &title, qint64 ahead) {
        return StoredEvent{
            .seriesId = id, .title = title, .start = now.addSecs(ahead), .end = now.addSecs(ahead + 900)};
    };
    const auto refreshUntil = [&](const std::function<bool()> &published) {
        state->refreshCalendarEvents();
        return waitUntil(published);
    };
    // Sorted, "plan" before "retro".
    const QString planning = notificationid::meeting(u"plan"_s, now.addSecs(3600), 10);
    const QString retro = notificationid::meeting(u"retro"_s, now.addSecs(700), 10);

    calendar->storedEvents = {stored(u"plan"_s, u"Planning"_s, 3600), stored(u"retro"_s, u"Retro"_s, 700)};
    ASSERT_TRUE(refreshUntil([&] { return state->calendarEvents().size() == 2; }));
    EXPECT_EQ(meetings(), (QStringList{planning, retro}));

    calendar->storedEvents[1].title = u"Retro, in the big room"_s;
    ASSERT_TRUE(refreshUntil([&] { return state->calendarEvents()[0].title == u"Retro, in the big room"_s; }));
    EXPECT_EQ(meetings(), (QStringList{planning, retro}));

    calendar->storedEvents.erase(calendar->storedEvents.begin());
    ASSERT_TRUE(refreshUntil([&] { return state->calendarEvents().size() == 1; }));
    EXPECT_EQ(meetings(), QStringList{retro});

    state->setRailModule(RailModule::calendar, false);
    EXPECT_TRUE(meetings().isEmpty());
    state->setRailModule(RailModule::calendar, true);
    ASSERT_TRUE(refreshUntil([&] { return state->calendarEvents().size() == 1; }));
    EXPECT_EQ(meetings(), QStringList{retro});

    advance(100s);
    EXPECT_TRUE(waitUntil([&] {
        return lastBanner() == u"Upcoming meeting: Retro, in the big room starts in 10 minutes."_s;
    })) << lastBanner().toStdString();
}

// Refreshes that find the calendar unchanged leave its alerts as they are;
// one that finds a meeting renamed alerts it under its new title.
TEST_F(AlertTest, AMeetingRenamedAfterUnchangedRefreshesIsAlertedUnderItsNewTitle)
{
    const QDateTime now = clock.now();
    calendar->storedEvents = {
        StoredEvent{.seriesId = u"retro"_s, .title = u"Retro"_s, .start = now.addSecs(700), .end = now.addSecs(1600)}};
    const auto refreshUntil = [&](const QString &title) {
        state->refreshCalendarEvents();
        return waitUntil(
            [&] { return state->calendarEvents().size() == 1 && state->calendarEvents()[0].title == title; });
    };
    ASSERT_TRUE(refreshUntil(u"Retro"_s));
    ASSERT_TRUE(refreshUntil(u"Retro"_s));
    const QStringList pending = services.scheduler->pendingIdentifiers();
    ASSERT_TRUE(refreshUntil(u"Retro"_s));
    EXPECT_EQ(services.scheduler->pendingIdentifiers(), pending);

    calendar->storedEvents[0].title = u"Retro, in the big room"_s;
    ASSERT_TRUE(refreshUntil(u"Retro, in the big room"_s));
    advance(100s);
    EXPECT_TRUE(waitUntil([&] {
        return lastBanner() == u"Upcoming meeting: Retro, in the big room starts in 10 minutes."_s;
    })) << lastBanner().toStdString();
}
