#include "services/info/WeatherService.h"

#include "model/JsonCoding.h"
#include "platform/net/Http.h"
#include "services/info/ServiceRequest.h"

#include <QJsonArray>
#include <QJsonObject>

#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

QString errorSentence(WeatherErrorCase which)
{
    switch (which) {
    case WeatherErrorCase::locationNotFound: return u"Weather location not found."_s;
    case WeatherErrorCase::unavailable: return u"Weather is unavailable."_s;
    }
    return {};
}

QUrl WeatherService::defaultGeocodingBaseURL()
{
    return QUrl(u"https://geocoding-api.open-meteo.com"_s);
}

QUrl WeatherService::defaultForecastBaseURL()
{
    return QUrl(u"https://api.open-meteo.com"_s);
}

WeatherService::WeatherService(Network &session, Clock &clock, QUrl geocodingBaseURL, QUrl forecastBaseURL)
    : m_session(session)
    , m_clock(clock)
    , m_geocodingBaseURL(std::move(geocodingBaseURL))
    , m_forecastBaseURL(std::move(forecastBaseURL))
{
}

QString WeatherService::coordinateText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // Fixed notation with no precision asks for the shortest digits that read
    // back as the same double.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (!text.contains(u'.'))
        text += u".0"_s;
    return text;
}

std::optional<OpenMeteoLocation> WeatherService::decodeGeocodingAnswer(const QByteArray &body)
{
    const QJsonValue document = parseAnswer(body);
    if (!document.isObject())
        throw DecodingError(unreadableAnswerText(u"the answer"_s));
    const QJsonValue results = document.toObject().value("results"_L1);
    if (results.isUndefined() || results.isNull())
        return std::nullopt;
    if (!results.isArray())
        throw DecodingError(unreadableAnswerText(u"\"results\""_s));

    // Every result must decode, as the whole list is read before the first is taken.
    std::optional<OpenMeteoLocation> first;
    for (const QJsonValue &item : results.toArray()) {
        json::ObjectReader reader(item);
        OpenMeteoLocation location{reader.string("name"_L1), reader.number("latitude"_L1),
                                   reader.number("longitude"_L1)};
        if (!reader.ok())
            throw DecodingError(unreadableAnswerText(u"a location's \"name\", \"latitude\" or \"longitude\""_s));
        if (!first)
            first = std::move(location);
    }
    return first;
}

std::optional<OpenMeteoCurrent> WeatherService::decodeForecastAnswer(const QByteArray &body)
{
    const QJsonValue document = parseAnswer(body);
    if (!document.isObject())
        throw DecodingError(unreadableAnswerText(u"the answer"_s));
    const QJsonValue current = document.toObject().value("current"_L1);
    if (current.isUndefined() || current.isNull())
        return std::nullopt;
    json::ObjectReader reader(current);
    OpenMeteoCurrent conditions{reader.number("temperature_2m"_L1), reader.integer("weather_code"_L1)};
    if (!reader.ok())
        throw DecodingError(unreadableAnswerText(u"\"temperature_2m\" or \"weather_code\""_s));
    return conditions;
}

QCoro::Task<OpenMeteoLocation> WeatherService::geocode(QString city, QString country)
{
    QStringList parts;
    for (const QString &part : {city.trimmed(), country.trimmed()}) {
        if (!part.isEmpty())
            parts.append(part);
    }
    const QString name = parts.join(u", "_s);
    if (name.isEmpty())
        throw WeatherServiceError(WeatherErrorCase::locationNotFound);

    const auto url =
        serviceURL(m_geocodingBaseURL, u"/v1/search"_s,
                   {{u"name"_s, name}, {u"count"_s, u"1"_s}, {u"language"_s, u"en"_s}, {u"format"_s, u"json"_s}});
    if (!url)
        throw WeatherServiceError(WeatherErrorCase::locationNotFound);

    const HttpRequest request{*url, "application/json"};
    const HttpResponse response = co_await httpGet(m_session, request, m_clock, kRequestTimeout, kMaxAnswerBytes);
    if (!response.isSuccess())
        throw WeatherServiceError(WeatherErrorCase::locationNotFound);

    auto location = decodeGeocodingAnswer(response.body);
    if (!location)
        throw WeatherServiceError(WeatherErrorCase::locationNotFound);
    co_return *location;
}

QCoro::Task<TodayWeather> WeatherService::fetchWeather(QString city, QString country)
{
    const OpenMeteoLocation location = co_await geocode(std::move(city), std::move(country));

    const auto url = serviceURL(m_forecastBaseURL, u"/v1/forecast"_s,
                                {{u"latitude"_s, coordinateText(location.latitude)},
                                 {u"longitude"_s, coordinateText(location.longitude)},
                                 {u"current"_s, u"temperature_2m,weather_code"_s},
                                 {u"temperature_unit"_s, u"celsius"_s},
                                 {u"timezone"_s, u"auto"_s}});
    if (!url)
        throw WeatherServiceError(WeatherErrorCase::unavailable);

    const HttpRequest request{*url, "application/json"};
    const HttpResponse response = co_await httpGet(m_session, request, m_clock, kRequestTimeout, kMaxAnswerBytes);
    if (!response.isSuccess())
        throw WeatherServiceError(WeatherErrorCase::unavailable);

    const auto current = decodeForecastAnswer(response.body);
    if (!current)
        throw WeatherServiceError(WeatherErrorCase::unavailable);
    co_return TodayWeather{location.name, current->temperature, current->weatherCode, m_clock.now()};
}

} // namespace kolu
