#include "platform/net/Http.h"

#include "model/Error.h"

#include <qcoro/qcoronetworkreply.h>

#include <QNetworkReply>
#include <QPointer>

#include <memory>

using namespace Qt::StringLiterals;

namespace kolu {

AnswerTooLarge::AnswerTooLarge()
    : DecodingError(u"The answer is too large."_s)
{
}

AnswerTooLarge::~AnswerTooLarge() = default;

std::unique_ptr<ClockTimer> abortOnTimeout(QNetworkReply *reply, Clock &clock, std::chrono::milliseconds timeout,
                                           bool &timedOut)
{
    std::unique_ptr<ClockTimer> timer(clock.createTimer(nullptr));
    QObject::connect(timer.get(), &ClockTimer::timeout, reply, [&timedOut, reply] {
        timedOut = true;
        reply->abort();
    });
    timer->start(timeout, false);
    return timer;
}

QString requestTimedOutText()
{
    return u"The request timed out."_s;
}

QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager &network, QNetworkRequest request, Clock &clock,
                                  std::chrono::milliseconds timeout, qint64 maxBodyBytes)
{
    std::unique_ptr<QNetworkReply> reply(network.get(request));
    bool timedOut = false;
    bool tooLarge = false;
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [&tooLarge, maxBodyBytes, r = reply.get()](qint64 received, qint64 total) {
                         if (!tooLarge && (received > maxBodyBytes || total > maxBodyBytes)) {
                             tooLarge = true;
                             r->abort();
                         }
                     });

    const auto timer = abortOnTimeout(reply.get(), clock, timeout, timedOut);

    co_await qCoro(reply.get()).waitForFinished(std::chrono::milliseconds(-1));
    timer->stop();

    if (timedOut)
        throw TransportError(requestTimedOutText());
    if (tooLarge)
        throw AnswerTooLarge();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An HTTP error status is an answer; only failures without one are transport errors.
    if (reply->error() != QNetworkReply::NoError && status == 0)
        throw TransportError(reply->errorString());

    co_return HttpResponse{status, reply->readAll()};
}

} // namespace kolu
