#include "platform/net/HttpDownload.h"

#include "model/Error.h"
#include "platform/net/Http.h"
#include "platform/net/StreamedFile.h"

#include <qcoro/qcorofuture.h>
#include <qcoro/qcoronetworkreply.h>

#include <QNetworkReply>

#include <memory>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

bool isRedirect(int status)
{
    return status >= 300 && status < 400;
}

} // namespace

QCoro::Task<void> downloadToFile(QNetworkAccessManager &network, QNetworkRequest request, QString targetPath,
                                 Clock &clock, std::chrono::milliseconds timeout, qint64 maxBytes)
{
    StreamedFile file(targetPath);

    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(network.get(request));
    bool timedOut = false;
    bool tooLarge = false;
    qint64 received = 0;

    // A declared length over the bound stops the download before the body.
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(),
                     [&tooLarge, maxBytes, r = reply.get()] {
                         if (isRedirect(r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()))
                             return;
                         if (r->header(QNetworkRequest::ContentLengthHeader).toLongLong() > maxBytes) {
                             tooLarge = true;
                             r->abort();
                         }
                     });
    // Handed on as it arrives, so a large archive never sits in memory whole.
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(),
                     [&file, &tooLarge, &received, maxBytes, r = reply.get()] {
                         const QByteArray chunk = r->readAll();
                         // The body of a redirect that is being followed is not part of the file.
                         if (tooLarge || isRedirect(r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()))
                             return;
                         received += chunk.size();
                         if (received > maxBytes) {
                             tooLarge = true;
                             r->abort();
                             return;
                         }
                         file.append(chunk);
                     });

    const auto timer = abortOnTimeout(reply.get(), clock, timeout, timedOut);

    co_await qCoro(reply.get()).waitForFinished(std::chrono::milliseconds(-1));
    timer->stop();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray rest = reply->readAll();
    received += rest.size();
    tooLarge = tooLarge || received > maxBytes;
    const bool failed = timedOut || tooLarge || (status != 0 && (status < 200 || status > 299))
        || reply->error() != QNetworkReply::NoError;
    if (failed) {
        co_await file.discard();
        if (timedOut)
            throw TransportError(requestTimedOutText());
        if (tooLarge)
            throw AnswerTooLarge();
        if (status != 0 && (status < 200 || status > 299))
            throw TransportError(u"The server answered with status %1."_s.arg(status));
        // Without a status this was no HTTP answer (a file address, say): only a
        // failure counts. With a 2xx status an error means the body broke off.
        throw TransportError(reply->errorString());
    }

    file.append(rest);
    const QString error = co_await file.commit();
    if (!error.isEmpty())
        throw TransportError(error);
}

} // namespace kolu
