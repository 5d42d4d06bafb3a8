#include "platform/notifications/NotificationScheduler.h"

#include <algorithm>

namespace kolu {

NotificationScheduler::NotificationScheduler(NotificationServer &server, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_clock(clock)
    , m_timer(clock.createTimer(this))
{
    connect(m_timer, &ClockTimer::timeout, this, &NotificationScheduler::checkDueRequests);
}

NotificationScheduler::~NotificationScheduler() = default;

void NotificationScheduler::add(NotificationRequest request)
{
    removePending({request.identifier});
    m_pending.push_back(std::move(request));
    updateTimer();
}

void NotificationScheduler::removePending(const QStringList &identifiers)
{
    std::erase_if(m_pending, [&](const NotificationRequest &request) { return identifiers.contains(request.identifier); });
    updateTimer();
}

void NotificationScheduler::removePendingWithPrefixes(const QStringList &prefixes)
{
    std::erase_if(m_pending, [&](const NotificationRequest &request) {
        return std::any_of(prefixes.cbegin(), prefixes.cend(),
                           [&](const QString &prefix) { return request.identifier.startsWith(prefix); });
    });
    updateTimer();
}

QStringList NotificationScheduler::pendingIdentifiers() const
{
    QStringList identifiers;
    identifiers.reserve(static_cast<qsizetype>(m_pending.size()));
    for (const NotificationRequest &request : m_pending)
        identifiers.append(request.identifier);
    return identifiers;
}

void NotificationScheduler::deliver(NotificationContent content, QString momentKey)
{
    enqueue(std::move(content), momentKey);
    startDeliveries();
}

void NotificationScheduler::enqueue(NotificationContent content, const QString &momentKey)
{
    if (!momentKey.isEmpty()) {
        if (std::find(m_announcedMoments.begin(), m_announcedMoments.end(), momentKey) != m_announcedMoments.end())
            return;
        m_announcedMoments.push_back(momentKey);
        while (m_announcedMoments.size() > rememberedMoments)
            m_announcedMoments.pop_front();
    }
    m_deliveries.push_back(std::move(content));
}

QCoro::Task<NotificationAuthorization> NotificationScheduler::requestAuthorization()
{
    return m_server.authorization();
}

void NotificationScheduler::checkDueRequests()
{
    const QDateTime now = m_clock.now();
    // Requests that fell due together (after a suspend, say) are shown in the
    // order of their moments; the stable partition keeps ties in added order.
    const auto firstLater = std::stable_partition(m_pending.begin(), m_pending.end(),
                                                  [&](const NotificationRequest &request) { return request.fireDate <= now; });
    std::vector<NotificationRequest> due(std::make_move_iterator(m_pending.begin()), std::make_move_iterator(firstLater));
    m_pending.erase(m_pending.begin(), firstLater);
    std::stable_sort(due.begin(), due.end(),
                     [](const NotificationRequest &a, const NotificationRequest &b) { return a.fireDate < b.fireDate; });
    for (NotificationRequest &request : due)
        enqueue(std::move(request.content), request.momentKey);
    updateTimer();
    startDeliveries();
}

void NotificationScheduler::updateTimer()
{
    if (m_pending.empty())
        m_timer->stop();
    else if (!m_timer->isActive())
        m_timer->start(checkInterval, true);
}

void NotificationScheduler::startDeliveries()
{
    if (m_delivering || m_deliveries.empty())
        return;
    m_delivering = true;
    runDeliveries(QPointer<NotificationScheduler>(this));
}

// One banner at a time, in the order they were asked for.
QCoro::Task<> NotificationScheduler::runDeliveries(QPointer<NotificationScheduler> self)
{
    while (self && !self->m_deliveries.empty()) {
        NotificationContent content = std::move(self->m_deliveries.front());
        self->m_deliveries.pop_front();
        try {
            co_await self->m_server.notify(std::move(content), 0);
        } catch (...) {
            // Nothing is shown; the next banner is tried all the same.
        }
    }
    if (self)
        self->m_delivering = false;
}

} // namespace kolu
