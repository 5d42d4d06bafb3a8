#pragma once

#include "model/Clock.h"
#include "platform/net/Http.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>

#include <qcoro/qcorotask.h>

#include <chrono>

namespace kolu {

// Network::get on Qt Network: sends a GET and completes with the answer,
// whatever its status, as that describes (RequestCancelled when `network`
// goes first).
QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager &network, QNetworkRequest request, Clock &clock,
                                  std::chrono::milliseconds timeout, qint64 maxBodyBytes = kDefaultMaxHttpBody);

} // namespace kolu
