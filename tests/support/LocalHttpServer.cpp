#include "LocalHttpServer.h"

#include <QTcpSocket>
#include <QUrlQuery>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace kolu::test {

QString RecordedRequest::queryValue(const QString &key) const
{
    for (const auto &[k, v] : queryItems) {
        if (k == key)
            return v;
    }
    return {};
}

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    for (const auto &[k, v] : headers) {
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    }
    return {};
}

LocalHttpServer::LocalHttpServer(QObject *parent)
    : QObject(parent)
{
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("cannot listen on 127.0.0.1");
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onNewConnection);
}

LocalHttpServer::~LocalHttpServer() = default;

QUrl LocalHttpServer::url(const QString &pathAndQuery) const
{
    return QUrl(u"http://127.0.0.1:%1%2"_s.arg(port()).arg(pathAndQuery));
}

quint16 LocalHttpServer::port() const
{
    return m_server.serverPort();
}

void LocalHttpServer::respond(const QString &path, CannedResponse response)
{
    m_responses.insert(path, std::move(response));
}

void LocalHttpServer::setHandler(Handler handler)
{
    m_handler = std::move(handler);
}

void LocalHttpServer::setHoldResponses(bool hold)
{
    m_hold = hold;
}

void LocalHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;

    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    RecordedRequest request;
    qsizetype contentLength = 0;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        if (line.left(colon).trimmed().compare("content-length", Qt::CaseInsensitive) == 0)
            contentLength = line.mid(colon + 1).trimmed().toLongLong();
    }
    if (buffer.size() < headerEnd + 4 + contentLength)
        return; // wait for the rest of the body
    request.body = buffer.mid(headerEnd + 4, contentLength);
    buffer.clear();

    const QUrl target(u"http://localhost"_s + QString::fromUtf8(requestLine.value(1)));
    request.path = target.path(QUrl::FullyDecoded);
    const QUrlQuery query(target);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded))
        request.queryItems.append({key, value});

    m_requests.append(request);
    if (m_hold)
        m_held.append({socket, request});
    else
        answer(socket, request);
}

int LocalHttpServer::answerHeld(const std::function<bool(const RecordedRequest &)> &which)
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

void LocalHttpServer::answer(QTcpSocket *socket, const RecordedRequest &request)
{
    std::optional<CannedResponse> response;
    if (m_handler)
        response = m_handler(request);
    if (!response) {
        const auto it = m_responses.constFind(request.path);
        response = it != m_responses.constEnd() ? *it : CannedResponse{404, "not found", {}};
    }

    QByteArray head = "HTTP/1.1 " + QByteArray::number(response->status) + " Canned\r\n";
    for (const auto &[name, value] : response->headers)
        head += name + ": " + value + "\r\n";
    head += "Content-Length: " + QByteArray::number(response->body.size()) + "\r\nConnection: close\r\n\r\n";
    socket->write(head + response->body);
    socket->disconnectFromHost();
}

} // namespace kolu::test
