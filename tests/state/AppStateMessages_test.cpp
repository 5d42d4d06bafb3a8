#include "AppStateFixture.h"

#include "services/info/RemoteAppMessageConfiguration.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// Sends what is asked of https://feed.test to the local server, which only
// speaks plain HTTP; everything else goes out unchanged.
class FeedRedirectingNetwork final : public QNetworkAccessManager {
public:
    explicit FeedRedirectingNetwork(quint16 port)
        : m_port(port)
    {
    }
    int requestsMade = 0;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &original, QIODevice *data) override
    {
        ++requestsMade;
        QNetworkRequest request(original);
        QUrl url = request.url();
        if (url.host() == u"feed.test"_s) {
            url.setScheme(u"http"_s);
            url.setHost(u"127.0.0.1"_s);
            url.setPort(m_port);
            request.setUrl(url);
        }
        return QNetworkAccessManager::createRequest(op, request, data);
    }

private:
    quint16 m_port;
};

const QString kFeed = u"https://feed.test/message.json"_s;

class AppStateMessagesTest : public test::AppStateActionsTest {
protected:
    FeedRedirectingNetwork network{services.server.port()};
    QSignalSpy finished{&network, &QNetworkAccessManager::finished};

    std::unique_ptr<AppState> makeFeedState(std::optional<QString> feed, std::optional<QString> build,
                                            test::TestAppServices *from = nullptr)
    {
        AppServices appServices = (from ? *from : services).take();
        appServices.remoteMessageService = std::make_unique<RemoteAppMessageService>(network);
        auto state = makeState(std::move(appServices));
        state->setBundleInformation({std::move(feed), std::move(build)});
        return state;
    }

    void serve(const QByteArray &body, int status = 200)
    {
        services.server.respond(u"/message.json"_s, test::CannedResponse{status, body, {}});
    }

    // Checks now and waits until the answer has been dealt with.
    void checkAndSettle(AppState &state, bool force = true)
    {
        const auto before = finished.count();
        state.checkRemoteMessageIfNeeded(force);
        ASSERT_TRUE(test::waitUntil([&] { return finished.count() > before; }));
    }

    int banners() const { return static_cast<int>(services.notifications->banners.size()); }

    QStringList delivered() const
    {
        return defaults.stringList(u"deliveredRemoteAppMessageIDs"_s).value_or(QStringList());
    }
};

QByteArray message(const QString &id, const QString &extra = {})
{
    return QString(uR"({"id":")"_s + id + uR"(","title":"Hello","body":"News for you")"_s + extra + u"}"_s).toUtf8();
}

} // namespace

TEST_F(AppStateMessagesTest, AMessageIsDeliveredOnceAcrossRelaunches)
{
    serve(message(u"welcome"_s));
    auto state = makeFeedState(kFeed, u"57"_s);
    checkAndSettle(*state);
    ASSERT_TRUE(test::waitUntil([&] { return banners() == 1; }));
    EXPECT_EQ(services.notifications->banners[0].content.title, u"Hello"_s);
    EXPECT_EQ(services.notifications->banners[0].content.body, u"News for you"_s);
    EXPECT_EQ(delivered(), QStringList{u"welcome"_s});

    // The same message at a later check, and after a relaunch.
    checkAndSettle(*state);
    EXPECT_EQ(banners(), 1);
    state.reset(); // takes the first services' notification server with it
    test::TestAppServices relaunched{defaults, clock, home};
    state = makeFeedState(kFeed, u"57"_s, &relaunched);
    checkAndSettle(*state);
    EXPECT_TRUE(relaunched.notifications->banners.empty());
    EXPECT_EQ(services.server.requests().size(), 3);

    // A new id is news again; the old one stays recorded.
    serve(message(u"second"_s));
    checkAndSettle(*state);
    ASSERT_TRUE(test::waitUntil([&] { return relaunched.notifications->banners.size() == 1; }));
    QStringList ids = delivered();
    ids.sort();
    EXPECT_EQ(ids, (QStringList{u"second"_s, u"welcome"_s}));
}

TEST_F(AppStateMessagesTest, TheFeedIsAskedAtMostEverySixHoursUnlessForcedAndOnlyOverHttps)
{
    serve(message(u"m"_s));
    auto state = makeFeedState(std::nullopt, u"5"_s);
    state->checkRemoteMessageIfNeeded(true);
    EXPECT_EQ(state->lastRemoteMessageCheck(), clock.now()) << "stamped without a feed";
    state->setBundleInformation({services.server.url(u"/message.json"_s).toString(), u"5"_s});
    clock.advance(std::chrono::seconds(30));
    state->checkRemoteMessageIfNeeded(true);
    EXPECT_EQ(state->lastRemoteMessageCheck(), clock.now());
    EXPECT_EQ(network.requestsMade, 0) << "a plain-HTTP feed is never asked";

    state->setBundleInformation({kFeed, u"5"_s});
    const QDateTime first = clock.now();
    clock.advance(std::chrono::seconds(21600));
    state->checkRemoteMessageIfNeeded(false);
    EXPECT_EQ(state->lastRemoteMessageCheck(), first);
    clock.advance(std::chrono::seconds(1));
    checkAndSettle(*state, false);
    EXPECT_EQ(state->lastRemoteMessageCheck(), clock.now());
    checkAndSettle(*state, true);
    EXPECT_EQ(network.requestsMade, 2);
}

TEST_F(AppStateMessagesTest, FailedOrIneligibleAnswersDeliverNothing)
{
    auto state = makeFeedState(kFeed, u"57"_s);
    const QByteArray newer = message(u"newer"_s, uR"(,"minimumBuild":58)"_s);
    for (const auto &[status, body, build] :
         std::vector<std::tuple<int, QByteArray, QString>>{{304, message(u"a"_s), u"57"_s},
                                                           {500, message(u"b"_s), u"57"_s},
                                                           {200, "[" + message(u"c"_s) + "]", u"57"_s},
                                                           {200, "{", u"57"_s},
                                                           {200, newer, u"57"_s},
                                                           {200, newer, u"58abc"_s}}) { // not a number: build 0
        serve(body, status);
        state->setBundleInformation({kFeed, build});
        checkAndSettle(*state);
    }
    EXPECT_EQ(banners(), 0);
    EXPECT_TRUE(delivered().isEmpty());

    state->setBundleInformation({kFeed, u"+58"_s});
    checkAndSettle(*state);
    EXPECT_TRUE(test::waitUntil([&] { return banners() == 1; }));
}

TEST_F(AppStateMessagesTest, EligibilityIsJudgedWhenTheFetchStarts)
{
    const QString expiry = clock.now().addSecs(5).toString(Qt::ISODate);
    serve(message(u"brief"_s, QString(uR"(,"expiresAt":")"_s + expiry + u"\""_s)));
    auto state = makeFeedState(kFeed, u"5"_s);
    state->checkRemoteMessageIfNeeded(true);
    clock.advance(std::chrono::seconds(8)); // expired by the time the answer comes
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() == 1; }));
    EXPECT_TRUE(test::waitUntil([&] { return banners() == 1; }));
}
