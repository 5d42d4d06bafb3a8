#pragma once

#include "model/Clock.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QString>

#include <qcoro/qcorotask.h>

#include <chrono>

namespace kolu {

// Network::download on Qt Network: downloads `request` into the file
// `targetPath`, as that describes.
QCoro::Task<void> downloadToFile(QNetworkAccessManager &network, QNetworkRequest request, QString targetPath,
                                 Clock &clock, std::chrono::milliseconds timeout, qint64 maxBytes);

} // namespace kolu
