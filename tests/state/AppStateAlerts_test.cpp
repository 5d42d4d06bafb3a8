#include "EngineFixture.h"

#include "EventWait.h"

#include "services/notifications/NotificationIdentifiers.h"
#include "state/AlertRules.h"

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

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
        // Passes run at the first tick and then every 16 s; stop on one, after
        // the start-up refresh has published its (empty) calendar.
        advance(17s);
        ASSERT_TRUE(waitUntil([&] { return calendarLoads > 0; }));
        QObject::disconnect(state.get(), &AppState::changed, nullptr, nullptr);
    }

    // Puts the events into the calendar and waits for the refresh to publish them.
    void setEvents(std::vector<StoredEvent> events)
    {
        const std::size_t count = events.size();
        calendar->storedEvents = std::move(events);
        state->refreshCalendarEvents();
        ASSERT_TRUE(waitUntil([&] { return state->calendarEvents().size() == count; }));
    }

    PrayerDay day(std::vector<PrayerTime> times) const
    {
        return PrayerDay{u"2026-03-14"_s, u"Makkah"_s, u"Saudi Arabia"_s, 4, clock.now(), std::move(times)};
    }

    // Moves to the next alert pass.
    void nextPass() { advance(16s); }
};

} // namespace

TEST_F(AlertTest, CalendarEventIsAlertedOnceInsideItsLeadAndAgainAfterALeadChange)
{
    // The next pass comes after strictly more than 15 s, at +16 s: the event then starts in exactly 600 s.
    setEvents({storedEvent(u"past"_s, -5), storedEvent(u"a"_s, 616)});
    advance(15s);
    EXPECT_FALSE(state->activeCalendarAlert());
    advance(1s);
    ASSERT_TRUE(state->activeCalendarAlert());
    EXPECT_EQ(state->activeCalendarAlert()->id, u"a"_s);
    // The banner scheduled for this moment came first; the alert adds none.
    const auto &banners = services.notifications->banners;
    ASSERT_EQ(banners.size(), 1u);
    EXPECT_EQ(banners.back().content.body, u"Standup a starts in 10 minutes."_s);
    // The sound is made off the main thread the first time.
    EXPECT_TRUE(test::waitUntil([&] { return services.sounds->played.size() == 1u; }));

    state->setActiveCalendarAlert(std::nullopt);
    nextPass();
    EXPECT_FALSE(state->activeCalendarAlert()) << "raised once only";

    // Five minutes before the start, with the lead of this event's series now five minutes.
    CalendarEvent series;
    series.id = u"a"_s;
    state->setCalendarAlertLeadMinutes(5, series);
    advance(300s); // passes every 16 s: the one 296 s before the start raises it
    ASSERT_TRUE(state->activeCalendarAlert());
    EXPECT_EQ(services.notifications->banners.back().content.body, u"Standup a starts in 5 minutes."_s);
}

TEST_F(AlertTest, AFullFiredSetKeepsTheKeysOfAlertsStillInTheirWindow)
{
    CalendarAlertLeads leads;
    std::vector<StoredEvent> events;
    for (int i = 0; i < 90; ++i) {
        const QString id = u"e%1"_s.arg(i, 2, 10, QChar(u'0'));
        events.push_back(storedEvent(id, 3000 + i));
        leads.insert(id, 60);
    }
    state->setCalendarAlertLeadMinutesByEventID(leads);
    setEvents(events);
    QStringList raised;
    for (int pass = 0; pass < 90; ++pass) {
        nextPass();
        ASSERT_TRUE(state->activeCalendarAlert()) << pass;
        raised << state->activeCalendarAlert()->id;
        state->setActiveCalendarAlert(std::nullopt);
    }
    raised.removeDuplicates();
    EXPECT_EQ(raised.size(), 90) << "an alert already raised came back";
}

// The engine cases reach one side of each bound; these reach the other.
TEST(AlertRules, KeysAndWindows)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QSet<QString> keys;
    for (int i = 0; i < 81; ++i)
        keys.insert(alertrules::calendarKey(u"x-%1"_s.arg(i), 10, now.addSecs(i % 2 ? 300 : -3600)));
    keys.insert(alertrules::prayerKey(PrayerName::asr, now.addSecs(-59)));
    alertrules::pruneFiredKeys(keys, 80, now);
    EXPECT_EQ(keys.size(), 41) << "only keys whose moment has passed are dropped";
    QSet<QString> small{alertrules::prayerKey(PrayerName::asr, now.addSecs(-3600))};
    alertrules::pruneFiredKeys(small, 80, now);
    EXPECT_EQ(small.size(), 1) << "below the bound nothing is dropped";

    for (const auto &[key, matches] : std::vector<std::pair<QString, bool>>{{u"r-1-100"_s, true},
                                                                            {u"r-1--100"_s, true},
                                                                            {u"r-1-2-500"_s, false},
                                                                            {u"r-1-"_s, false},
                                                                            {u"r-1-1x"_s, false},
                                                                            {u"x-1"_s, false},
                                                                            {u"r-10-5"_s, false}})
        EXPECT_EQ(alertrules::isReminderKey(key, u"r-1"_s), matches) << key.toStdString();

    EXPECT_FALSE(alertrules::insideMomentWindow(now.addSecs(2), now));
    EXPECT_TRUE(alertrules::insideMomentWindow(now.addSecs(-59), now));
    EXPECT_FALSE(alertrules::insideCalendarWindow(now, 10, now));
}

