#pragma once

#include "model/Clock.h"
#include "model/Error.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>

class QNetworkReply;

namespace kolu {

struct HttpResponse {
    int statusCode = 0;
    QByteArray body;

    bool isSuccess() const { return statusCode >= 200 && statusCode < 300; }
};

// An answer abandoned because it grew past the caller's bound.
class AnswerTooLarge : public DecodingError {
public:
    AnswerTooLarge();
    ~AnswerTooLarge() override;
};

// Aborts `reply` once `timeout` has passed on `clock` and then sets
// `timedOut`. The wait lasts as long as the returned timer lives.
std::unique_ptr<ClockTimer> abortOnTimeout(QNetworkReply *reply, Clock &clock, std::chrono::milliseconds timeout,
                                           bool &timedOut);

// The sentence of a request that ran out of time.
QString requestTimedOutText();

// Answers larger than this are not read unless a caller allows more.
inline constexpr qint64 kDefaultMaxHttpBody = 16 * 1024 * 1024;

// Sends a GET and completes with the answer, whatever its status. A request
// that cannot be completed (no connection, a time-out on `clock`) throws
// TransportError with the platform's message; an answer of more than
// `maxBodyBytes` is abandoned as soon as that is known and throws
// AnswerTooLarge.
QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager &network, QNetworkRequest request, Clock &clock,
                                  std::chrono::milliseconds timeout, qint64 maxBodyBytes = kDefaultMaxHttpBody);

} // namespace kolu
