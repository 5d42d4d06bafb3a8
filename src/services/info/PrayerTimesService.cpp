#include "services/info/PrayerTimesService.h"

#include "model/JsonCoding.h"
#include "platform/net/Http.h"
#include "model/JsonCoding.h"
#include "services/info/ServiceRequest.h"

#include <array>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

struct TimingSource {
    PrayerName prayer;
    QLatin1StringView key;
    bool notificationsEnabled;
};

constexpr std::array<TimingSource, 6> kTimingSources{{
    {PrayerName::fajr, QLatin1StringView("Fajr"), true},
    {PrayerName::sunrise, QLatin1StringView("Sunrise"), false},
    {PrayerName::dhuhr, QLatin1StringView("Dhuhr"), true},
    {PrayerName::asr, QLatin1StringView("Asr"), true},
    {PrayerName::maghrib, QLatin1StringView("Maghrib"), true},
    {PrayerName::isha, QLatin1StringView("Isha"), true},
}};

} // namespace

QString errorSentence(PrayerTimesErrorCase which)
{
    switch (which) {
    case PrayerTimesErrorCase::invalidURL: return u"Prayer location is not valid."_s;
    case PrayerTimesErrorCase::requestFailed: return u"Could not refresh prayer times."_s;
    case PrayerTimesErrorCase::emptyResponse: return u"No prayer times were returned."_s;
    }
    return {};
}

QUrl PrayerTimesService::defaultBaseURL()
{
    return QUrl(u"https://api.aladhan.com"_s);
}

PrayerTimesService::PrayerTimesService(Network &network, Clock &clock, QUrl baseURL)
    : m_network(network)
    , m_clock(clock)
    , m_baseURL(std::move(baseURL))
{
}

QString PrayerTimesService::dayID(const QDateTime &date)
{
    // The path date and the stored day name both follow the zone in force at
    // the call, so they always name the same day.
    return date.toLocalTime().date().toString(u"yyyy-MM-dd"_s);
}

std::optional<QDateTime> PrayerTimesService::date(const QString &text)
{
    if (auto whole = json::decodeDateWithMilliseconds(text))
        return whole;
    const QString firstPart = text.section(u' ', 0, 0).trimmed();
    return json::decodeDateWithMilliseconds(firstPart);
}

std::vector<PrayerTime> PrayerTimesService::decodeTimes(const QByteArray &body)
{
    const QJsonValue document = parseAnswer(body);
    const QJsonValue data = document.toObject().value("data"_L1);
    json::ObjectReader dataReader(data);
    if (!dataReader.ok())
        throw DecodingError(unreadableAnswerText(u"\"data\""_s));
    const QJsonValue timings = data.toObject().value("timings"_L1);
    json::ObjectReader timingsReader(timings);
    if (!timingsReader.ok())
        throw DecodingError(unreadableAnswerText(u"\"timings\""_s));

    std::array<QString, kTimingSources.size()> texts;
    for (std::size_t i = 0; i < kTimingSources.size(); ++i) {
        texts[i] = timingsReader.string(kTimingSources[i].key);
        if (!timingsReader.ok())
            throw DecodingError(unreadableAnswerText(QString(u"\""_s + kTimingSources[i].key + u"\""_s)));
    }

    std::vector<PrayerTime> times;
    for (std::size_t i = 0; i < kTimingSources.size(); ++i) {
        if (const auto moment = date(texts[i]))
            times.push_back({kTimingSources[i].prayer, *moment, kTimingSources[i].notificationsEnabled});
    }
    if (times.empty())
        throw PrayerTimesError(PrayerTimesErrorCase::emptyResponse);
    return times;
}

QCoro::Task<PrayerDay> PrayerTimesService::fetchPrayerDay(PrayerSettings settings, QDateTime date)
{
    const QDate localDay = date.toLocalTime().date();
    const QString pathDate = QString::asprintf("%02d-%02d-%04d", localDay.day(), localDay.month(), localDay.year());
    const auto url = serviceURL(m_baseURL, u"/v1/timingsByCity/"_s + pathDate,
                                {{u"city"_s, settings.city},
                                 {u"country"_s, settings.country},
                                 {u"method"_s, QString::number(settings.method)},
                                 {u"iso8601"_s, u"true"_s}});
    if (!url || !localDay.isValid())
        throw PrayerTimesError(PrayerTimesErrorCase::invalidURL);

    const QString dateID = dayID(date);
    const HttpRequest request{*url, "application/json"};
    const HttpResponse response = co_await httpGet(m_network, request, m_clock, kRequestTimeout, kMaxAnswerBytes);
    if (!response.isSuccess())
        throw PrayerTimesError(PrayerTimesErrorCase::requestFailed);

    PrayerDay day;
    day.times = decodeTimes(response.body);
    day.dateID = dateID;
    day.city = settings.city;
    day.country = settings.country;
    day.method = settings.method;
    day.fetchedAt = m_clock.now();
    co_return day;
}

} // namespace kolu
