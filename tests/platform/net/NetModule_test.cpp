// The network module, loaded from the build as the program loads it.
#include "platform/net/NetModule.h"

#include "platform/net/Http.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "FailureText.h"
#include "LocalHttpServer.h"
#include "ManualClock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace kolu {
namespace {

bool hasThreadNamed(const QByteArray &name)
{
    const QStringList threads = QDir(u"/proc/self/task"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &thread : threads) {
        QFile comm(u"/proc/self/task/%1/comm"_s.arg(thread));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name)
            return true;
    }
    return false;
}

// Every symbol the module takes from the program is exported (its failures
// are caught here as the program's own types), and each request reaches the
// server as asked. The module loads once per process, so one case checks
// that making a network loads nothing.
TEST(NetModuleTest, LoadsAtTheFirstRequestAndServesGetsAndDownloads)
{
    test::LocalHttpServer server;
    test::ManualClock clock;
    QTemporaryDir folder;
    server.respond(u"/feed"_s, {200, "answer", {}});
    server.respond(u"/big"_s, {200, QByteArray(64 * 1024, 'x'), {}});
    server.respond(u"/file.zip"_s, {200, QByteArray(5000, 'z'), {}});

    const bool loadedBefore = NetModule::isLoaded();
    std::unique_ptr<Network> network = NetModule::makeNetwork(clock);
    EXPECT_EQ(NetModule::isLoaded(), loadedBefore);

    HttpRequest request{server.url(u"/feed"_s), "text/plain"};
    request.alwaysFromNetwork = true;
    const HttpResponse answer = test::awaitTask(httpGet(*network, request, clock, 15s));
    ASSERT_TRUE(NetModule::isLoaded()) << "the module did not load";
    EXPECT_EQ(answer.statusCode, 200);
    EXPECT_EQ(answer.body, "answer");
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().front().header("accept"), "text/plain");
    EXPECT_EQ(server.requests().front().header("cache-control"), "no-cache");
    EXPECT_EQ(test::awaitTask(httpGet(*network, HttpRequest{server.url(u"/missing"_s)}, clock, 15s)).statusCode, 404);

    EXPECT_EQ(test::failureText<DecodingError>(
                  [&] { test::awaitTask(httpGet(*network, HttpRequest{server.url(u"/big"_s)}, clock, 15s, 1024)); }),
              u"The answer is too large."_s);
    quint16 closedPort = 0;
    {
        test::LocalHttpServer gone;
        closedPort = gone.port();
    }
    const HttpRequest refused{QUrl(u"http://127.0.0.1:%1/"_s.arg(closedPort))};
    EXPECT_THROW(test::awaitTask(httpGet(*network, refused, clock, 15s)), TransportError);

    const QString target = folder.filePath(u"a.zip"_s);
    test::awaitTask(downloadToFile(*network, HttpRequest{server.url(u"/file.zip"_s)}, target, clock, 15s, 1 << 20));
    EXPECT_EQ(QFileInfo(target).size(), 5000);
    EXPECT_THROW(
        test::awaitTask(downloadToFile(*network, HttpRequest{server.url(u"/missing"_s)}, target, clock, 15s, 1 << 20)),
        HttpStatusError);
}

// A request still waiting when its network goes (the services being torn
// down) ends at once with RequestCancelled, its time-out timer with it,
// whether it waited for the module or had been sent.
TEST(NetModuleTest, RequestsOfANetworkThatGoesEndCancelled)
{
    test::LocalHttpServer server;
    test::ManualClock clock;
    server.setHoldResponses(true);

    std::unique_ptr<Network> first = NetModule::makeNetwork(clock);
    std::unique_ptr<Network> second = NetModule::makeNetwork(clock);
    // Each case runs in a process of its own: the module is still loading.
    auto waiting = test::startTask(httpGet(*first, HttpRequest{server.url(u"/early"_s)}, clock, 60s));
    auto sent = test::startTask(httpGet(*second, HttpRequest{server.url(u"/held"_s)}, clock, 60s));
    first.reset();
    EXPECT_THROW(waiting.wait(), RequestCancelled);

    ASSERT_TRUE(test::waitUntil([&] { return server.requests().size() == 1; }));
    EXPECT_EQ(server.requests().front().path, u"/held"_s);
    EXPECT_EQ(clock.activeTimerCount(), 1);
    second.reset();
    EXPECT_THROW(sent.wait(), RequestCancelled);
    EXPECT_EQ(clock.activeTimerCount(), 0);
}

// The module's network holds a thread and its connections while it lives;
// once nothing has been asked of it for a while it goes, and the next request
// makes another.
TEST(NetModuleTest, AnIdleNetworkLetsItsThreadGoAndServesTheNextRequestAnew)
{
    test::LocalHttpServer server;
    test::ManualClock clock;
    server.respond(u"/feed"_s, {200, "answer", {}});
    const QByteArray accessThread = "QNetworkAccessM";
    std::unique_ptr<Network> network = NetModule::makeNetwork(clock);
    auto fetch = [&] { return test::awaitTask(httpGet(*network, HttpRequest{server.url(u"/feed"_s)}, clock, 15s)); };

    EXPECT_EQ(fetch().body, "answer");
    EXPECT_TRUE(hasThreadNamed(accessThread));
    // Only the wait for idleness runs.
    EXPECT_EQ(clock.activeTimerCount(), 1);
    clock.advance(NetModule::kIdleRelease - 1s);
    // A request starts the wait again.
    EXPECT_EQ(fetch().body, "answer");
    clock.advance(NetModule::kIdleRelease - 1s);
    EXPECT_TRUE(hasThreadNamed(accessThread));
    clock.advance(1s);
    EXPECT_TRUE(test::waitUntil([&] { return !hasThreadNamed(accessThread); }));
    EXPECT_EQ(clock.activeTimerCount(), 0);

    EXPECT_EQ(fetch().body, "answer");
    EXPECT_EQ(server.requests().size(), 3);
    EXPECT_TRUE(hasThreadNamed(accessThread));
}

// TLS is set up (Qt's TLS plugins opened, the TLS library read in and
// configured) on the worker that opens the module: the first request no
// longer stalls the main thread doing it.
TEST(NetModuleTest, SetsTlsUpOnTheWorkerThatOpensTheModule)
{
    if (QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + u"/tls"_s).entryList(QDir::Files).isEmpty())
        GTEST_SKIP() << "this Qt has no TLS plugin";
    const auto tlsPluginMapped = [] {
        QFile maps(u"/proc/self/maps"_s);
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/tls/libq");
    };
    // Each case runs in a process of its own.
    ASSERT_FALSE(tlsPluginMapped());
    ASSERT_NE(test::awaitTask(NetModule::backend(), 60s), nullptr);
    EXPECT_TRUE(tlsPluginMapped());
}

} // namespace
} // namespace kolu
