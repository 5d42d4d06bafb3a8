#include "platform/notifications/DesktopNotifications.h"
#include "platform/notifications/NotificationScheduler.h"

#include "AwaitTask.h"
#include "FakeNotificationServer.h"
#include "ManualClock.h"
#include "PrivateBus.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

QStringList summaries(const test::FakeNotificationServer &server)
{
    QStringList shown;
    for (const auto &banner : server.received())
        shown.append(banner.summary);
    return shown;
}

std::pair<bool, bool> grantedAndSound(NotificationAuthorization answer)
{
    return {answer.granted, answer.sound};
}

class DesktopNotificationsTest : public ::testing::Test {
protected:
    test::PrivateBus bus;
    test::FakeNotificationServer server{bus.connect(u"server"_s)};
    DesktopNotifications desktop{bus.connect(u"client"_s)};
};

TEST_F(DesktopNotificationsTest, ShowsABannerUnderTheApplicationsNameWithItsSoundHint)
{
    const quint32 first = test::awaitTask(desktop.notify({u"Fajr"_s, u"It is time for Fajr."_s, true}, 0));
    test::awaitTask(desktop.notify({u"Upcoming meeting"_s, u"Standup starts in 5 minutes."_s, false}, 0));
    ASSERT_EQ(server.received().size(), 2U);
    const test::ReceivedNotification &sounding = server.received()[0];
    EXPECT_EQ(
        std::tuple(sounding.appName, sounding.summary, sounding.body, sounding.replacesId, sounding.expireTimeout),
        std::tuple(u"Kolu"_s, u"Fajr"_s, u"It is time for Fajr."_s, 0U, -1));
    EXPECT_EQ(sounding.hints.value(u"sound-name"_s).toString(), u"message-new-instant"_s);
    EXPECT_FALSE(sounding.hints.contains(u"suppress-sound"_s));
    const test::ReceivedNotification &silent = server.received()[1];
    EXPECT_TRUE(silent.hints.value(u"suppress-sound"_s).toBool());
    EXPECT_FALSE(silent.hints.contains(u"sound-name"_s));

    EXPECT_EQ(test::awaitTask(desktop.notify({u"Again"_s, u""_s, true}, first)), first);
    EXPECT_EQ(server.received().back().replacesId, first);
}

TEST_F(DesktopNotificationsTest, AuthorisationIsTheServersPresenceAndCapabilities)
{
    EXPECT_EQ(grantedAndSound(test::awaitTask(desktop.authorization())), std::pair(true, true));

    test::PrivateBus emptyBus;
    DesktopNotifications nobody(emptyBus.connect(u"client"_s));
    EXPECT_FALSE(test::awaitTask(nobody.authorization()).granted);
    EXPECT_EQ(test::awaitTask(nobody.notify({u"Lost"_s, u""_s, true}, 0)), 0U);

    // A server without sounds grants banners only.
    test::PrivateBus silentBus;
    test::FakeNotificationServer silent(silentBus.connect(u"server"_s), {u"body"_s});
    DesktopNotifications quiet(silentBus.connect(u"client"_s));
    EXPECT_EQ(grantedAndSound(test::awaitTask(quiet.authorization())), std::pair(true, false));
}

// A calendar invitation's text may carry links and pictures meant to pass as
// Kolu's own: a server that renders markup is sent it as text. Servers render
// markup in the body only, so the title goes as it is: escaping it would show
// its entities.
TEST_F(DesktopNotificationsTest, BodiesAreEscapedForAServerThatRendersMarkupAndTitlesNever)
{
    const QString hostile = u"<a href=\"https://evil.example/login\">Re-authenticate</a> & <b>URGENT</b>"_s;
    const QString shown = u"&lt;a href=&quot;https://evil.example/login&quot;&gt;Re-authenticate&lt;/a&gt; &amp; "
                          "&lt;b&gt;URGENT&lt;/b&gt;"_s;

    test::PrivateBus markupBus;
    test::FakeNotificationServer rendering(markupBus.connect(u"server"_s),
                                           {u"body"_s, u"body-markup"_s, u"body-hyperlinks"_s, u"sound"_s});
    DesktopNotifications toRendering(markupBus.connect(u"client"_s));
    test::awaitTask(toRendering.notify({hostile, hostile, true}, 0));
    ASSERT_EQ(rendering.received().size(), 1U);
    EXPECT_EQ(std::pair(rendering.received()[0].summary, rendering.received()[0].body), std::pair(hostile, shown));

    // The fixture's server shows plain text only: the text goes as it is.
    test::awaitTask(desktop.notify({hostile, u"5 < 6 & R&D"_s, true}, 0));
    ASSERT_EQ(server.received().size(), 1U);
    EXPECT_EQ(std::pair(server.received()[0].summary, server.received()[0].body), std::pair(hostile, u"5 < 6 & R&D"_s));
}

