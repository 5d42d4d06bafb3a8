#include "platform/net/backend/QtNetwork.h"

#include "platform/net/backend/HttpDownload.h"
#include "platform/net/backend/QtHttp.h"

namespace kolu {

QtNetwork::QtNetwork()
    : m_owned(std::make_unique<QNetworkAccessManager>())
    , m_manager(m_owned.get())
{
}

QtNetwork::QtNetwork(QNetworkAccessManager &manager)
    : m_manager(&manager)
{
}

QtNetwork::~QtNetwork() = default;

QNetworkRequest QtNetwork::toRequest(const HttpRequest &request)
{
    QNetworkRequest qt(request.url);
    if (!request.accept.isEmpty())
        qt.setRawHeader("Accept", request.accept);
    if (request.alwaysFromNetwork)
        qt.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    return qt;
}

// Neither is a coroutine of its own: the request holds no reference to this
// object once it is sent, only to the access manager.
QCoro::Task<HttpResponse> QtNetwork::get(HttpRequest request, Clock &clock, std::chrono::milliseconds timeout,
                                         qint64 maxBodyBytes)
{
    return httpGet(*m_manager, toRequest(request), clock, timeout, maxBodyBytes);
}

QCoro::Task<void> QtNetwork::download(HttpRequest request, QString targetPath, Clock &clock,
                                      std::chrono::milliseconds timeout, qint64 maxBytes)
{
    return downloadToFile(*m_manager, toRequest(request), std::move(targetPath), clock, timeout, maxBytes);
}

} // namespace kolu