TEST_F(AlertTest, PrayerTimeIsRaisedAtItsSecondWithItsBannerUnlessSwitchedOff)
{
    state->setPrayerDay(day({{PrayerName::fajr, clock.now().addSecs(-60 + 16), true},
                             {PrayerName::dhuhr, clock.now().addSecs(17), true},
                             {PrayerName::asr, clock.now().addSecs(32), true}}));
    state->setPrayerNotificationStates({{u"asr"_s, false}});
    nextPass(); // Fajr is now 60 s past, Dhuhr 1 s ahead
    ASSERT_TRUE(state->activePrayerAlert());
    EXPECT_EQ(state->activePrayerAlert()->prayer.name, PrayerName::dhuhr);
    EXPECT_EQ(services.notifications->banners.back().content.title, u"Dhuhr"_s);
    EXPECT_EQ(services.notifications->banners.back().content.body, u"It is time for Dhuhr."_s);
    state->setActivePrayerAlert(std::nullopt);
    nextPass(); // Asr is due, but its switch is off
    EXPECT_FALSE(state->activePrayerAlert());
}

TEST_F(AlertTest, SnoozedPrayerComesBackAndGoesBeforeADuePrayer)
{
    state->setPrayerDay(day({{PrayerName::fajr, clock.now().addSecs(10), true}}));
    nextPass();
    ASSERT_TRUE(state->activePrayerAlert());
    const int layoutsBefore = layoutCalls;
    state->snoozePrayer(5);
    EXPECT_FALSE(state->activePrayerAlert());
    EXPECT_GT(layoutCalls, layoutsBefore);
    const QDateTime snoozeDate = clock.now().addSecs(300);
    EXPECT_TRUE(services.scheduler->pendingIdentifiers().contains(
        notificationid::prayerSnooze(PrayerName::fajr, snoozeDate)));

    // A due Maghrib waits for the snoozed Fajr.
    state->mutate<AppState::Field::prayerDay>([&](std::optional<PrayerDay> &d) {
        d->times.push_back({PrayerName::maghrib, snoozeDate.addSecs(10), true});
    });
    advance(304s); // the first pass at or after the snooze date
    ASSERT_TRUE(state->activePrayerAlert());
    EXPECT_EQ(state->activePrayerAlert()->prayer.name, PrayerName::fajr);
    EXPECT_EQ(state->activePrayerAlert()->prayer.date, snoozeDate) << "the snooze date tells it apart";
    state->setActivePrayerAlert(std::nullopt);
    nextPass();
    ASSERT_TRUE(state->activePrayerAlert());
    EXPECT_EQ(state->activePrayerAlert()->prayer.name, PrayerName::maghrib);
    const auto &banners = services.notifications->banners;
    EXPECT_TRUE(std::any_of(banners.begin(), banners.end(),
                            [](const auto &b) { return b.content.title == u"Fajr reminder"_s; }))
        << "the scheduled snooze banner was shown";
}

TEST_F(AlertTest, DueReminderIsRaisedOnlyWithATimeOfDay)
{
    ReminderItem dated;
    dated.id = u"r1"_s;
    dated.title = u"Call home"_s;
    dated.dueDate = clock.now().addSecs(16);
    ReminderItem timed = dated;
    timed.id = u"r2"_s;
    timed.includesTime = true;
    state->setReminders({dated, timed});
    nextPass();
    ASSERT_TRUE(state->activeReminderAlert());
    EXPECT_EQ(state->activeReminderAlert()->reminder.id, u"r2"_s);
    EXPECT_EQ(services.notifications->banners.back().content.title, u"Reminder"_s);
    EXPECT_EQ(services.notifications->banners.back().content.body, u"Call home"_s);

    state->setActiveReminderAlert(std::nullopt);
    state->setReminderAlertsEnabled(false);
    timed.id = u"r3"_s;
    timed.dueDate = clock.now().addSecs(16);
    state->setReminders({timed});
    nextPass();
    EXPECT_FALSE(state->activeReminderAlert());
}

TEST_F(AlertTest, HiddenModulesRaiseNothing)
{
    state->setRailModule(RailModule::prayers, false);
    state->setRailModule(RailModule::calendar, false);
    calendar->storedEvents = {storedEvent(u"a"_s, 100)};
    state->refreshCalendarEvents();
    state->setPrayerDay(day({{PrayerName::isha, clock.now().addSecs(16), true}}));
    nextPass();
    EXPECT_FALSE(state->activeCalendarAlert());
    EXPECT_FALSE(state->activePrayerAlert());
}

TEST_F(AlertTest, APrayerWhoseScheduledBannerWasShownIsAlertedWithoutASecondBanner)
{
    state->setPrayerDay(day({{PrayerName::dhuhr, clock.now().addSecs(5), true}}));
    state->setPrayerNotificationStates({}); // its reaction schedules the banner
    const auto dhuhrBanners = [&] {
        const auto &banners = services.notifications->banners;
        return std::count_if(banners.begin(), banners.end(), [](const auto &b) { return b.content.title == u"Dhuhr"_s; });
    };
    advance(5s);
    ASSERT_TRUE(waitUntil([&] { return dhuhrBanners() == 1; }));
    nextPass();
    ASSERT_TRUE(state->activePrayerAlert());
    QCoreApplication::processEvents();
    EXPECT_EQ(dhuhrBanners(), 1);
}