class NotificationSchedulerTest : public ::testing::Test {
protected:
    NotificationRequest request(const QString &identifier, qint64 secondsAhead, const QString &key = {})
    {
        return {identifier, {identifier, u"body"_s, true}, clock.now().addSecs(secondsAhead), key};
    }

    test::PrivateBus bus;
    test::FakeNotificationServer server{bus.connect(u"server"_s)};
    DesktopNotifications desktop{bus.connect(u"client"_s)};
    test::ManualClock clock;
    NotificationScheduler scheduler{desktop, clock};
};

TEST_F(NotificationSchedulerTest, KeepsPendingRequestsInOrderAndReplacesBySameIdentifier)
{
    scheduler.add(request(u"prayer-fajr"_s, 60));
    scheduler.add(request(u"prayer-snooze-fajr-1"_s, 60));
    scheduler.add(request(u"meeting-a-1-10"_s, 60));
    scheduler.add(request(u"prayer-fajr"_s, 120));
    EXPECT_EQ(scheduler.pendingIdentifiers(),
              (QStringList{u"prayer-snooze-fajr-1"_s, u"meeting-a-1-10"_s, u"prayer-fajr"_s}));

    scheduler.removePending({u"meeting-a-1-10"_s, u"unknown"_s});
    EXPECT_EQ(scheduler.pendingIdentifiers(), (QStringList{u"prayer-snooze-fajr-1"_s, u"prayer-fajr"_s}));

    scheduler.removePendingWithPrefixes({});
    EXPECT_EQ(scheduler.pendingIdentifiers().size(), 2);
    scheduler.removePendingWithPrefixes({u"Prayer-"_s});
    EXPECT_EQ(scheduler.pendingIdentifiers().size(), 2) << "the prefix test is case-sensitive";
    scheduler.removePendingWithPrefixes({u"meeting-"_s, u"prayer-"_s});
    EXPECT_TRUE(scheduler.pendingIdentifiers().isEmpty());
    EXPECT_EQ(clock.activeTimerCount(), 0) << "nothing pending, nothing to check";
}

TEST_F(NotificationSchedulerTest, FiresARequestWhenItsMomentArrivesOrAtOnceWhenPastAndOnlyOnce)
{
    scheduler.add(request(u"later"_s, 5));
    clock.advance(4s);
    QCoreApplication::processEvents();
    EXPECT_TRUE(server.received().empty());
    clock.advance(1s);
    ASSERT_TRUE(server.waitForCount(1));
    EXPECT_TRUE(scheduler.pendingIdentifiers().isEmpty());
    clock.advance(10s);
    EXPECT_FALSE(server.waitForCount(2, 200ms));

    // A request already past goes at the next check, once.
    scheduler.add(request(u"past"_s, -30));
    clock.advance(1s);
    ASSERT_TRUE(server.waitForCount(2));
    clock.advance(3s);
    EXPECT_FALSE(server.waitForCount(3, 200ms));
}

TEST_F(NotificationSchedulerTest, AWallClockJumpDeliversEveryPassedRequestOnceInOrderOfTheirMoments)
{
    scheduler.add(request(u"third"_s, 3000));
    scheduler.add(request(u"first"_s, 600));
    scheduler.add(request(u"after"_s, 7200));
    scheduler.add(request(u"second"_s, 1200));
    // A suspend: the wall clock moves on while the monotonic timers stood still.
    clock.jumpWallClock(3600s);
    QCoreApplication::processEvents();
    EXPECT_TRUE(server.received().empty());
    // The owner's next tick looks.
    clock.advance(1s);
    scheduler.checkDueRequests();
    ASSERT_TRUE(server.waitForCount(3));
    EXPECT_EQ(summaries(server), (QStringList{u"first"_s, u"second"_s, u"third"_s}));
    EXPECT_EQ(scheduler.pendingIdentifiers(), QStringList{u"after"_s});
    clock.advance(5s);
    EXPECT_FALSE(server.waitForCount(4, 200ms));
}

