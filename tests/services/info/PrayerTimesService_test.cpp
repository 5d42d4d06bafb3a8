#include "services/info/PrayerTimesService.h"
#include "platform/net/backend/QtNetwork.h"

#include "model/Error.h"

#include "../ServiceTests.h"
#include "LocalHttpServer.h"

#include <ctime>

using namespace kolu;
using test::utc;

namespace {

QByteArray answer(const QByteArray &sunrise = "2024-05-01T05:01:00+02:00")
{
    return R"x({"code":200,"status":"OK","data":{"timings":{
        "Fajr":"2024-05-01T03:30:00+02:00","Sunrise":")x"
           + sunrise + R"x(",
        "Dhuhr":"2024-05-01T12:45:00+02:00","Asr":"2024-05-01T16:40:00.500+02:00",
        "Maghrib":"2024-05-01T20:29:00+02:00 (CEST)","Isha":"2024-05-01T22:10:00+02:00",
        "Imsak":"2024-05-01T03:20:00+02:00"},"meta":{"method":{"id":3}}}})x";
}

// Sets the process time zone for one test.
struct ZoneGuard {
    explicit ZoneGuard(const char *zone) { qputenv("TZ", zone), tzset(); }
    ~ZoneGuard() { old.isNull() ? qunsetenv("TZ") : qputenv("TZ", old), tzset(); }
    const QByteArray old = qgetenv("TZ");
};

struct PrayerTimesServiceTest : ::testing::Test {
    PrayerDay fetch(PrayerSettings settings = {u"Berlin"_s, u"Germany"_s, 3}, QDateTime date = utc(2024, 5, 1, 10, 0),
                    PrayerTimesService *from = nullptr)
    {
        return test::awaitTask((from ? *from : service).fetchPrayerDay(settings, date));
    }

    ZoneGuard zone{"Europe/Berlin"};
    test::LocalHttpServer server;
    test::ManualClock clock;
    QtNetwork network;
    PrayerTimesService service{network, clock, server.url()};
};

} // namespace

// The city goes out untrimmed and percent-encoded, spaces included.
TEST_F(PrayerTimesServiceTest, SendsTheDayAndPlaceAndReadsTheTimesInOrderOrFailsWithoutUsableTimes)
{
    server.respond(u"/v1/timingsByCity/01-05-2024"_s, {200, answer()});
    const PrayerDay day = fetch({u" New York "_s, u"A+B & C=D"_s, 5});

    ASSERT_EQ(server.requests().size(), 1);
    const auto &request = server.requests().front();
    EXPECT_EQ(request.path, u"/v1/timingsByCity/01-05-2024"_s);
    const QList<QPair<QString, QString>> query{
        {u"city"_s, u" New York "_s}, {u"country"_s, u"A+B & C=D"_s}, {u"method"_s, u"5"_s}, {u"iso8601"_s, u"true"_s}};
    EXPECT_EQ(request.queryItems, query);

    EXPECT_EQ(std::tuple(day.dateID, day.country, day.fetchedAt),
              std::tuple(u"2024-05-01"_s, u"A+B & C=D"_s, clock.now()));
    const std::vector<PrayerTime> expected{
        {PrayerName::fajr, utc(2024, 5, 1, 1, 30), true},     {PrayerName::sunrise, utc(2024, 5, 1, 3, 1), false},
        {PrayerName::dhuhr, utc(2024, 5, 1, 10, 45), true},   {PrayerName::asr, utc(2024, 5, 1, 14, 40, 0, 500), true},
        {PrayerName::maghrib, utc(2024, 5, 1, 18, 29), true}, {PrayerName::isha, utc(2024, 5, 1, 20, 10), true}};
    EXPECT_EQ(day.times, expected);

    // An unreadable sunrise leaves the other five.
    server.respond(u"/v1/timingsByCity/01-05-2024"_s, {200, answer("05:01")});
    const PrayerDay five = fetch();
    ASSERT_EQ(five.times.size(), 5u);
    EXPECT_EQ(five.times[1].name, PrayerName::dhuhr);

    // The local day names the path and the day: 20:30 UTC on 1 May is 2 May in Tokyo.
    ZoneGuard tokyo("Asia/Tokyo");
    server.respond(u"/v1/timingsByCity/02-05-2024"_s, {200, answer()});
    EXPECT_EQ(fetch({u"Tokyo"_s, u"Japan"_s, 3}, utc(2024, 5, 1, 20, 30)).dateID, u"2024-05-02"_s);
    EXPECT_EQ(server.requests().back().path, u"/v1/timingsByCity/02-05-2024"_s);

    // Answers without usable times fail.
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
    server.respond(
        u"/v1/timingsByCity/01-05-2024"_s,
        {200, R"({"data":{"timings":{"Fajr":"","Sunrise":"","Dhuhr":"","Asr":"","Maghrib":"","Isha":""}}})"});
    EXPECT_EQ(test::failureText<PrayerTimesError>([&] { fetch(); }), u"No prayer times were returned."_s);
    server.respond(u"/v1/timingsByCity/01-05-2024"_s, {500, "{}"}); // an error status, whatever the body says
    EXPECT_EQ(test::failureText<Error>([&] { fetch(); }), u"Could not refresh prayer times."_s);

    // An address that cannot be built sends nothing.
    PrayerTimesService broken(network, clock, QUrl(u"not a url"_s));
    const auto sent = server.requests().size();
    EXPECT_EQ(test::failureText<PrayerTimesError>([&] {
                  fetch({u"Berlin"_s, u"Germany"_s, 3}, utc(2024, 5, 1, 10, 0), &broken);
              }),
              u"Prayer location is not valid."_s);
    EXPECT_EQ(server.requests().size(), sent);

    // Only full date-times are read.
    for (const QString &text :
         {u"2024-05-01T07:21:00+03:00"_s, u"2024-05-01T04:21:00.000Z"_s, u"2024-05-01T07:21:00+03:00 (+03)"_s})
        EXPECT_EQ(PrayerTimesService::date(text), utc(2024, 5, 1, 4, 21)) << text.toStdString();
    for (const QString &text :
         {u" 2024-05-01T07:21:00+03:00"_s, u"04:21 (EEST)"_s, u"2024-05-01"_s, u"2024-02-30T04:21:00Z"_s, u""_s})
        EXPECT_EQ(PrayerTimesService::date(text), std::nullopt) << text.toStdString();
}
