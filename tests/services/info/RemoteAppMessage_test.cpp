#include "services/info/RemoteAppMessage.h"
#include "services/info/RemoteAppMessageConfiguration.h"

#include "model/Error.h"

#include "../ServiceTests.h"

using namespace kolu;
using test::utc;

namespace {

RemoteAppMessage message(int minimum, int maximum)
{
    return {u"m1"_s, u"Hello"_s, u"Body"_s, minimum, maximum, utc(2026, 1, 1, 0, 0), utc(2026, 2, 1, 0, 0, 0, 250)};
}

} // namespace

TEST(RemoteAppMessage, DecodesFromSecureAddressesRefusesTheRestAndBoundsEligibilityInclusiveExpiryExclusive)
{
    const RemoteAppMessage decoded = RemoteAppMessage::decode(R"({"id":" m1\n","title":"  Hello ","body":"Body",
        "minimumBuild":3,"maximumBuild":null,"startsAt":"  ","expiresAt":"2026-02-01T00:00:00.250Z","extra":[1]})");
    EXPECT_EQ(decoded, (RemoteAppMessage{u"m1"_s, u"Hello"_s, u"Body"_s, 3, {}, {}, utc(2026, 2, 1, 0, 0, 0, 250)}));

    const auto offset =
        RemoteAppMessage::decode(R"({"id":"a","title":"b","body":"c","startsAt":"2026-01-01T03:00:00+03:00"})");
    EXPECT_EQ(offset.startsAt, utc(2026, 1, 1, 0, 0));

    const QList<QByteArray> documents{"<html>",
                                      "[]",
                                      R"({"id":"a","title":"b"})",
                                      R"({"id":1,"title":"b","body":"c"})",
                                      R"({"id":"a","title":"b","body":"c","maximumBuild":2.5})",
                                      R"({"id":"a","title":"b","body":"c","startsAt":5})",
                                      R"({"id":"a","title":"b","body":"c","expiresAt":"2026-02-01"})"};
    for (const QByteArray &document : documents)
        EXPECT_THROW(RemoteAppMessage::decode(document), DecodingError) << document.toStdString();

    // Only secure addresses with a host are read from.
    const auto accepted = RemoteAppMessageConfiguration::fromFeedURLString(u"HTTPS://Example.org/feed.json"_s);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->feedURL.host() + accepted->feedURL.path(), u"example.org/feed.json"_s);

    for (const QString &refused : {u""_s, u"http://example.org/feed.json"_s, u"https:///feed.json"_s,
                                   u"example.org/feed.json"_s, u" https://example.org/feed.json"_s})
        EXPECT_FALSE(RemoteAppMessageConfiguration::fromFeedURLString(refused)) << refused.toStdString();
    EXPECT_FALSE(RemoteAppMessageConfiguration::fromFeedURLString(std::nullopt));

    // Eligibility bounds are inclusive and the expiry exclusive.
    const QDateTime inside = utc(2026, 1, 15, 12, 0);
    EXPECT_TRUE(message(57, 57).isEligible(57, inside));
    EXPECT_FALSE(message(58, 60).isEligible(57, inside));
    EXPECT_FALSE(message(50, 56).isEligible(57, inside));
    EXPECT_TRUE(message(1, 99).isEligible(57, utc(2026, 1, 1, 0, 0)));
    EXPECT_FALSE(message(1, 99).isEligible(57, utc(2026, 1, 1, 0, 0).addMSecs(-1)));
    EXPECT_TRUE(message(1, 99).isEligible(57, utc(2026, 2, 1, 0, 0, 0, 249)));
    EXPECT_FALSE(message(1, 99).isEligible(57, utc(2026, 2, 1, 0, 0, 0, 250)));

    EXPECT_TRUE((RemoteAppMessage{u"m"_s, u"t"_s, u"b"_s, {}, {}, {}, {}}).isEligible(0, inside));
    EXPECT_FALSE(RemoteAppMessage::decode(R"({"id":"a","title":"   ","body":"c"})").isEligible(57, inside));
    EXPECT_FALSE((RemoteAppMessage{u""_s, u"t"_s, u"b"_s, {}, {}, {}, {}}).isEligible(0, inside));
    EXPECT_FALSE((RemoteAppMessage{u"m"_s, u"t"_s, u""_s, {}, {}, {}, {}}).isEligible(0, inside));
}
