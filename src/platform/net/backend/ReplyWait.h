#pragma once

#include "model/Clock.h"
#include "platform/net/Http.h"

#include <qcoro/qcorotask.h>

#include <QNetworkReply>
#include <QPointer>

#include <chrono>
#include <memory>

namespace kolu {

// A reply stays its network access manager's child: a caller that holds a
// finished reply across a later wait (a file being written) may see the
// manager go, and the reply with it. It is deleted here only if still there.
struct ReplyDeleter {
    QPointer<QNetworkReply> alive;
    void operator()(QNetworkReply *reply) const
    {
        if (alive == reply)
            delete reply;
    }
};
using OwnedReply = std::unique_ptr<QNetworkReply, ReplyDeleter>;

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
