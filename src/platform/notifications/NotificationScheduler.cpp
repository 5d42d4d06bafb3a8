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

void NotificationScheduler::deliver(NotificationContent content, QString replacementKey)
{
    m_deliveries.push_back({std::move(content), std::move(replacementKey)});
    startDeliveries();
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
        m_deliveries.push_back({std::move(request.content), std::move(request.replacementKey)});
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

// One banner at a time, so a banner that replaces another knows the server's
// id of the one before it.
QCoro::Task<> NotificationScheduler::runDeliveries(QPointer<NotificationScheduler> self)
{
    while (self && !self->m_deliveries.empty()) {
        Delivery delivery = std::move(self->m_deliveries.front());
        self->m_deliveries.pop_front();
        const quint32 replaces = self->bannerFor(delivery.replacementKey);
        quint32 serverId = 0;
        try {
            serverId = co_await self->m_server.notify(delivery.content, replaces);
        } catch (...) {
            serverId = 0;
        }
        if (!self)
            co_return;
        self->rememberBanner(delivery.replacementKey, serverId);
    }
    if (self)
        self->m_delivering = false;
}

quint32 NotificationScheduler::bannerFor(const QString &replacementKey) const
{
    if (replacementKey.isEmpty())
        return 0;
    for (const auto &[key, serverId] : m_banners) {
        if (key == replacementKey)
            return serverId;
    }
    return 0;
}

void NotificationScheduler::rememberBanner(const QString &replacementKey, quint32 serverId)
{
    if (replacementKey.isEmpty() || serverId == 0)
        return;
    std::erase_if(m_banners, [&](const auto &entry) { return entry.first == replacementKey; });
    m_banners.emplace_back(replacementKey, serverId);
    while (m_banners.size() > rememberedBanners)
        m_banners.pop_front();
}

} // namespace kolu
