#pragma once

#include "platform/net/Http.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>

#include <memory>

namespace kolu {

// The network on Qt Network: one access manager of its own, or one the
// caller owns (tests that watch or redirect its requests).
class QtNetwork final : public Network {
public:
    QtNetwork();
    explicit QtNetwork(QNetworkAccessManager &manager);
    ~QtNetwork() override;

    QCoro::Task<HttpResponse> get(HttpRequest request, Clock &clock, std::chrono::milliseconds timeout,
                                  qint64 maxBodyBytes) override;
    QCoro::Task<void> download(HttpRequest request, QString targetPath, Clock &clock, std::chrono::milliseconds timeout,
                               qint64 maxBytes) override;

    QNetworkAccessManager &manager() { return *m_manager; }

    static QNetworkRequest toRequest(const HttpRequest &request);

private:
    std::unique_ptr<QNetworkAccessManager> m_owned;
    QNetworkAccessManager *m_manager;
};

} // namespace kolu
