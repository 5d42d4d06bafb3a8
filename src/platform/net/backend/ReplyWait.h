#pragma once

#include "model/Clock.h"
#include "platform/net/Http.h"

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>

class QNetworkReply;

namespace kolu {

using OwnedReply = std::unique_ptr<QNetworkReply>;

// The wait that every request shares: takes `reply` over and completes with
// it once it has finished, aborting it when `timeout` has passed on `clock`
// (TransportError). The wait also ends when the reply is destroyed with its
// network access manager (RequestCancelled), so a request never leaves its
// caller waiting for good. The caller resumes from the event loop, never
// inside the reply's own signal.
QCoro::Task<OwnedReply> finishReply(QNetworkReply *reply, Clock &clock, std::chrono::milliseconds timeout);

// The sentence of a request that ran out of time.
QString requestTimedOutText();

} // namespace kolu
