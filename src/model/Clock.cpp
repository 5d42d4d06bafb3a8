#include "model/Clock.h"

#include <qcoro/qcorosignal.h>

#include <QTimer>

namespace kolu {

ClockTimer::~ClockTimer() = default;
Clock::~Clock() = default;

QCoro::Task<> Clock::sleep(std::chrono::milliseconds delay)
{
    std::unique_ptr<ClockTimer> timer(createTimer(nullptr));
    timer->start(delay, false);
    co_await qCoro(timer.get(), &ClockTimer::timeout);
}

namespace {

class WallClockTimer final : public ClockTimer {
public:
    explicit WallClockTimer(QObject *parent)
        : ClockTimer(parent)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &ClockTimer::timeout);
    }

    void start(std::chrono::milliseconds interval, bool repeating) override
    {
        m_timer.setSingleShot(!repeating);
        m_timer.start(interval);
    }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}

ClockTimer *SystemClock::createTimer(QObject *parent)
{
    return new WallClockTimer(parent);
}

SystemClock &SystemClock::instance()
{
    static SystemClock clock;
    return clock;
}

} // namespace kolu
