#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QUrl>

#include <functional>
#include <optional>

class QTcpSocket;

namespace kolu::test {

struct RecordedRequest {
    QByteArray method;
    QString path;                              // decoded, without the query
    QList<QPair<QString, QString>> queryItems; // decoded, in order
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QString queryValue(const QString &key) const;
    QByteArray header(const QByteArray &name) const; // case-insensitive
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

    explicit LocalHttpServer(QObject *parent = nullptr);
    ~LocalHttpServer() override;

    // The server's address joined with `path` ("/x?y=1").
    QUrl url(const QString &pathAndQuery = QStringLiteral("/")) const;
    quint16 port() const;

    // The answer for requests to `path` (query ignored).
    void respond(const QString &path, CannedResponse response);
    // Asked first for every request; an empty result falls through to the
    // canned responses, then to 404.
    void setHandler(Handler handler);
    // While held, requests are recorded but not answered (for time-outs and
    // for answering in another order).
    void setHoldResponses(bool hold);
    // Answers the held requests that `which` picks, in arrival order; returns
    // how many.
    int answerHeld(const std::function<bool(const RecordedRequest &)> &which);

    const QList<RecordedRequest> &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const RecordedRequest &request);

    QTcpServer m_server;
    QMap<QString, CannedResponse> m_responses;
    Handler m_handler;
    bool m_hold = false;
    QList<RecordedRequest> m_requests;
    QMap<QTcpSocket *, QByteArray> m_buffers;
    QList<QPair<QPointer<QTcpSocket>, RecordedRequest>> m_held;
};

} // namespace kolu::test
