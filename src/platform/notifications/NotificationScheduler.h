#pragma once

#include "model/Clock.h"
#include "platform/notifications/NotificationServer.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <deque>
#include <utility>
#include <vector>

namespace kolu {

// A notification to show at a moment.
struct NotificationRequest {
    // Names the request; adding another with the same identifier replaces it.
    QString identifier;
    NotificationContent content;
    QDateTime fireDate;
    // Banners with the same non-empty key take each other's place on screen,
    // so one moment never shows as two banners. Empty: no replacement.
    QString replacementKey;
};

// Pending notifications kept in this process, shown through a
// NotificationServer when due. Due times are compared with the wall clock at
// every check, so a suspend or a clock change does not hold them back: a
// request whose moment has passed is shown once, at the next check.
// Additions and removals take effect at once, so "remove, then add" keeps its
// order. Requests live only while the process runs.
class NotificationScheduler : public QObject {
    Q_OBJECT
public:
    NotificationScheduler(NotificationServer &server, Clock &clock, QObject *parent = nullptr);
    ~NotificationScheduler() override;

    // Adds `request`, replacing a pending request with the same identifier.
    void add(NotificationRequest request);
    // Removes the pending requests with these identifiers.
    void removePending(const QStringList &identifiers);
    // Removes every pending request whose identifier begins with one of the
    // prefixes (case-sensitive); an empty list removes none.
    void removePendingWithPrefixes(const QStringList &prefixes);
    // The identifiers of the pending requests, in the order they were added.
    QStringList pendingIdentifiers() const;
    // Shows `content` now.
    void deliver(NotificationContent content, QString replacementKey = {});

    // What the server allows (nothing when no server answers).
    QCoro::Task<NotificationAuthorization> requestAuthorization();

    // Shows every pending request that is due. Runs by itself every second
    // while requests are pending.
    void checkDueRequests();

    // How often pending requests are compared with the wall clock.
    static constexpr std::chrono::milliseconds checkInterval{1000};
    // How many replacement keys are remembered; the oldest go first.
    static constexpr std::size_t rememberedBanners = 64;

private:
    struct Delivery {
        NotificationContent content;
        QString replacementKey;
    };

    void updateTimer();
    void startDeliveries();
    static QCoro::Task<> runDeliveries(QPointer<NotificationScheduler> self);
    quint32 bannerFor(const QString &replacementKey) const;
    void rememberBanner(const QString &replacementKey, quint32 serverId);

    NotificationServer &m_server;
    Clock &m_clock;
    ClockTimer *m_timer;
    std::vector<NotificationRequest> m_pending;
    std::deque<Delivery> m_deliveries;
    bool m_delivering = false;
    std::deque<std::pair<QString, quint32>> m_banners; // replacement key, server id
};

} // namespace kolu
