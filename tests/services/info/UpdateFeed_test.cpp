#include "services/info/UpdateFeed.h"

#include "FailureText.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

QByteArray feedOf(const QByteArray &items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\"><channel><title>Kolu</title>"
        + items + "</channel></rss>";
}

QByteArray item(const QByteArray &build, const QByteArray &link, const QByteArray &version = {})
{
    QByteArray xml = "<item><title>Kolu</title><build>" + build + "</build><link>" + link + "</link>";
    if (!version.isEmpty())
        xml += "<version>" + version + "</version>";
    return xml + "</item>";
}

QString failureOf(const QByteArray &feed)
{
    return test::failureText<UpdateError>([&] { newestRelease(feed); });
}

TEST(UpdateFeed, BuildNumbersCompareNumericallyByComponent)
{
    EXPECT_EQ(compareBuildNumbers(u"1.10"_s, u"1.9"_s), 1);
    EXPECT_EQ(compareBuildNumbers(u"1"_s, u"1.0.0"_s), 0);
    EXPECT_EQ(compareBuildNumbers(u"41"_s, u"42"_s), -1);
    EXPECT_EQ(compareBuildNumbers(u"99999999999999999999999"_s, u"99999999999999999999998"_s), 1);
    for (const QString &odd : {u""_s, u"1..2"_s, u"-1"_s, u"1.2b"_s, u"٤٢"_s, QString(65, u'1')})
        EXPECT_EQ(compareBuildNumbers(odd, u"1"_s), std::nullopt) << odd.toStdString();
}

TEST(UpdateFeed, TheNewestValidReleaseWinsWhateverItsPlace)
{
    const QByteArray feed = feedOf(item("40", "https://kolu.test/40", "0.4.0") + item("  42 ", "https://kolu.test/42", "0.4.2")
                                   + item("41", "https://kolu.test/41") + item("99", "javascript:alert(1)")
                                   + item("98", "file:///etc/passwd") + item("beta", "https://kolu.test/beta")
                                   + item("97", "https:///no-host"));
    const UpdateFeedItem newest = newestRelease(feed);
    EXPECT_EQ(newest.build, u"42"_s);
    EXPECT_EQ(newest.version, u"0.4.2"_s);
    EXPECT_EQ(newest.downloadPage, QUrl(u"https://kolu.test/42"_s));

    // Without a display version the build number stands in.
    EXPECT_EQ(newestRelease(feedOf(item("7", "http://kolu.test/7"))).version, u"7"_s);
}

TEST(UpdateFeed, UnusableFeedsGiveAClearSentence)
{
    EXPECT_EQ(failureOf(R"({"build": 42})"), u"The update feed could not be read."_s);
    EXPECT_EQ(failureOf(feedOf(item("42", "https://kolu.test/42")).chopped(10)), u"The update feed could not be read."_s);
    EXPECT_EQ(failureOf(feedOf("")), u"The update feed lists no valid version."_s);
    EXPECT_EQ(failureOf(feedOf(item("x", "https://kolu.test"))), u"The update feed lists no valid version."_s);
}

TEST(UpdateFeed, EntityBombsAreRefused)
{
    QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c) {
        const char previous = char(c - 1);
        bomb += QByteArray("<!ENTITY ") + c + " \"" + QByteArray("&").append(previous).append(';').repeated(10) + "\">";
    }
    bomb += "]><rss><channel><item><build>&j;</build><link>https://kolu.test</link></item></channel></rss>";
    EXPECT_TRUE(test::failsWith<UpdateError>([&] { newestRelease(bomb); }));
}

} // namespace
