#include "ManualClock.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace kolu::test {

ManualTimer::ManualTimer(ManualClock *clock, QObject *parent)
    : ClockTimer(parent)
    , m_clock(clock)
{
}

ManualTimer::~ManualTimer() = default;

void ManualTimer::start(std::chrono::milliseconds interval, bool repeating)
{
    m_active = true;
    m_repeating = repeating;
    m_interval = std::max(interval, std::chrono::milliseconds(0));
    m_dueAt = m_clock->m_monotonicMs + m_interval.count();
}

void ManualTimer::stop()
{
    m_active = false;
}

void ManualTimer::fire()
{
    if (m_repeating)
        m_dueAt += std::max<qint64>(m_interval.count(), 1);
    else
        m_active = false;
    Q_EMIT timeout();
}

ManualClock::ManualClock(QDateTime start)
    : m_wallAtZero(std::move(start))
{
}

ManualClock::~ManualClock() = default;

QDateTime ManualClock::now() const
{
    return m_wallAtZero.addMSecs(m_monotonicMs);
}

ClockTimer *ManualClock::createTimer(QObject *parent)
{
    auto *timer = new ManualTimer(this, parent);
    m_timers.emplace_back(timer);
    return timer;
}

void ManualClock::advance(std::chrono::milliseconds by)
{
    const qint64 target = m_monotonicMs + by.count();
    for (;;) {
        std::erase_if(m_timers, [](const QPointer<ManualTimer> &t) { return t.isNull(); });
        ManualTimer *next = nullptr;
        for (const auto &timer : m_timers) {
            if (timer->isActive() && timer->dueAt() <= target && (!next || timer->dueAt() < next->dueAt()))
                next = timer.data();
        }
        if (!next)
            break;
        m_monotonicMs = std::max(m_monotonicMs, next->dueAt());
        next->fire();
        // Let queued work (coroutine resumptions, queued slots) run at this moment.
        QCoreApplication::processEvents();
    }
    m_monotonicMs = target;
    QCoreApplication::processEvents();
}

void ManualClock::jumpWallClock(std::chrono::milliseconds by)
{
    m_wallAtZero = m_wallAtZero.addMSecs(by.count());
}

void ManualClock::setNow(const QDateTime &moment)
{
    m_wallAtZero = moment.addMSecs(-m_monotonicMs);
}

int ManualClock::activeTimerCount() const
{
    return static_cast<int>(
        std::count_if(m_timers.begin(), m_timers.end(), [](const auto &t) { return t && t->isActive(); }));
}

} // namespace kolu::test
