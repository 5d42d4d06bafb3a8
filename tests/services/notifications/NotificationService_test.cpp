#include "services/notifications/NotificationService.h"

#include "platform/notifications/DesktopNotifications.h"

#include "../ServiceTests.h"
#include "FakeNotificationServer.h"
#include "PrivateBus.h"
#include "RecordingSoundPlayer.h"

using namespace kolu;

namespace {

struct NotificationServiceTest : ::testing::Test {
    QDateTime in(qint64 seconds) const { return clock.now().addSecs(seconds); }
    QString epoch(qint64 secondsAhead) const { return QString::number(in(secondsAhead).toSecsSinceEpoch()); }
    QStringList pending() const { return scheduler.pendingIdentifiers(); }
    static CalendarEvent event(const QString &id, const QString &title, const QDateTime &start)
    {
        return {id, title, start, start.addSecs(1800), std::nullopt, std::nullopt, {}};
    }
    static ReminderItem reminderNamed(const QString &id) { return {id, u"Call"_s, {}, {}, false, 0, false, {}}; }
    static bool soundOn(const test::ReceivedNotification &received)
    {
        return received.hints.contains(u"sound-name"_s) && !received.hints.contains(u"suppress-sound"_s);
    }

    test::TemporaryHome home;
    test::PrivateBus bus;
    test::FakeNotificationServer server{bus.connect(u"server"_s)};
    DesktopNotifications desktop{bus.connect(u"client"_s)};
    test::ManualClock clock;
    NotificationScheduler scheduler{desktop, clock};
    UserDefaults defaults{QDir(home.configHome()).filePath(u"Kolu/defaults.json"_s)};
    test::RecordingSoundPlayer player;
    AlertSounds sounds{defaults, player, home.runtimeDir()};
    NotificationService service{scheduler, sounds, defaults, clock};
};

TEST_F(NotificationServiceTest, PrayerTimesReplaceTheirRequestsSnoozesUseTheCallersTextsAndOnlyCalendarAlertsItsSound)
{
    service.schedulePrayerAlert({PrayerName::fajr, in(300), true}, u"Fajr reminder"_s,
                                u"Prayer reminder in 5 minutes."_s);
    service.schedulePrayerAlerts({{PrayerName::fajr, in(60), true}, {PrayerName::asr, in(7200), true}});
    EXPECT_EQ(pending(), (QStringList{u"prayer-snooze-fajr-"_s + epoch(300), u"prayer-fajr"_s, u"prayer-asr"_s}));

    // Asr moved to a second from now: its old request goes, no new one comes.
    service.schedulePrayerAlerts({{PrayerName::fajr, in(60), true}, {PrayerName::asr, in(1), true}});
    EXPECT_EQ(pending(), (QStringList{u"prayer-snooze-fajr-"_s + epoch(300), u"prayer-fajr"_s}));

    service.schedulePrayerAlerts({{PrayerName::isha, in(2), true}});
    EXPECT_EQ(pending(), (QStringList{u"prayer-snooze-fajr-"_s + epoch(300), u"prayer-isha"_s}));

    service.schedulePrayerAlerts({});
    EXPECT_EQ(pending(), QStringList{u"prayer-snooze-fajr-"_s + epoch(300)}) << "snoozes are not prayer times";

    // Cancelling, then snoozing again, keeps only the new snooze.
    service.cancelPendingNotifications({notificationid::prayerSnoozePrefixFor(PrayerName::fajr)});
    service.schedulePrayerAlert({PrayerName::fajr, in(600), true}, u"Fajr reminder"_s, u"in 10"_s);
    EXPECT_EQ(pending(), QStringList{u"prayer-snooze-fajr-"_s + epoch(600)});
    service.schedulePrayerAlerts({{PrayerName::fajr, in(900), true}});
    service.cancelPendingNotifications({u"prayer-"_s});
    EXPECT_TRUE(pending().isEmpty()) << "the prayer prefix takes the snoozes with it";
    service.cancelPendingNotifications({});

    // The calendar sound choice holds for meetings and reminders; prayer times
    // and focus banners always sound.
    defaults.set(u"calendarAlertSound"_s, u"off"_s);
    const ReminderItem reminder = reminderNamed(u"r1"_s);
    service.scheduleReminderAlert(reminder, in(120), u"Reminder"_s, u"first"_s);
    service.scheduleReminderAlert(reminder, in(120), u"Reminder"_s, u"Pay rent"_s);
    service.schedulePrayerAlert({PrayerName::asr, in(120), true}, u"Asr reminder"_s,
                                u"Prayer reminder in 2 minutes."_s);
    service.scheduleMeetingAlerts({event(u"m"_s, u"Sync"_s, in(720))}, {}, 10);
    service.schedulePrayerAlerts({{PrayerName::maghrib, in(120), true}});
    EXPECT_EQ(pending(), (QStringList{u"reminder-snooze-r1-"_s + epoch(120), u"prayer-snooze-asr-"_s + epoch(120),
                                      u"meeting-m-"_s + epoch(720) + u"-10"_s, u"prayer-maghrib"_s}));
    clock.advance(120s);
    service.send(u"Focus finished"_s, u"Time for a break."_s);
    ASSERT_TRUE(server.waitForCount(5));
    std::map<QString, std::pair<QString, bool>> shown; // summary: body, sound
    for (const test::ReceivedNotification &received : server.received())
        shown[received.summary] = {received.body, soundOn(received)};
    const std::map<QString, std::pair<QString, bool>> expected{
        {u"Reminder"_s, {u"Pay rent"_s, false}}, // the second snooze to the same second replaced the first
        {u"Asr reminder"_s, {u"Prayer reminder in 2 minutes."_s, true}},
        {u"Upcoming meeting"_s, {u"Sync starts in 10 minutes."_s, false}},
        {u"Maghrib"_s, {u"It is time for Maghrib."_s, true}},
        {u"Focus finished"_s, {u"Time for a break."_s, true}}};
    EXPECT_EQ(shown, expected);
}

// Each moment a banner is scheduled for and the alert engine also announces: whichever comes first is the
// only banner, also when the server closed it (after ten seconds here) before the other comes.
TEST_F(NotificationServiceTest, AMomentAnnouncedTwiceShowsOneBanner)
{
    server.closeBannersAfter(clock, 10s);
    const ReminderItem call = reminderNamed(u"r1"_s);
    const struct {
        std::function<void(const QDateTime &)> schedule;
        std::function<QString(const QDateTime &)> key;
    } moments[] = {
        {[&](const QDateTime &at) {
             service.schedulePrayerAlerts({{PrayerName::isha, at, true}});
         },
         [](const QDateTime &at) { return notificationid::prayerBanner(PrayerName::isha, at); }},
        {[&](const QDateTime &at) {
             service.schedulePrayerAlert({PrayerName::asr, at, true}, u"Asr"_s, u""_s);
         },
         [](const QDateTime &at) { return notificationid::prayerBanner(PrayerName::asr, at); }},
        {[&](const QDateTime &at) {
             service.scheduleMeetingAlerts({event(u"m"_s, u"Plan"_s, at.addSecs(300))}, {}, 5);
         },
         [](const QDateTime &at) { return notificationid::meetingBanner(u"m"_s, at.addSecs(300), 5); }},
        {[&](const QDateTime &at) { service.scheduleReminderAlert(call, at, u"Call"_s, u""_s); },
         [](const QDateTime &at) { return notificationid::reminderBanner(u"r1"_s, at); }},
    };
    std::size_t shown = 0;
    for (const auto &moment : moments) {
        for (const bool scheduledFirst : {true, false}) {
            const QDateTime at = in(60);
            const QString key = moment.key(at);
            moment.schedule(at);
            if (scheduledFirst) {
                clock.advance(60s);
                ASSERT_TRUE(server.waitForCount(++shown)) << key.toStdString();
                clock.advance(15s); // the next alert pass, after the server closed the banner
                service.send(u"Live"_s, u""_s, key);
            } else {
                // The alert pass a second before the moment, then the scheduled request falls due.
                clock.advance(59s);
                service.send(u"Live"_s, u""_s, key);
                ASSERT_TRUE(server.waitForCount(++shown)) << key.toStdString();
                clock.advance(16s);
            }
            EXPECT_FALSE(server.waitForCount(shown + 1, 200ms)) << key.toStdString();
        }
    }
    EXPECT_EQ(server.bannersShown(), shown);
}

TEST_F(NotificationServiceTest, MeetingsUseTheirLeadAndStartAChangeLeavesOneRequestAndIdsCannotReachOthers)
{
    service.scheduleMeetingAlerts(
        {event(u"standup"_s, u"Standup"_s, in(3600)), event(u"review"_s, u"Review"_s, in(7200))}, {{u"standup"_s, 1}},
        10);
    EXPECT_EQ(pending(), (QStringList{u"meeting-standup-"_s + epoch(3600) + u"-1"_s,
                                      u"meeting-review-"_s + epoch(7200) + u"-10"_s}));
    clock.advance(3540s);
    ASSERT_TRUE(server.waitForCount(1));
    EXPECT_TRUE(server.received()[0].body == u"Standup starts in 1 minute."_s && soundOn(server.received()[0]));

    service.cancelPendingNotifications({u"meeting-"_s});
    const QDateTime start = in(3600);
    service.scheduleMeetingAlerts({event(u"e"_s, u"Plan"_s, start)}, {}, 10);
    service.scheduleMeetingAlerts({event(u"e"_s, u"Plan"_s, start)}, {{u"e"_s, 5}}, 10);
    EXPECT_EQ(pending(), QStringList{u"meeting-e-"_s + epoch(3600) + u"-5"_s});
    service.scheduleMeetingAlerts({event(u"e"_s, u"Plan"_s, in(5400))}, {{u"e"_s, 5}}, 10);
    EXPECT_EQ(pending(), QStringList{u"meeting-e-"_s + epoch(5400) + u"-5"_s});
    // An event left out of the call keeps its request; hiding the module
    // removes them all by prefix.
    service.scheduleMeetingAlerts({event(u"other"_s, u"Other"_s, in(4000))}, {}, 10);
    EXPECT_EQ(pending().size(), 2);
    service.cancelPendingNotifications({u"meeting-"_s});
    EXPECT_TRUE(pending().isEmpty());
    // An absurd lead schedules nothing.
    service.scheduleMeetingAlerts({event(u"e"_s, u"E"_s, in(3600))}, {{u"e"_s, std::numeric_limits<qint64>::max()}},
                                  10);
    EXPECT_TRUE(pending().isEmpty());

    // Two occurrences of "a" (one id for a whole series) each keep their request.
    service.scheduleMeetingAlerts({event(u"a"_s, u"A"_s, in(3600)), event(u"a"_s, u"A"_s, in(7200)),
                                   event(u"a-1"_s, u"A1"_s, in(3600)), event(u"a%"_s, u"A%"_s, in(3600))},
                                  {}, 10);
    ASSERT_EQ(pending().size(), 4);
    EXPECT_EQ(pending().mid(2),
              (QStringList{u"meeting-a%2D1-"_s + epoch(3600) + u"-10"_s, u"meeting-a%25-"_s + epoch(3600) + u"-10"_s}));
    // Rescheduling "a" alone leaves the other two alone.
    service.scheduleMeetingAlerts({event(u"a"_s, u"A"_s, in(4000))}, {}, 10);
    EXPECT_EQ(pending().size(), 3);
    service.cancelPendingNotifications({notificationid::meetingPrefixFor(u"a"_s)});
    EXPECT_EQ(pending().size(), 2);

    const ReminderItem dashed = reminderNamed(u"x-y"_s);
    const ReminderItem plain = reminderNamed(u"x"_s);
    service.scheduleReminderAlert(dashed, in(600), u"Reminder"_s, u"Call"_s);
    service.scheduleReminderAlert(plain, in(600), u"Reminder"_s, u"Call"_s);
    service.cancelPendingNotifications({notificationid::reminderSnoozePrefixFor(u"x"_s)});
    EXPECT_EQ(pending().filter(u"reminder-snooze-"_s), QStringList{u"reminder-snooze-x%2Dy-"_s + epoch(600)});
}

} // namespace

