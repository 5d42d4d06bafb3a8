#include "platform/net/Http.h"
#include "platform/net/HttpDownload.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "LocalHttpServer.h"
#include "ManualClock.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// Both request paths share one wait: a request whose network access goes
// while it waits ends at once with RequestCancelled, its time-out timer with
// it, and a download leaves no file behind.
TEST(ReplyWait, RequestsWaitingWhenTheirNetworkAccessGoesEndCancelled)
{
    test::LocalHttpServer server;
    test::ManualClock clock;
    QTemporaryDir dir;
    const QString target = dir.filePath(u"archive.zip"_s);
    server.setHoldResponses(true);
    auto network = std::make_unique<QNetworkAccessManager>();
    auto get = test::startTask(httpGet(*network, QNetworkRequest(server.url(u"/get"_s)), clock, 60s));
    auto download = test::startTask(downloadToFile(*network, QNetworkRequest(server.url(u"/zip"_s)), target, clock, 60s, 1 << 20));
    ASSERT_TRUE(test::waitUntil([&] { return server.requests().size() == 2; }));
    EXPECT_EQ(clock.activeTimerCount(), 2);

    network.reset();
    EXPECT_THROW(get.wait(), RequestCancelled);
    EXPECT_THROW(download.wait(), RequestCancelled);
    EXPECT_EQ(clock.activeTimerCount(), 0);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}
