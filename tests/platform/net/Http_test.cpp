#include "platform/net/backend/QtHttp.h"

#include "model/Error.h"
#include "platform/net/backend/HttpDownload.h"
#include "platform/net/backend/ReplyWait.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "FailureText.h"
#include "LocalHttpServer.h"
#include "ManualClock.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

QCoro::Task<int> sleepThenAnswer(Clock &clock)
{
    co_await clock.sleep(1600ms);
    co_return 42;
}

class HttpTest : public ::testing::Test {
protected:
    void download(const QString &path, const QString &target)
    {
        test::awaitTask(downloadToFile(network, QNetworkRequest(server.url(path)), target, clock, 90s, 1 << 20));
    }
    HttpResponse get(const QString &path, qint64 limit = kDefaultMaxHttpBody)
    {
        return test::awaitTask(httpGet(network, QNetworkRequest(server.url(path)), clock, 15s, limit));
    }

    test::LocalHttpServer server;
    test::ManualClock clock;
    QNetworkAccessManager network;
    QTemporaryDir dir;
};

} // namespace

TEST_F(HttpTest, ReturnsTheAnswerOrErrorStatusAndRecordsTheRequestInOrder)
{
    server.respond(u"/v1/timings"_s, {200, R"({"ok":true})"});
    QNetworkRequest request(server.url(u"/v1/timings?city=Cairo&country=Egypt&method=5"_s));
    request.setRawHeader("Accept", "application/json");
    const HttpResponse response = test::awaitTask(httpGet(network, request, clock, 15s));
    EXPECT_TRUE(response.isSuccess());
    EXPECT_EQ(response.body, R"({"ok":true})");

    ASSERT_EQ(server.requests().size(), 1);
    const auto &recorded = server.requests().front();
    EXPECT_EQ(recorded.method, "GET");
    EXPECT_EQ(recorded.path, u"/v1/timings"_s);
    const QList<QPair<QString, QString>> query{
        {u"city"_s, u"Cairo"_s}, {u"country"_s, u"Egypt"_s}, {u"method"_s, u"5"_s}};
    EXPECT_EQ(recorded.queryItems, query);
    EXPECT_EQ(recorded.header("accept"), "application/json");

    // An error status is an answer, not a transport error.
    EXPECT_EQ(get(u"/missing"_s).statusCode, 404);
}

TEST_F(HttpTest, TimesOutOnTheInjectedClock)
{
    server.setHoldResponses(true);
    auto probe = test::startTask(httpGet(network, QNetworkRequest(server.url(u"/slow"_s)), clock, 15s));
    ASSERT_TRUE(test::waitUntil([&] { return !server.requests().isEmpty(); }));
    clock.advance(14s);
    EXPECT_FALSE(probe.isDone());
    clock.advance(1s);
    EXPECT_EQ(test::failureText<TransportError>([&] { probe.wait(); }), u"The request timed out."_s);
}

TEST_F(HttpTest, ARefusedConnectionIsATransportError)
{
    quint16 closedPort = 0;
    {
        test::LocalHttpServer gone;
        closedPort = gone.port();
    }
    const QUrl url(u"http://127.0.0.1:%1/"_s.arg(closedPort));
    EXPECT_THROW(test::awaitTask(httpGet(network, QNetworkRequest(url), clock, 15s)), TransportError);
}

TEST_F(HttpTest, AnAnswerPastTheLimitIsAbandoned)
{
    server.respond(u"/big"_s, {200, QByteArray(200 * 1024, 'x')});
    EXPECT_EQ(test::failureText<DecodingError>([&] { get(u"/big"_s, 64 * 1024); }), u"The answer is too large."_s);
    EXPECT_EQ(get(u"/big"_s, 200 * 1024).body.size(), 200 * 1024);
}

// The time-outs rest on this: a sleep ends only when the clock has moved on.
TEST(ClockSleep, CompletesOnlyWhenTheClockHasMoved)
{
    test::ManualClock clock;
    auto probe = test::startTask(sleepThenAnswer(clock));
    clock.advance(1599ms);
    EXPECT_FALSE(probe.isDone());
    clock.advance(1ms);
    ASSERT_TRUE(probe.isDone());
    EXPECT_EQ(probe.wait(), 42);
}

TEST_F(HttpTest, ADownloadFollowsRedirectsAndReplacesTheFileOnlyWhenWhole)
{
    server.respond(u"/share"_s, {302, "<html>moved</html>", {{"Location", server.url(u"/file.zip"_s).toEncoded()}}});
    server.respond(u"/file.zip"_s, {200, QByteArray(200000, 'z'), {}});
    const QString target = dir.filePath(u"a.zip"_s);
    download(u"/share"_s, target);
    EXPECT_EQ(test::readFile(target), QByteArray(200000, 'z'));
    EXPECT_EQ(server.requests().size(), 2);

    // A failed download leaves the previous file alone.
    ASSERT_TRUE(test::writeFile(target, "previous"));
    server.respond(u"/missing"_s, {404, "not here", {}});
    EXPECT_THROW(download(u"/missing"_s, target), TransportError);
    // An answer over the bound is given up.
    server.respond(u"/huge"_s, {200, QByteArray(3 << 20, 'z'), {}});
    EXPECT_THROW(download(u"/huge"_s, target), AnswerTooLarge);
    EXPECT_EQ(test::readFile(target), "previous");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.zip"_s});
    EXPECT_THROW(download(u"/file.zip"_s, dir.filePath(u"no/such/folder/a.zip"_s)), TransportError);
}

// Both request paths share one wait: a request whose network access goes
// while it waits ends at once with RequestCancelled, its time-out timer with
// it, and a download leaves no file behind.
TEST_F(HttpTest, RequestsWaitingWhenTheirNetworkAccessGoesEndCancelled)
{
    const QString target = dir.filePath(u"archive.zip"_s);
    server.setHoldResponses(true);
    auto access = std::make_unique<QNetworkAccessManager>();
    auto get = test::startTask(httpGet(*access, QNetworkRequest(server.url(u"/get"_s)), clock, 60s));
    auto fetch =
        test::startTask(downloadToFile(*access, QNetworkRequest(server.url(u"/zip"_s)), target, clock, 60s, 1 << 20));
    ASSERT_TRUE(test::waitUntil([&] { return server.requests().size() == 2; }));
    EXPECT_EQ(clock.activeTimerCount(), 2);

    access.reset();
    EXPECT_THROW(get.wait(), RequestCancelled);
    EXPECT_THROW(fetch.wait(), RequestCancelled);
    EXPECT_EQ(clock.activeTimerCount(), 0);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// A finished reply held while its caller waits on something else (a download
// writing its file) goes with its network access when that goes first; the
// holder then lets it be rather than delete it again.
TEST_F(HttpTest, AFinishedReplyHeldWhileItsNetworkAccessGoesIsNotDeletedTwice)
{
    auto access = std::make_unique<QNetworkAccessManager>();
    OwnedReply reply = test::awaitTask(finishReply(access->get(QNetworkRequest(server.url(u"/get"_s))), clock, 15s));
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->isFinished());
    const QPointer<QNetworkReply> alive(reply.get());
    access.reset();
    EXPECT_FALSE(alive) << "deleted with its manager";
    reply.reset();

    // Held past its manager's life it is deleted by its holder, once.
    access = std::make_unique<QNetworkAccessManager>();
    reply = test::awaitTask(finishReply(access->get(QNetworkRequest(server.url(u"/get"_s))), clock, 15s));
    const QPointer<QNetworkReply> held(reply.get());
    reply.reset();
    EXPECT_FALSE(held);
}
