#include "platform/net/HttpDownload.h"

#include "model/Error.h"
#include "platform/net/Http.h"

#include "AwaitTask.h"
#include "TestFiles.h"
#include "LocalHttpServer.h"
#include "ManualClock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

class HttpDownloadTest : public ::testing::Test {
protected:
    void download(const QString &path, const QString &target)
    {
        test::awaitTask(downloadToFile(network, QNetworkRequest(server.url(path)), target, clock, 90s, 1 << 20));
    }

    test::LocalHttpServer server;
    test::ManualClock clock;
    QNetworkAccessManager network;
    QTemporaryDir dir;
};

} // namespace

TEST_F(HttpDownloadTest, FollowsARedirectAndKeepsOnlyTheFinalBody)
{
    server.respond(u"/share"_s, {302, "<html>moved</html>", {{"Location", server.url(u"/file.zip"_s).toEncoded()}}});
    server.respond(u"/file.zip"_s, {200, QByteArray(200000, 'z'), {}});
    const QString target = dir.filePath(u"a.zip"_s);
    download(u"/share"_s, target);
    EXPECT_EQ(test::readFile(target), QByteArray(200000, 'z'));
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(HttpDownloadTest, AFailedDownloadLeavesThePreviousFileAlone)
{
    const QString target = dir.filePath(u"a.zip"_s);
    QFile previous(target);
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("previous");
    previous.close();

    server.respond(u"/missing"_s, {404, "not here", {}});
    EXPECT_THROW(download(u"/missing"_s, target), TransportError);
    // An answer over the bound is given up.
    server.respond(u"/huge"_s, {200, QByteArray(3 << 20, 'z'), {}});
    EXPECT_THROW(download(u"/huge"_s, target), AnswerTooLarge);
    EXPECT_EQ(test::readFile(target), "previous");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.zip"_s});
}

TEST_F(HttpDownloadTest, AnUnwritableTargetIsATransportError)
{
    server.respond(u"/file.zip"_s, {200, "zip", {}});
    EXPECT_THROW(download(u"/file.zip"_s, dir.filePath(u"no/such/folder/a.zip"_s)), TransportError);
}
