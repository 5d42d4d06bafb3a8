// Feeds arbitrary bytes to the readers of the information services' web
// answers. The first byte picks the reader: the prayer-times answer, the
// geocoding answer, the forecast answer or the message feed document. A
// reader may refuse the bytes with its error, never crash, and what it
// accepts must keep its promises.
#include "model/Error.h"
#include "services/info/PrayerTimesService.h"
#include "services/info/RemoteAppMessage.h"
#include "services/info/WeatherService.h"

#include <QDateTime>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void readPrayerTimes(const QByteArray &bytes)
{
    const auto times = kolu::PrayerTimesService::decodeTimes(bytes);
    if (times.empty() || times.size() > 6)
        std::abort();
    for (std::size_t i = 1; i < times.size(); ++i) {
        if (times[i - 1].name >= times[i].name)
            std::abort();
    }
    for (const auto &time : times) {
        if (!time.date.isValid() || time.notificationsEnabled == (time.name == kolu::PrayerName::sunrise))
            std::abort();
    }
}

void readLocation(const QByteArray &bytes)
{
    if (const auto location = kolu::WeatherService::decodeGeocodingAnswer(bytes)) {
        for (const double coordinate : {location->latitude, location->longitude}) {
            const QString text = kolu::WeatherService::coordinateText(coordinate);
            if (std::isfinite(coordinate) && (text.contains(u'e') || text.toDouble() != coordinate))
                std::abort();
        }
    }
}

void readForecast(const QByteArray &bytes)
{
    kolu::WeatherService::decodeForecastAnswer(bytes);
}

void readMessage(const QByteArray &bytes)
{
    const auto message = kolu::RemoteAppMessage::decode(bytes);
    if (message.id != message.id.trimmed() || message.title != message.title.trimmed())
        std::abort();
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    const bool eligible = message.isEligible(57, now);
    if (eligible && (message.id.isEmpty() || message.title.isEmpty() || message.body.isEmpty()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    try {
        switch (data[0] % 4) {
        case 0: readPrayerTimes(bytes); break;
        case 1: readLocation(bytes); break;
        case 2: readForecast(bytes); break;
        case 3: readMessage(bytes); break;
        }
    } catch (const kolu::Error &) {
        // A refused answer is a clear outcome.
    }
    // Also read the bytes as one prayer timing string.
    kolu::PrayerTimesService::date(QString::fromUtf8(bytes));
    return 0;
}
