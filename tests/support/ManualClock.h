#pragma once

#include "model/Clock.h"

#include <QPointer>

#include <vector>

namespace kolu::test {

class ManualClock;

class ManualTimer final : public ClockTimer {
    Q_OBJECT
public:
    ManualTimer(ManualClock *clock, QObject *parent);
    ~ManualTimer() override;

    void start(std::chrono::milliseconds interval, bool repeating) override;
    void stop() override;
    bool isActive() const override { return m_active; }

    qint64 dueAt() const { return m_dueAt; }

private:
    friend class ManualClock;
    void fire();

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
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 3, 14), QTime(9, 0), Qt::UTC));
    ~ManualClock() override;

    QDateTime now() const override;
    ClockTimer *createTimer(QObject *parent) override;

    // Moves time forward, firing every timer that falls due on the way, in
    // order, each at its own moment.
    void advance(std::chrono::milliseconds by);
    // Moves the wall time without firing timers.
    void jumpWallClock(std::chrono::milliseconds by);
    void setNow(const QDateTime &moment);

    // Timers that are running now.
    int activeTimerCount() const;

private:
    friend class ManualTimer;

    QDateTime m_wallAtZero; // wall time at monotonic 0
    qint64 m_monotonicMs = 0;
    std::vector<QPointer<ManualTimer>> m_timers;
};

} // namespace kolu::test
