#pragma once

#include <QDateTime>
#include <QObject>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>

namespace kolu {

// A timer whose pace comes from a Clock, so tests can drive it by hand.
class ClockTimer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ClockTimer() override;

    // Starts (or restarts) the timer. A repeating timer fires every
    // `interval`; a single-shot one fires once and becomes inactive.
    virtual void start(std::chrono::milliseconds interval, bool repeating) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

Q_SIGNALS:
    void timeout();
};

// The one source of time. Production uses the wall clock and QTimer; tests
// use a manual clock whose advance() fires due timers.
class Clock {
public:
    virtual ~Clock();

    // The current moment, in UTC.
    virtual QDateTime now() const = 0;

    // A new, stopped timer owned by `parent`.
    virtual ClockTimer *createTimer(QObject *parent) = 0;

    // Completes after `delay` has passed on this clock. Callers that may be
    // gone by then re-check their own lifetime after the co_await.
    QCoro::Task<> sleep(std::chrono::milliseconds delay);
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    ClockTimer *createTimer(QObject *parent) override;

    // The clock that production code uses when none is injected.
    static SystemClock &instance();
};

} // namespace kolu
