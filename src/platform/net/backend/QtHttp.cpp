#include "platform/net/backend/QtHttp.h"

#include "platform/net/backend/ReplyWait.h"

#include <QNetworkReply>

namespace kolu {

QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager &network, QNetworkRequest request, Clock &clock,
                                  std::chrono::milliseconds timeout, qint64 maxBodyBytes)
{
    QNetworkReply *sent = network.get(request);
    bool tooLarge = false;
    QObject::connect(sent, &QNetworkReply::downloadProgress, sent,
                     [&tooLarge, maxBodyBytes, sent](qint64 received, qint64 total) {
                         if (!tooLarge && (received > maxBodyBytes || total > maxBodyBytes)) {
                             tooLarge = true;
                             sent->abort();
                         }
                     });

    const OwnedReply reply = co_await finishReply(sent, clock, timeout);
    if (tooLarge)
        throw AnswerTooLarge();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An HTTP error status is an answer; only failures without one are transport errors.
    if (reply->error() != QNetworkReply::NoError && status == 0)
        throw TransportError(reply->errorString());

    co_return HttpResponse{status, reply->readAll()};
}

} // namespace kolu
