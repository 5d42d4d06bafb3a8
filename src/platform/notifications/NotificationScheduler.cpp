#include "platform/notifications/NotificationScheduler.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace kolu {

NotificationScheduler::NotificationScheduler(NotificationServer &server, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_clock(clock)
    , m_timer(clock.createTimer(this))
{
    connect(m_timer, &ClockTimer::timeout, this, [this] {
        // Early, late or on time (the wall clock may have moved meanwhile):
        // show what is due and wait for the next.
        m_timerFor.reset();
        checkDueRequests();
    });
}

NotificationScheduler::~NotificationScheduler() = default;

namespace {

// Where a moment sorts among the due times; one that is not valid is due at once.
qint64 dueMoment(const QDateTime &fireDate)
{
    return fireDate.isValid() ? fireDate.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

bool sameRequest(const NotificationRequest &a, const NotificationRequest &b)
{
    return a.identifier == b.identifier && dueMoment(a.fireDate) == dueMoment(b.fireDate) && a.content == b.content
           && a.momentKey == b.momentKey;
}

} // namespace

void NotificationScheduler::add(NotificationRequest request)
{
    insert(std::move(request));
    updateTimer();
}

void NotificationScheduler::insert(NotificationRequest request)
{
    const auto found = m_byId.find(request.identifier);
    if (found != m_byId.end())
        erase(found);
    const DueKey due{dueMoment(request.fireDate), m_added++};
    QString identifier = request.identifier;
    const auto placed = m_byId.emplace(std::move(identifier), Pending{std::move(request), due}).first;
    m_byDue.emplace(due, placed);
}

void NotificationScheduler::replacePendingWithPrefixes(const QStringList &prefixes,
                                                       std::vector<NotificationRequest> requests)
{
    // The last request of an identifier wins, as with add().
    QHash<QString, const NotificationRequest *> incoming;
    incoming.reserve(qsizetype(requests.size()));
    for (const NotificationRequest &request : requests)
        incoming.insert(request.identifier, &request);
    for (const QString &prefix : prefixes) {
        auto it = m_byId.lower_bound(prefix);
        while (it != m_byId.end() && it->first.startsWith(prefix)) {
            const auto handedBack = incoming.constFind(it->first);
            if (handedBack != incoming.constEnd() && sameRequest(**handedBack, it->second.request)) {
                ++it;
                continue;
            }
            m_byDue.erase(it->second.due);
            it = m_byId.erase(it);
        }
    }
    for (NotificationRequest &request : requests) {
        const auto pending = m_byId.find(request.identifier);
        if (pending != m_byId.end() && sameRequest(pending->second.request, request))
            continue;
        insert(std::move(request));
    }
    updateTimer();
}

void NotificationScheduler::erase(ById::iterator found)
{
    m_byDue.erase(found->second.due);
    m_byId.erase(found);
}

void NotificationScheduler::removePending(const QStringList &identifiers)
{
    for (const QString &identifier : identifiers) {
        const auto found = m_byId.find(identifier);
        if (found != m_byId.end())
            erase(found);
    }
    updateTimer();
}

void NotificationScheduler::removePendingWithPrefixes(const QStringList &prefixes)
{
    // Identifiers sharing a prefix sit together in the identifier order.
    for (const QString &prefix : prefixes) {
        auto it = m_byId.lower_bound(prefix);
        while (it != m_byId.end() && it->first.startsWith(prefix)) {
            m_byDue.erase(it->second.due);
            it = m_byId.erase(it);
        }
    }
    updateTimer();
}

QStringList NotificationScheduler::pendingIdentifiers() const
{
    std::vector<std::pair<quint64, const QString *>> added;
    added.reserve(m_byId.size());
    for (const auto &[identifier, pending] : m_byId)
        added.emplace_back(pending.due.second, &identifier);
    std::sort(added.begin(), added.end());
    QStringList identifiers;
    identifiers.reserve(static_cast<qsizetype>(added.size()));
    for (const auto &entry : added)
        identifiers.append(*entry.second);
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
    const qint64 now = m_clock.now().toMSecsSinceEpoch();
    // Requests that fell due together (after a suspend, say) are shown in the
    // order of their moments, ties in the order they were added.
    bool anyDue = false;
    while (!m_byDue.empty() && m_byDue.begin()->first.first <= now) {
        const ById::iterator found = m_byDue.begin()->second;
        m_byDue.erase(m_byDue.begin());
        NotificationRequest request = std::move(found->second.request);
        m_byId.erase(found);
        enqueue(std::move(request.content), request.momentKey);
        anyDue = true;
    }
    if (anyDue || !m_timer->isActive())
        updateTimer();
    startDeliveries();
}

void NotificationScheduler::updateTimer()
{
    if (m_byDue.empty()) {
        m_timer->stop();
        m_timerFor.reset();
        return;
    }
    const DueKey earliest = m_byDue.begin()->first;
    if (m_timer->isActive() && m_timerFor == earliest)
        return;
    const qint64 ahead = earliest.first - m_clock.now().toMSecsSinceEpoch();
    const qint64 wait = std::clamp<qint64>(ahead, 0, longestWait.count());
    m_timerFor = earliest;
    m_timer->start(std::chrono::milliseconds(wait), false);
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
