#include "services/info/OrlixUpdateController.h"
#include "platform/net/backend/QtNetwork.h"

#include "model/UserDefaults.h"
#include "services/info/UpdateFeed.h"

#include "../ServiceTests.h"
#include "Ed25519Signer.h"
#include "LocalHttpServer.h"

using namespace kolu;

namespace {

QByteArray feedOf(const QByteArray &items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\"><channel><title>Kolu</title>" + items
           + "</channel></rss>";
}

QByteArray item(const QByteArray &build, const QByteArray &link, const QByteArray &version = {})
{
    QByteArray xml = "<item><title>Kolu</title><build>" + build + "</build><link>" + link + "</link>";
    if (!version.isEmpty())
        xml += "<version>" + version + "</version>";
    return xml + "</item>";
}

struct UpdateControllerTest : ::testing::Test {
    // Runs the event loop until the controller's check has ended.
    bool waitUntilSettled()
    {
        return test::waitUntil([&] { return controller.status().state != UpdateStatus::State::checking; });
    }

    // Serves `feed` with its signature, by `signer`.
    void serveSigned(const QByteArray &feed, const test::Ed25519Signer &by)
    {
        server.respond(u"/feed.xml"_s, {200, feed});
        server.respond(u"/feed.xml.sig"_s, {200, by.sign(feed)});
    }
    qsizetype feedRequests() const
    {
        return std::count_if(server.requests().begin(), server.requests().end(),
                             [](const test::RecordedRequest &r) { return r.path == u"/feed.xml"_s; });
    }

