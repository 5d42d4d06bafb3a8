#pragma once

#include "model/Clock.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace kolu::test {

class ManualClock;

class ManualTimer final : public ClockTimer {
    Q_OBJECT
public:
    ManualTimer(ManualClock *clock, QObject *parent)
        : ClockTimer(parent)
        , m_clock(clock)
    {
    }

    inline void start(std::chrono::milliseconds interval, bool repeating) override;
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

    qint64 dueAt() const { return m_dueAt; }

private:
    friend class ManualClock;
    void fire()
    {
        if (m_repeating)
            m_dueAt += std::max<qint64>(m_interval.count(), 1);
        else
            m_active = false;
        Q_EMIT timeout();
    }

    ManualClock *m_clock;
    bool m_active = false;
    bool m_repeating = false;
    std::chrono::milliseconds m_interval{0};
    qint64 m_dueAt = 0; // on the clock's monotonic scale
};

// A clock that moves only when told. Timers run on a monotonic scale that
// advance() moves; jumpWallClock() moves the wall time alone, as a suspend or
// a clock change does.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 3, 14), QTime(9, 0), Qt::UTC))
        : m_wallAtZero(std::move(start))
    {
    }

    QDateTime now() const override { return m_wallAtZero.addMSecs(m_monotonicMs); }
    ClockTimer *createTimer(QObject *parent) override { return m_timers.emplace_back(new ManualTimer(this, parent)); }

    // Moves time forward, firing every timer that falls due on the way, in
    // order, each at its own moment.
    void advance(std::chrono::milliseconds by)
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
            ++m_timersFired;
            next->fire();
            // Let queued work (coroutine resumptions, queued slots) run at this moment.
            QCoreApplication::processEvents();
        }
        m_monotonicMs = target;
        QCoreApplication::processEvents();
    }
    // Moves the wall time without firing timers.
    void jumpWallClock(std::chrono::milliseconds by) { m_wallAtZero = m_wallAtZero.addMSecs(by.count()); }
    void setNow(const QDateTime &moment) { m_wallAtZero = moment.addMSecs(-m_monotonicMs); }

    // Timers that are running now.
    int activeTimerCount() const
    {
        return int(std::count_if(m_timers.begin(), m_timers.end(), [](const auto &t) { return t && t->isActive(); }));
    }

    // How many times timers fired, over the clock's life: its owners' wake-ups.
    int timersFired() const { return m_timersFired; }

private:
    friend class ManualTimer;

    int m_timersFired = 0;
    QDateTime m_wallAtZero; // wall time at monotonic 0
    qint64 m_monotonicMs = 0;
    std::vector<QPointer<ManualTimer>> m_timers;
};

void ManualTimer::start(std::chrono::milliseconds interval, bool repeating)
{
    m_active = true;
    m_repeating = repeating;
    m_interval = std::max(interval, std::chrono::milliseconds(0));
    m_dueAt = m_clock->m_monotonicMs + m_interval.count();
}

} // namespace kolu::test