TEST_F(NotificationSchedulerTest, WakesAtTheEarliestMomentRatherThanEverySecond)
{
    scheduler.add(request(u"in-an-hour"_s, 3600));
    scheduler.add(request(u"in-two-hours"_s, 7200));
    const int firedBefore = clock.timersFired();
    clock.advance(3599s);
    EXPECT_LE(clock.timersFired() - firedBefore, 1) << "no wake-up every second while nothing is due";
    EXPECT_TRUE(server.received().empty());
    clock.advance(1s);
    ASSERT_TRUE(server.waitForCount(1));
    EXPECT_EQ(summaries(server), QStringList{u"in-an-hour"_s});

    // The wall clock set back by ten minutes: the timer comes early, finds
    // nothing due and waits again; the request goes at its own moment.
    clock.jumpWallClock(-600s);
    clock.advance(3599s + 600s);
    EXPECT_FALSE(server.waitForCount(2, 100ms));
    clock.advance(1s);
    ASSERT_TRUE(server.waitForCount(2));
    EXPECT_TRUE(scheduler.pendingIdentifiers().isEmpty());
    EXPECT_EQ(clock.activeTimerCount(), 0);
}

TEST_F(NotificationSchedulerTest, ItsOwnTimerLooksAgainWithinTheHourSoASuspendCannotHoldARequestBackLonger)
{
    // Due in five hours, then a suspend of four: the monotonic clock stood
    // still, and nothing but the scheduler's own timer looks.
    scheduler.add(request(u"after-suspend"_s, 5 * 3600));
    clock.jumpWallClock(4h);
    const int firedBefore = clock.timersFired();
    clock.advance(3599s);
    QCoreApplication::processEvents();
    EXPECT_EQ(clock.timersFired(), firedBefore) << "no look before the hour is up";
    EXPECT_TRUE(server.received().empty());
    clock.advance(1s);
    ASSERT_TRUE(server.waitForCount(1));
    EXPECT_EQ(summaries(server), QStringList{u"after-suspend"_s});
    EXPECT_EQ(clock.timersFired(), firedBefore + 1);
}

TEST_F(NotificationSchedulerTest, ReplacingAndRemovingManyKeepsExactlyTheRightRequestsInDueOrder)
{
    // Identifiers that share beginnings: a prefix removes its own only.
    for (int i = 0; i < 150; ++i)
        scheduler.add(request(u"meeting-ev%1-%2"_s.arg(i).arg(i % 7), 100 + (i * 37) % 300));
    scheduler.add(request(u"meeting-ev1"_s, 50));
    scheduler.add(request(u"meeting-ev10x"_s, 50));
    scheduler.removePendingWithPrefixes({u"meeting-ev1-"_s, u"meeting-ev2"_s, u"meeting-ev149-"_s});
    const QStringList left = scheduler.pendingIdentifiers();
    EXPECT_EQ(left.size(), 152 - 1 - 11 - 1);
    EXPECT_TRUE(left.contains(u"meeting-ev1"_s) && left.contains(u"meeting-ev10x"_s)
                && left.contains(u"meeting-ev10-3"_s) && left.contains(u"meeting-ev3-3"_s));
    EXPECT_FALSE(left.contains(u"meeting-ev25-4"_s) || left.contains(u"meeting-ev2-2"_s));

    // A replacement moves to the end of the added order and to its new moment.
    scheduler.add(request(u"meeting-ev1"_s, 500));
    EXPECT_EQ(scheduler.pendingIdentifiers().back(), u"meeting-ev1"_s);
    scheduler.removePending({u"meeting-ev10x"_s});
    clock.advance(450s);
    // Every one left but the replaced one, in the order of their moments.
    ASSERT_TRUE(server.waitForCount(std::size_t(left.size() - 2)));
    EXPECT_EQ(scheduler.pendingIdentifiers(), QStringList{u"meeting-ev1"_s});
    QStringList shown = summaries(server);
    QStringList expected = left;
    expected.removeAll(u"meeting-ev1"_s);
    expected.removeAll(u"meeting-ev10x"_s);
    const auto dueOf = [](const QString &identifier) {
        const QStringList parts = identifier.split(u'-');
        const int i = parts[1].mid(2).toInt();
        return 100 + (i * 37) % 300;
    };
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const QString &a, const QString &b) { return dueOf(a) < dueOf(b); });
    EXPECT_EQ(shown, expected);

    // An empty prefix, as before, takes everything.
    scheduler.removePendingWithPrefixes({QString()});
    EXPECT_TRUE(scheduler.pendingIdentifiers().isEmpty());
    EXPECT_EQ(clock.activeTimerCount(), 0);
}

