#pragma once

#include "model/Clock.h"
#include "platform/notifications/NotificationServer.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <deque>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace kolu {

// A notification to show at a moment.
struct NotificationRequest {
    // Names the request; adding another with the same identifier replaces it.
    QString identifier;
    NotificationContent content;
    QDateTime fireDate;
    // Requests and immediate banners with the same non-empty key announce one
    // moment: only the first of them is shown. Empty: always shown.
    QString momentKey;
};

// Pending notifications kept in this process, shown through a
// NotificationServer when due. Requests are kept by identifier and by due
// moment, so adding, replacing and removing one costs no scan of the others,
// and a check looks at the earliest only. The scheduler wakes by itself at
// the earliest due moment; as its timer runs on the monotonic clock, a
// suspend or a clock change would hold that wake-up back, so the owner also
// calls checkDueRequests() from its own regular tick: a request whose moment
// has passed is then shown once, at that check.
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
    // As removePendingWithPrefixes(prefixes) followed by add() of each of
    // `requests`, except that a pending request handed back unchanged stays
    // as it is: a refresh of a large calendar costs lookups, not a rebuild.
    void replacePendingWithPrefixes(const QStringList &prefixes, std::vector<NotificationRequest> requests);
    // The identifiers of the pending requests, in the order they were added.
    QStringList pendingIdentifiers() const;
    // Shows `content` now, unless a banner with the same moment key was
    // already shown (or is on its way).
    void deliver(NotificationContent content, QString momentKey = {});

    // What the server allows (nothing when no server answers).
    QCoro::Task<NotificationAuthorization> requestAuthorization();

    // Shows every pending request that is due, in the order of their moments
    // (ties in the order they were added). Cheap when nothing is due.
    void checkDueRequests();

    // The longest the scheduler's own timer waits before looking again.
    static constexpr std::chrono::milliseconds longestWait{std::chrono::hours(1)};
    // How many moment keys are remembered; the oldest go first.
    static constexpr std::size_t rememberedMoments = 64;

private:
    // Due moment (milliseconds since the epoch), then the order of adding.
    using DueKey = std::pair<qint64, quint64>;
    struct Pending {
        NotificationRequest request;
        DueKey due;
    };
    using ById = std::map<QString, Pending>;

    void erase(ById::iterator found);
    void insert(NotificationRequest request);
    void updateTimer();
    void startDeliveries();
    static QCoro::Task<> runDeliveries(QPointer<NotificationScheduler> self);
    // Queues `content` unless its moment was announced, and remembers it.
    void enqueue(NotificationContent content, const QString &momentKey);

    NotificationServer &m_server;
    Clock &m_clock;
    ClockTimer *m_timer;
    ById m_byId;
    std::map<DueKey, ById::iterator> m_byDue;
    quint64 m_added = 0;
    // The due moment the timer was set for; none while it is stopped.
    std::optional<DueKey> m_timerFor;
    std::deque<NotificationContent> m_deliveries;
    bool m_delivering = false;
    // Moments already announced. Remembered rather than replaced on screen:
    // the server may have closed the first banner by the time the second
    // comes (a time-out, or the user), and would then show both.
    std::deque<QString> m_announcedMoments;
};

} // namespace kolu