    test::TemporaryHome home;
    test::LocalHttpServer server;
    test::ManualClock clock;
    QtNetwork network;
    UserDefaults defaults{home.path(u".config/Kolu/defaults.json"_s)};
    test::Ed25519Signer signer;
    // Loopback is plain http; the configuration rule is tested below.
    OrlixUpdateController controller{
        network, defaults, {{server.url(u"/feed.xml"_s), u"  "_s + signer.publicKey() + u"\n"_s}}, clock, u"42"_s};
};

TEST_F(UpdateControllerTest, FailuresAndTimeOutsOnTheInjectedClockBecomeStatusSentences)
{
    const auto failureFor = [&](const QByteArray &body, int status = 200) {
        serveSigned(body, signer);
        server.respond(u"/feed.xml"_s, {status, body});
        test::awaitTask(controller.checkForUpdates());
        EXPECT_EQ(controller.status().state, UpdateStatus::State::failed);
        return controller.status().message;
    };
    EXPECT_EQ(failureFor(QByteArray(3 * 1024 * 1024, ' ')), u"The update feed is too large."_s);
    // The feed reader's own sentences (tested with it) reach the status.
    EXPECT_EQ(failureFor(feedOf(item("1.x", "https://kolu.test/odd"))), u"The update feed lists no valid version."_s);
    EXPECT_EQ(failureFor("gone", 404), u"The update feed answered with status 404."_s);
    EXPECT_TRUE(controller.canCheckForUpdates());

    const auto sent = server.requests().size();
    server.setHoldResponses(true);
    auto probe = test::startTask(controller.checkForUpdates());
    EXPECT_EQ(controller.status().state, UpdateStatus::State::checking);
    EXPECT_FALSE(controller.canCheckForUpdates());
    // A second request while one runs is not sent.
    test::awaitTask(controller.checkForUpdates());

    ASSERT_TRUE(test::waitUntil([&] { return server.requests().size() > sent; }));
    clock.advance(OrlixUpdateController::kRequestTimeout);
    probe.wait();
    EXPECT_EQ(std::pair(controller.status().state, controller.status().message),
              std::pair(UpdateStatus::State::failed, u"The request timed out."_s));
    EXPECT_EQ(server.requests().size(), sent + 1);
}

// The outcomes as the settings page shows them are tested with it.
TEST_F(UpdateControllerTest, ChecksAutomaticallyOnceADayWhenSwitchedOnAndRemembersTheCheck)
{
    serveSigned(feedOf(item("9", "https://kolu.test/9", "0.0.9")), signer);
    EXPECT_FALSE(controller.automaticallyChecksForUpdates());
    clock.advance(2h);
    EXPECT_TRUE(server.requests().isEmpty());

    controller.setAutomaticallyChecksForUpdates(true);
    EXPECT_EQ(defaults.boolean(SettingsKey::automaticallyChecksForUpdates), true);
    // The looks fall 60 s after creation and then every hour; stop right at
    // the next one so that the request's own time-out stays ahead.
    clock.advance(OrlixUpdateController::kFirstAutomaticCheckDelay);
    ASSERT_TRUE(waitUntilSettled());
    EXPECT_EQ(feedRequests(), 1);
    EXPECT_EQ(controller.status().state, UpdateStatus::State::upToDate) << "an older build";
    EXPECT_FALSE(controller.status().release);
    EXPECT_EQ(std::pair(controller.lastUpdateCheckDate(), defaults.date(SettingsKey::lastUpdateCheckDate)),
              std::pair(std::optional(clock.now()), std::optional(clock.now())));

    clock.advance(23h);
    EXPECT_EQ(feedRequests(), 1);
    clock.advance(1h);
    ASSERT_TRUE(waitUntilSettled());
    EXPECT_EQ(feedRequests(), 2);
}

TEST_F(UpdateControllerTest, OnlyAFeedItsKeySignedOffersARelease)
{
    const QByteArray feed = feedOf(item("43", "https://kolu.test/43", "0.4.3"));
    const auto outcome = [&](OrlixUpdateController &checker) {
        test::awaitTask(checker.checkForUpdates());
        return std::pair(checker.status().state, checker.status().message);
    };
    const std::pair refused(UpdateStatus::State::failed, u"The update feed could not be verified."_s);

    serveSigned(feed, signer);
    EXPECT_EQ(outcome(controller), std::pair(UpdateStatus::State::updateAvailable, u"Kolu 0.4.3 is available."_s));
    EXPECT_EQ(controller.status().release->downloadPage, QUrl(u"https://kolu.test/43"_s));

    const test::Ed25519Signer stranger;
    serveSigned(feed, stranger);
    EXPECT_EQ(outcome(controller), refused) << "another key";
    EXPECT_FALSE(controller.status().release);

    // A feed changed after it was signed, a signature that is no signature, and none at all.
    serveSigned(feed, signer);
    server.respond(u"/feed.xml"_s, {200, feedOf(item("44", "https://evil.test/44"))});
    EXPECT_EQ(outcome(controller), refused) << "changed";
    serveSigned(feed, signer);
    server.respond(u"/feed.xml.sig"_s, {200, "not a signature"});
    EXPECT_EQ(outcome(controller), refused) << "garbage";
    server.respond(u"/feed.xml.sig"_s, {404, "gone"});
    EXPECT_EQ(outcome(controller), refused) << "missing";

    // A configured key that is no Ed25519 key verifies nothing.
    OrlixUpdateController badKey{network, defaults, {{server.url(u"/feed.xml"_s), u"key"_s}}, clock, u"42"_s};
    serveSigned(feed, signer);
    EXPECT_EQ(outcome(badKey), refused);
}

TEST_F(UpdateControllerTest, NotConfiguredDoesNothingButSignal)
{
    // Defaults of its own: with the fixture's, switching automatic checks on
    // would set the configured controller checking too, and its request would
    // race the look at the server below.
    UserDefaults own{home.path(u".config/Kolu/unconfigured.json"_s)};
    own.setDate(SettingsKey::lastUpdateCheckDate, clock.now());
    own.set(SettingsKey::automaticallyChecksForUpdates, true);
    const int timers = clock.activeTimerCount();
    OrlixUpdateController unconfigured(network, own, std::nullopt, clock, u"42"_s);
    int changes = 0;
    QObject::connect(&unconfigured, &OrlixUpdateController::changed, [&] { ++changes; });

    EXPECT_FALSE(unconfigured.canCheckForUpdates() || unconfigured.automaticallyChecksForUpdates());
    test::awaitTask(unconfigured.checkForUpdates());
    unconfigured.setAutomaticallyChecksForUpdates(false);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(unconfigured.status().state, UpdateStatus::State::idle);
    EXPECT_EQ(own.boolean(SettingsKey::automaticallyChecksForUpdates), true);
    clock.advance(48h);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(clock.activeTimerCount(), timers);
}

QString failureOf(const QByteArray &feed)
{
    return test::failureText<UpdateError>([&] { newestRelease(feed); });
}

TEST(UpdateFeed, AnHttpsFeedWithAKeyListsBuildsComparedByComponentAndTheNewestValidReleaseWins)
{
    const QByteArray feed = feedOf(
        item("40", "https://kolu.test/40", "0.4.0") + item("  42 ", "https://kolu.test/42", "0.4.2")
        + item("41", "https://kolu.test/41") + item("99", "javascript:alert(1)") + item("98", "file:///etc/passwd")
        + item("96", "http://kolu.test/96") + item("beta", "https://kolu.test/beta") + item("97", "https:///no-host"));
    const UpdateFeedItem newest = newestRelease(feed);
    EXPECT_EQ(std::tuple(newest.build, newest.version, newest.downloadPage),
              std::tuple(u"42"_s, u"0.4.2"_s, QUrl(u"https://kolu.test/42"_s)));

    // Without a display version the build number stands in.
    EXPECT_EQ(newestRelease(feedOf(item("7", "https://kolu.test/7"))).version, u"7"_s);

    // Unusable feeds and entity bombs give a clear sentence.
    const QString unread = u"The update feed could not be read."_s, none = u"The update feed lists no valid version."_s;
    EXPECT_EQ(failureOf(R"({"build": 42})"), unread);
    EXPECT_EQ(failureOf(feedOf(item("42", "https://kolu.test/42")).chopped(10)), unread);
    EXPECT_EQ(failureOf(feedOf("")), none);
    EXPECT_EQ(failureOf(feedOf(item("x", "https://kolu.test"))), none);
    EXPECT_EQ(failureOf(feedOf(item("7", "http://kolu.test/7"))), none) << "a plain http page";

    // Entity bombs are refused.
    QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c) {
        const char previous = char(c - 1);
        bomb += QByteArray("<!ENTITY ") + c + " \"" + QByteArray("&").append(previous).append(';').repeated(10) + "\">";
    }
    bomb += "]><rss><channel><item><build>&j;</build><link>https://kolu.test</link></item></channel></rss>";
    EXPECT_TRUE(test::failsWith<UpdateError>([&] { newestRelease(bomb); }));

