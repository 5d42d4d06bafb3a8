#include "services/info/WeatherService.h"
#include "platform/net/backend/QtNetwork.h"

#include "model/Error.h"

#include "../ServiceTests.h"
#include "LocalHttpServer.h"

using namespace kolu;

namespace {

constexpr char kBerlin[] = R"({"results":[{"id":2950159,"name":"Berlin","latitude":52.52437,"longitude":13,
    "country":"Germany"}],"generationtime_ms":0.5})";
constexpr char kCurrent[] = R"({"latitude":52.52,"current_units":{"temperature_2m":"°C"},
    "current":{"time":"2026-03-14T09:00","interval":900,"temperature_2m":-3.5,"weather_code":71}})";

struct WeatherServiceTest : ::testing::Test {
    TodayWeather fetch(const QString &city = u"berlin"_s, const QString &country = u"Germany"_s)
    {
        return test::awaitTask(service.fetchWeather(city, country));
    }

    QString failure(const QString &city = u"Berlin"_s, const QString &country = u"Germany"_s)
    {
        return test::failureText<WeatherServiceError>([&] { fetch(city, country); });
    }
    bool undecodable()
    {
        return test::failsWith<DecodingError>([&] { fetch(); });
    }

    test::LocalHttpServer server;
    test::ManualClock clock;
    QtNetwork network;
    WeatherService service{network, clock, server.url(), server.url()};
};

} // namespace

TEST_F(WeatherServiceTest, GeocodesThenReadsTheConditionsAndSaysWhenThePlaceOrTheForecastIsUnusable)
{
    server.respond(u"/v1/search"_s, {200, kBerlin});
    server.respond(u"/v1/forecast"_s, {200, kCurrent});
    const TodayWeather weather = fetch(u"  berlin \n"_s, u" "_s);

    ASSERT_EQ(server.requests().size(), 2);
    const auto &geocoding = server.requests().at(0), &forecast = server.requests().at(1);
    EXPECT_EQ(geocoding.path + forecast.path, u"/v1/search/v1/forecast"_s);
    const QList<QPair<QString, QString>> geocodingQuery{
        {u"name"_s, u"berlin"_s}, {u"count"_s, u"1"_s}, {u"language"_s, u"en"_s}, {u"format"_s, u"json"_s}};
    EXPECT_EQ(geocoding.queryItems, geocodingQuery);

    const QList<QPair<QString, QString>> forecastQuery{{u"latitude"_s, u"52.52437"_s},
                                                       {u"longitude"_s, u"13.0"_s},
                                                       {u"current"_s, u"temperature_2m,weather_code"_s},
                                                       {u"temperature_unit"_s, u"celsius"_s},
                                                       {u"timezone"_s, u"auto"_s}};
    EXPECT_EQ(forecast.queryItems, forecastQuery);

    // The geocoder's spelling, not what was typed.
    EXPECT_EQ(weather, (TodayWeather{u"Berlin"_s, -3.5, 71, clock.now()}));

    fetch(u"Frankfurt am Main"_s, u"Deutschland & Co"_s);
    EXPECT_EQ(server.requests().at(2).queryValue(u"name"_s), u"Frankfurt am Main, Deutschland & Co"_s);

    // An unknown or blank place is not found.
    const QString notFound = u"Weather location not found."_s;
    const auto asked = server.requests().size();
    EXPECT_EQ(failure(u" \t"_s, u"\n"_s), notFound);
    EXPECT_EQ(server.requests().size(), asked) << "a blank place is not asked for";

    for (const QByteArray &body : {QByteArray(R"({"generationtime_ms":0.1})"), QByteArray(R"({"results":[]})")}) {
        server.respond(u"/v1/search"_s, {200, body});
        EXPECT_EQ(failure(), notFound) << body.toStdString();
    }
    server.respond(u"/v1/search"_s, {503, kBerlin}); // an error status, whatever the body says
    EXPECT_EQ(failure(), notFound);

    // A forecast without conditions is unavailable.
    server.respond(u"/v1/search"_s, {200, kBerlin});
    server.respond(u"/v1/forecast"_s, {200, R"({"latitude":52.52})"});
    EXPECT_EQ(failure(), u"Weather is unavailable."_s);
    // A whole weather code written with a decimal is read.
    server.respond(u"/v1/forecast"_s, {200, R"({"current":{"temperature_2m":21,"weather_code":3.0}})"});
    EXPECT_EQ(fetch().weatherCode, 3);

    // Answers that do not decode give the decoder's error.
    const QList<QByteArray> forecasts{"<html></html>",
                                      QByteArray(kCurrent).left(40),
                                      R"({"current":{"temperature_2m":3}})",
                                      R"({"current":{"temperature_2m":3,"weather_code":3.5}})",
                                      R"({"current":{"temperature_2m":"3","weather_code":3}})",
                                      QByteArray(R"({"current":{"x":")") + QByteArray(2 * 1024 * 1024, 'x') + R"("}})"};
    for (const QByteArray &body : forecasts) {
        server.respond(u"/v1/forecast"_s, {200, body});
        EXPECT_TRUE(undecodable()) << body.left(60).toStdString();
    }

    server.respond(u"/v1/forecast"_s, {200, kCurrent});
    for (const QByteArray &body : {QByteArray(R"({"results":[{"name":"Berlin","latitude":52.5}]})"),
                                   QByteArray(R"({"results":[{"name":"A","latitude":1,"longitude":2},{"name":7}]})"),
                                   QByteArray(R"({"results":{}})")}) {
        server.respond(u"/v1/search"_s, {200, body});
        EXPECT_TRUE(undecodable()) << body.toStdString();
    }

    // Coordinates go out as the shortest decimal that reads back.
    const std::pair<double, QString> cases[] = {
        {-0.1275, u"-0.1275"_s}, {0.1 + 0.2, u"0.30000000000000004"_s}, {1e-5, u"0.00001"_s}, {0.0, u"0.0"_s}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(WeatherService::coordinateText(value), text);
}
