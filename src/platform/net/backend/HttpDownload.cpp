#include "platform/net/backend/HttpDownload.h"

#include "model/Error.h"
#include "platform/net/Http.h"
#include "platform/net/backend/ReplyWait.h"
#include "platform/net/backend/StreamedFile.h"

#include <qcoro/qcorofuture.h>

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
    // A failure on the way (a time-out included) discards the file with it.
    StreamedFile file(targetPath);

    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *sent = network.get(request);
    bool tooLarge = false;
    qint64 received = 0;

    // A declared length over the bound stops the download before the body.
    QObject::connect(sent, &QNetworkReply::metaDataChanged, sent, [&tooLarge, maxBytes, r = sent] {
        if (isRedirect(r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()))
            return;
        if (r->header(QNetworkRequest::ContentLengthHeader).toLongLong() > maxBytes) {
            tooLarge = true;
            r->abort();
        }
    });
    // Handed on as it arrives, so a large archive never sits in memory whole.
    QObject::connect(sent, &QNetworkReply::readyRead, sent, [&file, &tooLarge, &received, maxBytes, r = sent] {
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

    const OwnedReply reply = co_await finishReply(sent, clock, timeout);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray rest = tooLarge ? QByteArray() : reply->readAll();
    received += rest.size();
    tooLarge = tooLarge || received > maxBytes;
    const bool badStatus = status != 0 && (status < 200 || status > 299);
    if (tooLarge || badStatus || reply->error() != QNetworkReply::NoError) {
        co_await file.discard();
        if (tooLarge)
            throw AnswerTooLarge();
        if (badStatus)
            throw HttpStatusError(status);
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