    EXPECT_EQ(compareBuildNumbers(u"1.10"_s, u"1.9"_s), 1);
    EXPECT_EQ(compareBuildNumbers(u"1"_s, u"1.0.0"_s), 0);
    EXPECT_EQ(compareBuildNumbers(u"41"_s, u"42"_s), -1);
    EXPECT_EQ(compareBuildNumbers(u"99999999999999999999999"_s, u"99999999999999999999998"_s), 1);
    for (const QString &odd : {u""_s, u"1..2"_s, u"-1"_s, u"1.2b"_s, u"٤٢"_s, QString(65, u'1')})
        EXPECT_EQ(compareBuildNumbers(odd, u"1"_s), std::nullopt) << odd.toStdString();

    // Only an https feed with a host and a key is configured.
    const auto config = OrlixUpdateConfiguration::make(u"HTTPS://updates.kolu.test/feed.xml"_s, u"  key=  \n"_s);
    ASSERT_TRUE(config);
    EXPECT_EQ(std::pair(config->feedURL, config->publicKey),
              std::pair(QUrl(u"HTTPS://updates.kolu.test/feed.xml"_s), u"key="_s));

    for (const QString &refused : {u"http://updates.kolu.test/feed.xml"_s, u"/feed.xml"_s, u"https:///feed.xml"_s})
        EXPECT_FALSE(OrlixUpdateConfiguration::make(refused, u"key"_s)) << refused.toStdString();
    EXPECT_FALSE(OrlixUpdateConfiguration::make(u"https://updates.kolu.test/feed.xml"_s, u"   "_s));
    EXPECT_FALSE(OrlixUpdateConfiguration::make(std::nullopt, u"key"_s));
}

} // namespace
