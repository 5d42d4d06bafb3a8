#include "platform/net/HttpDownload.h"

#include "model/Error.h"
#include "platform/net/Http.h"

#include <QNetworkReply>
#include <QSaveFile>

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
                                 Clock &clock, std::chrono::milliseconds timeout)
{
    QSaveFile file(targetPath);
    if (!file.open(QIODevice::WriteOnly))
        throw TransportError(file.errorString());

    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *sent = network.get(request);
    bool writeFailed = false;

    // Written as it arrives, so a large archive never sits in memory whole.
    QObject::connect(sent, &QNetworkReply::readyRead, sent,
                     [&file, &writeFailed, r = sent] {
                         const QByteArray chunk = r->readAll();
                         // The body of a redirect that is being followed is not part of the file.
                         if (isRedirect(r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()))
                             return;
                         if (!writeFailed && file.write(chunk) != chunk.size()) {
                             writeFailed = true;
                             r->abort();
                         }
                     });

    const OwnedReply reply = co_await finishReply(sent, clock, timeout);
    if (writeFailed)
        throw TransportError(file.errorString());

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299))
        throw TransportError(u"The server answered with status %1."_s.arg(status));
    // Without a status this was no HTTP answer (a file address, say): only a
    // failure counts. With a 2xx status an error means the body broke off.
    if (reply->error() != QNetworkReply::NoError)
        throw TransportError(reply->errorString());

    const QByteArray rest = reply->readAll();
    if (file.write(rest) != rest.size())
        throw TransportError(file.errorString());
    if (!file.commit())
        throw TransportError(file.errorString());
}

} // namespace kolu
