#include "AppStateFixture.h"
#include "platform/net/backend/QtNetwork.h"

#include "services/info/RemoteAppMessageConfiguration.h"

#include <QNetworkAccessManager>

namespace {

// Sends every request to the local server, which only speaks plain HTTP.
class RedirectingNetwork final : public QNetworkAccessManager {
public:
    quint16 port = 0;
    int requestsMade = 0;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &original, QIODevice *data) override
    {
        ++requestsMade;
        QNetworkRequest request(original);
        QUrl url = request.url();
        url.setScheme(u"http"_s);
        url.setHost(u"127.0.0.1"_s);
        url.setPort(port);
        request.setUrl(url);
        return QNetworkAccessManager::createRequest(op, request, data);
    }
};

class AppStateMessagesTest : public test::AppStateActionsTest {
protected:
    RedirectingNetwork network;
    QtNetwork wrapped{network};
    QSignalSpy finished{&network, &QNetworkAccessManager::finished};
    std::unique_ptr<AppState> state = makeFeedState(services);

    std::unique_ptr<AppState> makeFeedState(test::TestAppServices &from)
    {
        network.port = services.server.port();
        AppServices taken = from.take();
        taken.remoteMessageService = std::make_unique<RemoteAppMessageService>(wrapped);
        auto made = makeState(std::move(taken));
        setBuild(*made, u"57"_s);
        return made;
    }
    static void setBuild(AppState &state, const QString &build)
    {
        state.setBundleInformation({u"https://feed.test/message.json"_s, build});
    }

    void serve(const QByteArray &body, int status = 200)
    {
        services.server.respond(u"/message.json"_s, test::CannedResponse{status, body, {}});
    }
    static QByteArray message(const QString &id, const QString &extra = {})
    {
        return QString(uR"({"id":")"_s + id + uR"(","title":"Hello","body":"News for you")"_s + extra + u"}"_s)
            .toUtf8();
    }

    // Checks now and waits until the answer has been dealt with.
    void checkAndSettle(bool force = true)
    {
        const auto before = finished.count();
        state->checkRemoteMessageIfNeeded(force);
        ASSERT_TRUE(waitUntil([&] { return finished.count() > before; }));
    }

    int banners() const { return int(services.notifications->banners.size()); }
    QStringList delivered() const
    {
        QStringList ids = defaults.stringList(u"deliveredRemoteAppMessageIDs"_s).value_or(QStringList());
        ids.sort();
        return ids;
    }
};

} // namespace

TEST_F(AppStateMessagesTest, AMessageIsDeliveredOnceAcrossRelaunchesIfEligibleWhenItsFetchStarts)
{
    serve(message(u"welcome"_s));
    checkAndSettle(false); // never checked before: due
    ASSERT_TRUE(waitUntil([&] { return banners() == 1; }));
    EXPECT_EQ(lastBanner(), u"Hello: News for you"_s);
    EXPECT_EQ(delivered(), QStringList{u"welcome"_s});

    // The same message at a later check, and after a relaunch.
    checkAndSettle();
    EXPECT_EQ(banners(), 1);
    state.reset(); // takes the first services' notification server with it
    test::TestAppServices relaunched{defaults, clock, home};
    state = makeFeedState(relaunched);
    checkAndSettle();
    EXPECT_TRUE(relaunched.notifications->banners.empty());
    EXPECT_EQ(services.server.requests().size(), 3);

    // A new id is news again, even one that expires before its answer comes:
    // eligibility is judged when the fetch starts.
    const QString expiry = clock.now().addSecs(5).toString(Qt::ISODate);
    serve(message(u"second"_s, QString(uR"(,"expiresAt":")"_s + expiry + u"\""_s)));
    const auto before = finished.count();
    state->checkRemoteMessageIfNeeded(true);
    clock.advance(8s);
    ASSERT_TRUE(waitUntil([&] { return finished.count() > before; }));
    ASSERT_TRUE(waitUntil([&] { return relaunched.notifications->banners.size() == 1; }));
    EXPECT_EQ(delivered(), (QStringList{u"second"_s, u"welcome"_s}));
}

TEST_F(AppStateMessagesTest, TheFeedIsAskedAtMostEverySixHoursUnlessForcedAndFailedAnswersOrOlderBuildsDeliverNothing)
{
    checkAndSettle(true);
    clock.advance(21600s);
    state->checkRemoteMessageIfNeeded(false); // not yet due: asks nothing
    clock.advance(1s);
    checkAndSettle(false);
    checkAndSettle(true);
    EXPECT_EQ(network.requestsMade, 3);

    for (int status : {304, 500}) {
        serve(message(u"m"_s), status);
        checkAndSettle();
    }
    serve(message(u"newer"_s, uR"(,"minimumBuild":58)"_s));
    for (const QString &build : {u"57"_s, u"58abc"_s}) { // the second is no number: build 0
        setBuild(*state, build);
        checkAndSettle();
    }
    EXPECT_EQ(banners(), 0);
    EXPECT_TRUE(delivered().isEmpty());
    setBuild(*state, u"+58"_s);
    checkAndSettle();
    EXPECT_TRUE(waitUntil([&] { return banners() == 1; }));
}
