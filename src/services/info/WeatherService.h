#pragma once

#include "model/Clock.h"
#include "model/Error.h"
#include "model/Records.h"

#include <QByteArray>
#include "platform/net/Http.h"
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <optional>

namespace kolu {

enum class WeatherErrorCase { locationNotFound, unavailable };
QString errorSentence(WeatherErrorCase which);
using WeatherServiceError = ServiceError<WeatherErrorCase>;

// The place the geocoder found for a name.
struct OpenMeteoLocation {
    QString name;
    double latitude = 0;
    double longitude = 0;

    friend bool operator==(const OpenMeteoLocation &, const OpenMeteoLocation &) = default;
};

// The current conditions of a forecast answer.
struct OpenMeteoCurrent {
    double temperature = 0; // degrees Celsius
    int weatherCode = 0;

    friend bool operator==(const OpenMeteoCurrent &, const OpenMeteoCurrent &) = default;
};

// Fetches the current temperature and weather code for a place: a geocoding
// request turns the name into coordinates, then a forecast request reads the
// current conditions there. Keeps no state between calls.
class WeatherService {
public:
    static QUrl defaultGeocodingBaseURL();
    static QUrl defaultForecastBaseURL();

    explicit WeatherService(Network &session, Clock &clock = SystemClock::instance(),
                            QUrl geocodingBaseURL = defaultGeocodingBaseURL(),
                            QUrl forecastBaseURL = defaultForecastBaseURL());

    // Throws WeatherServiceError, or the transport's or the decoder's own error.
    QCoro::Task<TodayWeather> fetchWeather(QString city, QString country);

    // Reads a geocoding answer: its first result, or nothing when it has
    // none. Throws DecodingError for a body that does not decode.
    static std::optional<OpenMeteoLocation> decodeGeocodingAnswer(const QByteArray &body);
    // Reads a forecast answer: its current conditions, or nothing when it
    // has none. Throws DecodingError for a body that does not decode.
    static std::optional<OpenMeteoCurrent> decodeForecastAnswer(const QByteArray &body);

    // The shortest decimal text that reads back as `value`, never in
    // exponent form; a whole number keeps one decimal ("51.0").
    static QString coordinateText(double value);

private:
    QCoro::Task<OpenMeteoLocation> geocode(QString city, QString country);

    Network &m_session;
    Clock &m_clock;
    QUrl m_geocodingBaseURL;
    QUrl m_forecastBaseURL;
};

} // namespace kolu
