#pragma once

#include "model/Clock.h"

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

// Sends a GET and completes with the answer, whatever its status. A request
// that cannot be completed (no connection, a time-out on `clock`) throws
// TransportError with the platform's message.
QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager &network, QNetworkRequest request, Clock &clock,
                                  std::chrono::milliseconds timeout);

} // namespace kolu
