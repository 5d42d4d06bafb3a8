#pragma once

#include "model/Clock.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QString>

#include <qcoro/qcorotask.h>

#include <chrono>

namespace kolu {

// Downloads `request` into the file `targetPath`. The body goes to a
// temporary file beside it, which replaces `targetPath` only once the whole
// body has arrived, so a failed download never leaves a partial file behind
// and never destroys the previous one. Redirects are followed unless they
// lead to a less safe scheme.
//
// The file is written, synced and renamed on a worker thread.
//
// An HTTP status outside 200 to 299 throws HttpStatusError; a failure on the
// way (no connection, a broken-off body), a time-out on `clock` and a file
// that cannot be written throw TransportError. An answer of more than `maxBytes` is abandoned as
// soon as that is known and throws AnswerTooLarge. An answer that is not HTTP
// is accepted.
QCoro::Task<void> downloadToFile(QNetworkAccessManager &network, QNetworkRequest request, QString targetPath,
                                 Clock &clock, std::chrono::milliseconds timeout, qint64 maxBytes);

} // namespace kolu
