#include "style/MinuteTicker.h"

#include "model/Clock.h"

#include <QEvent>
#include <QWidget>

namespace kolu {

namespace {
constexpr qint64 kMinuteMs = 60'000;
// Just past the boundary: a countdown to a whole minute already reads one
// minute less, and a timer that wakes a little early still lands past it.
constexpr qint64 kPastBoundaryMs = 50;
} // namespace

MinuteTicker::MinuteTicker(Clock &clock, QWidget *view)
    : QObject(view)
    , m_clock(clock)
    , m_view(view)
    , m_timer(clock.createTimer(this))
{
    connect(m_timer, &ClockTimer::timeout, this, &MinuteTicker::fire);
    view->installEventFilter(this);
    if (view->isVisible())
        arm();
}

bool MinuteTicker::isRunning() const
{
    return m_timer->isActive();
}

bool MinuteTicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::Show)
            arm();
        else if (event->type() == QEvent::Hide)
            m_timer->stop();
    }
    return QObject::eventFilter(watched, event);
}

void MinuteTicker::arm()
{
    // Timed from the wall clock each time, so an early or late wake-up (or a
    // suspend) lands on the next boundary rather than drifting.
    const qint64 intoMinute = (m_clock.now().toMSecsSinceEpoch() - kPastBoundaryMs) % kMinuteMs;
    m_timer->start(std::chrono::milliseconds(kMinuteMs - intoMinute), false);
}

void MinuteTicker::fire()
{
    arm();
    Q_EMIT minutePassed();
}

} // namespace kolu
