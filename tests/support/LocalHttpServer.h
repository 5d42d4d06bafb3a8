#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <optional>
#include <stdexcept>

namespace kolu::test {

struct RecordedRequest {
    QByteArray method;
    QString path;                              // decoded, without the query
    QList<QPair<QString, QString>> queryItems; // decoded, in order
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QString queryValue(const QString &key) const
    {
        for (const auto &[k, v] : queryItems) {
            if (k == key)
                return v;
        }
        return {};
    }
    QByteArray header(const QByteArray &name) const // case-insensitive
    {
        for (const auto &[k, v] : headers) {
            if (k.compare(name, Qt::CaseInsensitive) == 0)
                return v;
        }
        return {};
    }
};

struct CannedResponse {
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers{{"Content-Type", "application/json"}};
};

// A small HTTP/1.1 server on 127.0.0.1 that answers from canned responses
// and records every request. Nothing it does leaves loopback.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<std::optional<CannedResponse>(const RecordedRequest &)>;

    explicit LocalHttpServer(QObject *parent = nullptr)
        : QObject(parent)
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0))
            throw std::runtime_error("cannot listen on 127.0.0.1");
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    m_buffers.remove(socket);
                    socket->deleteLater();
                });
            }
        });
    }

    // The server's address joined with `path` ("/x?y=1").
    QUrl url(const QString &pathAndQuery = QStringLiteral("/")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(pathAndQuery));
    }
    quint16 port() const { return m_server.serverPort(); }

    // The answer for requests to `path` (query ignored).
    void respond(const QString &path, CannedResponse response) { m_responses.insert(path, std::move(response)); }
    // Asked first for every request; an empty result falls through to the
    // canned responses, then to 404.
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // While held, requests are recorded but not answered (for time-outs and
    // for answering in another order).
    void setHoldResponses(bool hold) { m_hold = hold; }
    // Answers the held requests that `which` picks, in arrival order; returns
    // how many.
    int answerHeld(const std::function<bool(const RecordedRequest &)> &which)
    {
        int answered = 0;
        for (qsizetype i = 0; i < m_held.size();) {
            if (!which(m_held[i].second)) {
                ++i;
                continue;
            }
            const auto [socket, request] = m_held.takeAt(i);
            if (socket) {
                answer(socket, request);
                ++answered;
            }
        }
        return answered;
    }

    const QList<RecordedRequest> &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

private:
    void onReadyRead(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        RecordedRequest request;
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        for (const QByteArray &line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        }
        const qsizetype contentLength = request.header("content-length").toLongLong();
        if (buffer.size() < headerEnd + 4 + contentLength)
            return; // wait for the rest of the body
        request.body = buffer.mid(headerEnd + 4, contentLength);
        buffer.clear();

        const QUrl target(QStringLiteral("http://localhost") + QString::fromUtf8(requestLine.value(1)));
        request.path = target.path(QUrl::FullyDecoded);
        for (const auto &[key, value] : QUrlQuery(target).queryItems(QUrl::FullyDecoded))
            request.queryItems.append({key, value});
        m_requests.append(request);
        if (m_hold)
            m_held.append({socket, request});
        else
            answer(socket, request);
    }

    void answer(QTcpSocket *socket, const RecordedRequest &request)
    {
        std::optional<CannedResponse> response = m_handler ? m_handler(request) : std::nullopt;
        if (!response)
            response = m_responses.value(request.path, CannedResponse{404, "not found", {}});
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response->status) + " Canned\r\n";
        for (const auto &[name, value] : response->headers)
            head += name + ": " + value + "\r\n";
        head += "Content-Length: " + QByteArray::number(response->body.size()) + "\r\nConnection: close\r\n\r\n";
        socket->write(head + response->body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QString, CannedResponse> m_responses;
    Handler m_handler;
    bool m_hold = false;
    QList<RecordedRequest> m_requests;
    QMap<QTcpSocket *, QByteArray> m_buffers;
    QList<QPair<QPointer<QTcpSocket>, RecordedRequest>> m_held;
};

} // namespace kolu::test