// The calendar's alerts, scheduled again at each refresh: the same events
// leave the pending requests as they are, and every change of what a request
// is made of shows, with no request lost or left twice.
TEST_F(NotificationServiceTest, CalendarAlertsFollowEveryChangeOfTheCalendarAndOnlyThose)
{
    const QDateTime start = clock.now();
    const auto at = [&](qint64 seconds) { return start.addSecs(seconds); };
    const auto id = [&](const QString &event, qint64 seconds, int lead) {
        return notificationid::meeting(event, at(seconds), lead);
    };
    const CalendarEvent standup = event(u"standup"_s, u"Standup"_s, at(3600));
    const CalendarEvent review = event(u"review"_s, u"Review"_s, at(7200));
    const CalendarEvent retro = event(u"retro"_s, u"Retro"_s, at(5400));
    const QHash<QString, qint64> retroLead{{u"retro"_s, 5}};

    service.scheduleCalendarAlerts({standup, review}, {}, 10);
    const QStringList first{id(u"standup"_s, 3600, 10), id(u"review"_s, 7200, 10)};
    EXPECT_EQ(pending(), first);
    service.scheduleCalendarAlerts({standup, review}, {}, 10);
    EXPECT_EQ(pending(), first);

    // Standup deleted, retro added; then retro's lead changed.
    service.scheduleCalendarAlerts({review, retro}, {}, 10);
    EXPECT_EQ(pending(), (QStringList{id(u"review"_s, 7200, 10), id(u"retro"_s, 5400, 10)}));
    service.scheduleCalendarAlerts({review, retro}, retroLead, 10);
    const QStringList changed{id(u"review"_s, 7200, 10), id(u"retro"_s, 5400, 5)};
    EXPECT_EQ(pending(), changed);

    // Hiding the calendar cancels them all; the same events shown again
    // bring them back.
    service.cancelPendingNotifications({u"meeting-"_s});
    EXPECT_TRUE(pending().isEmpty());
    service.scheduleCalendarAlerts({review, retro}, retroLead, 10);
    EXPECT_EQ(pending(), changed);

    // Retro moved by an hour, then back: one request each time.
    CalendarEvent moved = retro;
    moved.startDate = at(9000);
    service.scheduleCalendarAlerts({review, moved}, retroLead, 10);
    EXPECT_EQ(pending(), (QStringList{id(u"review"_s, 7200, 10), id(u"retro"_s, 9000, 5)}));
    service.scheduleCalendarAlerts({review, retro}, retroLead, 10);
    EXPECT_EQ(pending(), changed);

    // Retro renamed, the sound turned off: its banner says and does so.
    CalendarEvent renamed = retro;
    renamed.title = u"Retro, in the big room"_s;
    service.scheduleCalendarAlerts({review, renamed}, retroLead, 10);
    defaults.set(u"calendarAlertSound"_s, u"off"_s);
    service.scheduleCalendarAlerts({review, renamed}, retroLead, 10);
    clock.advance(5100s);
    ASSERT_TRUE(server.waitForCount(1));
    EXPECT_EQ(server.received()[0].body, u"Retro, in the big room starts in 5 minutes."_s);
    EXPECT_FALSE(soundOn(server.received()[0]));
    EXPECT_EQ(pending(), QStringList{id(u"review"_s, 7200, 10)});

    // Unchanged after it was shown: nothing comes back. With the clock
    // turned back before its moment, it is ahead again.
    service.scheduleCalendarAlerts({review, renamed}, retroLead, 10);
    EXPECT_EQ(pending(), QStringList{id(u"review"_s, 7200, 10)});
    clock.jumpWallClock(-600s);
    service.scheduleCalendarAlerts({review, renamed}, retroLead, 10);
    EXPECT_EQ(pending(), changed);
}
