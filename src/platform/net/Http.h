#pragma once

#include "model/Clock.h"
#include "model/Error.h"
#include "platform/net/ReplyWait.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <chrono>

namespace kolu {

struct HttpResponse {
    int statusCode = 0;
    QByteArray body;

    bool isSuccess() const { return statusCode >= 200 && statusCode < 300; }
};

// A server that answered with an HTTP error status: it was reached, so the
// network is not the cause.
class HttpStatusError : public TransportError {
public:
    explicit HttpStatusError(int status);
    ~HttpStatusError() override;
};

// An answer abandoned because it grew past the caller's bound.
class AnswerTooLarge : public DecodingError {
public:
    AnswerTooLarge();
    ~AnswerTooLarge() override;
};

// Answers larger than this are not read unless a caller allows more.
inline constexpr qint64 kDefaultMaxHttpBody = 16 * 1024 * 1024;

// Sends a GET and completes with the answer, whatever its status. A request
// that cannot be completed (no connection, a time-out on `clock`) throws
// TransportError with the platform's message (RequestCancelled when the
// network access manager goes first); an answer of more than
// `maxBodyBytes` is abandoned as soon as that is known and throws
// AnswerTooLarge.
QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager &network, QNetworkRequest request, Clock &clock,
                                  std::chrono::milliseconds timeout, qint64 maxBodyBytes = kDefaultMaxHttpBody);

} // namespace kolu
