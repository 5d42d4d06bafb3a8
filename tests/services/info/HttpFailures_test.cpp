// Every service that fetches over HTTP turns an error status into its own
// status sentence, whatever the body says (the forecast's is shown by the
// app state's weather test).
#include "services/info/PrayerTimesService.h"
#include "services/info/UpdateFeed.h"
#include "services/info/WeatherService.h"

#include "../ServiceTests.h"
#include "LocalHttpServer.h"

using namespace kolu;

TEST(HttpFailures, AnErrorStatusBecomesTheServicesSentence)
{
    test::LocalHttpServer server;
    test::ManualClock clock;
    QNetworkAccessManager network;
    WeatherService weather(network, clock, server.url(), server.url());
    PrayerTimesService prayers(network, clock, server.url());
    const struct {
        QString path;
        int status;
        QByteArray body;
        std::function<void()> fetch;
        QString sentence;
    } cases[] = {
        {u"/v1/search"_s, 503, R"({"results":[{"name":"Berlin","latitude":52.5,"longitude":13}]})",
         [&] { test::awaitTask(weather.fetchWeather(u"Berlin"_s, {})); }, u"Weather location not found."_s},
        {u"/v1/timingsByCity/01-05-2024"_s, 500, "{}",
         [&] {
             test::awaitTask(prayers.fetchPrayerDay({u"Berlin"_s, u"Germany"_s, 3}, test::utc(2024, 5, 1, 10)));
         },
         u"Could not refresh prayer times."_s},
        {u"/feed.xml"_s, 404, "gone",
         [&] { test::awaitTask(fetchUpdateFeed(network, server.url(u"/feed.xml"_s), clock, 30s)); },
         u"The update feed answered with status 404."_s},
    };
    for (const auto &c : cases) {
        server.respond(c.path, {c.status, c.body});
        EXPECT_EQ(test::failureText<Error>(c.fetch), c.sentence) << c.path.toStdString();
    }
}
