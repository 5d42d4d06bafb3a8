#pragma once

#include "model/Clock.h"
#include "model/Error.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <utility>

namespace kolu {

struct HttpResponse {
    int statusCode = 0;
    QByteArray body;

    bool isSuccess() const { return statusCode >= 200 && statusCode < 300; }
};

// What a request asks for: the address, the kinds of answer accepted (the
// Accept header, none when empty), and whether a cached answer may serve.
struct HttpRequest {
    explicit HttpRequest(QUrl address, QByteArray acceptedTypes = {})
        : url(std::move(address))
        , accept(std::move(acceptedTypes))
    {
    }

    QUrl url;
    QByteArray accept;
    bool alwaysFromNetwork = false;
};

// A server that answered with an HTTP error status: it was reached, so the
// network is not the cause.
class HttpStatusError : public TransportError {
public:
    explicit HttpStatusError(int status);
    ~HttpStatusError() override;
};

// An answer abandoned because it grew past the caller's bound.
class AnswerTooLarge : public DecodingError {
public:
    AnswerTooLarge();
    ~AnswerTooLarge() override;
};

// A request that ended because its network access went away (the services
// that made it are being torn down). Its callers' owners may be gone too, so
// nothing that catches it may touch them.
class RequestCancelled : public TransportError {
public:
    RequestCancelled();
    ~RequestCancelled() override;
};

// Answers larger than this are not read unless a caller allows more.
inline constexpr qint64 kDefaultMaxHttpBody = 16 * 1024 * 1024;

// The network as the services use it. The program's comes from the network
// module (platform/net/NetModule.h), loaded by the first request; tests use
// the module's implementation directly. Destroying it ends every request it
// still runs with RequestCancelled.
class Network {
public:
    Network() = default;
    Network(const Network &) = delete;
    Network &operator=(const Network &) = delete;
    virtual ~Network();

    // Sends a GET and completes with the answer, whatever its status. A
    // request that cannot be completed (no connection, a time-out on
    // `clock`) throws TransportError with the platform's message; an answer
    // of more than `maxBodyBytes` is abandoned as soon as that is known and
    // throws AnswerTooLarge.
    virtual QCoro::Task<HttpResponse> get(HttpRequest request, Clock &clock, std::chrono::milliseconds timeout,
                                          qint64 maxBodyBytes) = 0;

    // Downloads `request` into the file `targetPath`. The body goes to a
    // temporary file beside it, which replaces `targetPath` only once the
    // whole body has arrived, so a failed download never leaves a partial
    // file behind and never destroys the previous one. Redirects are followed
    // unless they lead to a less safe scheme. The file is written, synced and
    // renamed on a worker thread.
    //
    // An HTTP status outside 200 to 299 throws HttpStatusError; a failure on
    // the way (no connection, a broken-off body), a time-out on `clock` and a
    // file that cannot be written throw TransportError. An answer of more
    // than `maxBytes` is abandoned as soon as that is known and throws
    // AnswerTooLarge. An answer that is not HTTP is accepted.
    virtual QCoro::Task<void> download(HttpRequest request, QString targetPath, Clock &clock,
                                       std::chrono::milliseconds timeout, qint64 maxBytes) = 0;
};

inline QCoro::Task<HttpResponse> httpGet(Network &network, HttpRequest request, Clock &clock,
                                         std::chrono::milliseconds timeout, qint64 maxBodyBytes = kDefaultMaxHttpBody)
{
    return network.get(std::move(request), clock, timeout, maxBodyBytes);
}

inline QCoro::Task<void> downloadToFile(Network &network, HttpRequest request, QString targetPath, Clock &clock,
                                        std::chrono::milliseconds timeout, qint64 maxBytes)
{
    return network.download(std::move(request), std::move(targetPath), clock, timeout, maxBytes);
}

} // namespace kolu
