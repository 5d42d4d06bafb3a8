#include "services/info/PrayerTimesService.h"

#include "model/Error.h"

#include "AwaitTask.h"
#include "FailureText.h"
#include "LocalHttpServer.h"
#include "ManualClock.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

QByteArray answer(const QByteArray &sunrise = "2024-05-01T05:01:00+02:00")
{
    return R"x({"code":200,"status":"OK","data":{"timings":{
        "Fajr":"2024-05-01T03:30:00+02:00","Sunrise":")x" + sunrise + R"x(",
        "Dhuhr":"2024-05-01T12:45:00+02:00","Asr":"2024-05-01T16:40:00.500+02:00",
        "Maghrib":"2024-05-01T20:29:00+02:00 (CEST)","Isha":"2024-05-01T22:10:00+02:00",
        "Imsak":"2024-05-01T03:20:00+02:00"},"meta":{"method":{"id":3}}}})x";
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// Sets the process time zone for one test.
class ZoneGuard {
public:
    explicit ZoneGuard(const char *zone)
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneGuard()
    {
        m_old.isNull() ? qunsetenv("TZ") : qputenv("TZ", m_old);
        tzset();
    }

private:
    const QByteArray m_old = qgetenv("TZ");
};

class PrayerTimesServiceTest : public ::testing::Test {
protected:
    PrayerTimesService service() { return PrayerTimesService(network, clock, server.url()); }

    PrayerDay fetch(PrayerSettings settings = {u"Berlin"_s, u"Germany"_s, 3}, QDateTime date = utc(2024, 5, 1, 10, 0))
    {
        auto s = service();
        return test::awaitTask(s.fetchPrayerDay(settings, date));
    }

    template<typename E>
    QString failure()
    {
        return test::failureText<E>([&] { fetch(); });
    }

    ZoneGuard zone{"Europe/Berlin"};
    test::LocalHttpServer server;
    test::ManualClock clock;
    QNetworkAccessManager network;
};

} // namespace

// The city goes out untrimmed and percent-encoded, spaces included.
TEST_F(PrayerTimesServiceTest, SendsTheDayAndPlaceAndReadsTheSixTimesInOrder)
{
    server.respond(u"/v1/timingsByCity/01-05-2024"_s, {200, answer()});
    const PrayerDay day = fetch({u" New York "_s, u"A+B & C=D"_s, 5});

    ASSERT_EQ(server.requests().size(), 1);
    const auto &request = server.requests().front();
    EXPECT_EQ(request.path, u"/v1/timingsByCity/01-05-2024"_s);
    const QList<QPair<QString, QString>> query{{u"city"_s, u" New York "_s},
                                               {u"country"_s, u"A+B & C=D"_s},
                                               {u"method"_s, u"5"_s},
                                               {u"iso8601"_s, u"true"_s}};
    EXPECT_EQ(request.queryItems, query);

    EXPECT_EQ(day.dateID, u"2024-05-01"_s);
    EXPECT_EQ(day.country, u"A+B & C=D"_s);
    EXPECT_EQ(day.fetchedAt, clock.now());
    ASSERT_EQ(day.times.size(), 6u);
    const std::vector<PrayerTime> expected{
        {PrayerName::fajr, utc(2024, 5, 1, 1, 30), true},      {PrayerName::sunrise, utc(2024, 5, 1, 3, 1), false},
        {PrayerName::dhuhr, utc(2024, 5, 1, 10, 45), true},    {PrayerName::asr, utc(2024, 5, 1, 14, 40, 0, 500), true},
        {PrayerName::maghrib, utc(2024, 5, 1, 18, 29), true}, {PrayerName::isha, utc(2024, 5, 1, 20, 10), true}};
    EXPECT_EQ(day.times, expected);
}

TEST_F(PrayerTimesServiceTest, TheLocalDayNamesThePathAndTheDay)
{
    ZoneGuard tokyo("Asia/Tokyo");
    server.respond(u"/v1/timingsByCity/02-05-2024"_s, {200, answer()});
    // 20:30 UTC on 1 May is already 2 May in Tokyo.
    const PrayerDay day = fetch({u"Tokyo"_s, u"Japan"_s, 3}, utc(2024, 5, 1, 20, 30));
    EXPECT_EQ(day.dateID, u"2024-05-02"_s);
    EXPECT_EQ(server.requests().front().path, u"/v1/timingsByCity/02-05-2024"_s);
}

TEST_F(PrayerTimesServiceTest, AnUnreadableSunriseLeavesFiveTimes)
{
    server.respond(u"/v1/timingsByCity/01-05-2024"_s, {200, answer("05:01")});
    const PrayerDay day = fetch();
    ASSERT_EQ(day.times.size(), 5u);
    EXPECT_EQ(day.times[0].name, PrayerName::fajr);
    EXPECT_EQ(day.times[1].name, PrayerName::dhuhr);
}

TEST_F(PrayerTimesServiceTest, AnAnswerWithoutTimesGivesItsSentence)
{
    server.respond(u"/v1/timingsByCity/01-05-2024"_s,
                   {200, R"({"data":{"timings":{"Fajr":"","Sunrise":"","Dhuhr":"","Asr":"","Maghrib":"","Isha":""}}})"});
    EXPECT_EQ(failure<PrayerTimesError>(), u"No prayer times were returned."_s);
}

TEST_F(PrayerTimesServiceTest, AnswersThatDoNotDecodeGiveTheDecodersError)
{
    const QList<QByteArray> bodies{
        "<html><body>Bad gateway</body></html>",
        answer().left(80),
        R"({"data":{"timings":{"Fajr":"x","Sunrise":"x","Dhuhr":"x","Asr":"x","Maghrib":"x"}}})",
        R"({"data":{"timings":{"Fajr":5,"Sunrise":"x","Dhuhr":"x","Asr":"x","Maghrib":"x","Isha":"x"}}})",
        QByteArray(R"({"data":{"timings":{"Fajr":")") + QByteArray(2 * 1024 * 1024, 'x') + R"("}}})",
    };
    for (const QByteArray &body : bodies) {
        server.respond(u"/v1/timingsByCity/01-05-2024"_s, {200, body});
        EXPECT_TRUE(test::failsWith<DecodingError>([&] { fetch(); })) << body.left(60).toStdString();
    }
}

TEST_F(PrayerTimesServiceTest, AnAddressThatCannotBeBuiltSendsNothing)
{
    PrayerTimesService broken(network, clock, QUrl(u"not a url"_s));
    EXPECT_EQ(test::failureText<PrayerTimesError>([&] {
                  test::awaitTask(broken.fetchPrayerDay({u"Berlin"_s, u"Germany"_s, 3}, utc(2024, 5, 1, 10, 0)));
              }),
              u"Prayer location is not valid."_s);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST(PrayerTimesDate, ReadsFullDateTimesOnly)
{
    const QDateTime expected(QDate(2024, 5, 1), QTime(4, 21), Qt::UTC);
    EXPECT_EQ(PrayerTimesService::date(u"2024-05-01T07:21:00+03:00"_s), expected);
    EXPECT_EQ(PrayerTimesService::date(u"2024-05-01T04:21:00.000Z"_s), expected);
    EXPECT_EQ(PrayerTimesService::date(u"2024-05-01T07:21:00+03:00 (+03)"_s), expected);
    for (const QString &text : {u" 2024-05-01T07:21:00+03:00"_s, u"04:21 (EEST)"_s, u"2024-05-01"_s,
                                u"2024-02-30T04:21:00Z"_s, u""_s})
        EXPECT_EQ(PrayerTimesService::date(text), std::nullopt) << text.toStdString();
}