TEST_F(NotificationSchedulerTest, AReplacementByPrefixKeepsWhatCameBackUnchangedAndShowsEachOnce)
{
    scheduler.add(request(u"meeting-a-1"_s, 10));
    scheduler.add(request(u"meeting-a-2"_s, 20));
    scheduler.add(request(u"meeting-b-1"_s, 30));
    scheduler.add(request(u"prayer-fajr"_s, 40));
    // "a-1" comes back the same, "a-2" moved, "b-1" is gone, "c-1" is new;
    // the prayer lies outside the prefixes.
    std::vector<NotificationRequest> again{request(u"meeting-a-1"_s, 10), request(u"meeting-a-2"_s, 25),
                                           request(u"meeting-c-1"_s, 5)};
    scheduler.replacePendingWithPrefixes({u"meeting-a-"_s, u"meeting-b-"_s, u"meeting-c-"_s}, std::move(again));
    EXPECT_EQ(scheduler.pendingIdentifiers(),
              (QStringList{u"meeting-a-1"_s, u"prayer-fajr"_s, u"meeting-a-2"_s, u"meeting-c-1"_s}));
    clock.advance(40s);
    ASSERT_TRUE(server.waitForCount(4));
    EXPECT_FALSE(server.waitForCount(5, 100ms));
    EXPECT_EQ(summaries(server), (QStringList{u"meeting-c-1"_s, u"meeting-a-1"_s, u"meeting-a-2"_s, u"prayer-fajr"_s}));
}

// The server closes each banner after ten seconds, as a desktop's time-out
// does; the second banner of a moment would come up as a new one.
TEST_F(NotificationSchedulerTest, OnlyTheFirstBannerOfAMomentIsShownWhicheverComesFirst)
{
    server.closeBannersAfter(clock, 10s);
    scheduler.add(request(u"prayer-fajr"_s, 2, u"prayer-fajr-100"_s));
    clock.advance(2s);
    ASSERT_TRUE(server.waitForCount(1));
    clock.advance(13s);
    scheduler.deliver({u"Fajr"_s, u"It is time for Fajr."_s, true}, u"prayer-fajr-100"_s);

    // Sent at once first, scheduled after; and two sent together.
    scheduler.deliver({u"Dhuhr"_s, u""_s, true}, u"prayer-dhuhr-200"_s);
    scheduler.add(request(u"prayer-dhuhr"_s, 2, u"prayer-dhuhr-200"_s));
    scheduler.deliver({u"first"_s, u""_s, true}, u"k"_s);
    scheduler.deliver({u"second"_s, u""_s, true}, u"k"_s);
    clock.advance(2s);
    scheduler.deliver({u"Plain"_s, u""_s, true});
    scheduler.deliver({u"Plain"_s, u""_s, true});
    ASSERT_TRUE(server.waitForCount(5));
    EXPECT_FALSE(server.waitForCount(6, 200ms));
    EXPECT_EQ(summaries(server), (QStringList{u"prayer-fajr"_s, u"Dhuhr"_s, u"first"_s, u"Plain"_s, u"Plain"_s}));
    EXPECT_EQ(server.bannersShown(), 5U);
}

TEST_F(NotificationSchedulerTest, OutlivedByAnUnansweredDelivery)
{
    auto gone = std::make_unique<NotificationScheduler>(desktop, clock);
    gone->deliver({u"gone"_s, u""_s, true});
    gone.reset();
    // The answer arrives after the scheduler is gone and is dropped.
    EXPECT_TRUE(server.waitForCount(1));
    QCoreApplication::processEvents();
}

} // namespace
