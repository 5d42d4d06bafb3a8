#pragma once

#include "model/Clock.h"
#include "model/Error.h"
#include "model/Records.h"

#include <QByteArray>
#include <QDateTime>
#include "platform/net/Http.h"
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <optional>

namespace kolu {

enum class PrayerTimesErrorCase { invalidURL, requestFailed, emptyResponse };
QString errorSentence(PrayerTimesErrorCase which);
using PrayerTimesError = ServiceError<PrayerTimesErrorCase>;

// Fetches one day's prayer times and sunrise for a city from the public
// prayer-times service. Keeps no state between calls.
class PrayerTimesService {
public:
    static QUrl defaultBaseURL();

    explicit PrayerTimesService(Network &network, Clock &clock = SystemClock::instance(),
                                QUrl baseURL = defaultBaseURL());

    // The prayer times of the local calendar day that contains `date`.
    // Throws PrayerTimesError, or the transport's or the decoder's own error.
    QCoro::Task<PrayerDay> fetchPrayerDay(PrayerSettings settings, QDateTime date);

    // "yyyy-MM-dd" of the local day that contains `date`.
    static QString dayID(const QDateTime &date);

    // Reads one timing string: a full date-time with its offset, with or
    // without a fraction, optionally followed by a space and a zone label.
    static std::optional<QDateTime> date(const QString &text);

    // Turns an answer body into the day's times, in the fixed prayer order.
    // Throws DecodingError for a body that does not decode, and
    // PrayerTimesError(emptyResponse) when no time can be read.
    static std::vector<PrayerTime> decodeTimes(const QByteArray &body);

private:
    Network &m_network;
    Clock &m_clock;
    QUrl m_baseURL;
};

} // namespace kolu
