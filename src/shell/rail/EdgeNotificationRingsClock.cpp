#include "shell/rail/EdgeNotificationRingsClock.h"

#include "shell/rules/RingPhase.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace kolu {

namespace {

double steadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

RingClock::RingClock()
{
    m_timer.setInterval(intervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RingClock::tick);
}

RingClock &RingClock::shared()
{
    static RingClock clock;
    return clock;
}

void RingClock::setTimeSource(std::function<double()> seconds)
{
    m_seconds = std::move(seconds);
}

double RingClock::seconds() const
{
    return m_seconds ? m_seconds() : steadySeconds();
}

int RingClock::picture() const
{
    return rings::pictureAt(seconds());
}

void RingClock::hold(const QObject *holder, int step)
{
    m_holders.insert(holder, std::max(step, 1));
    followSteps();
    if (!m_timer.isActive()) {
        m_shown = picture();
        m_timer.start();
    }
}

void RingClock::release(const QObject *holder)
{
    m_holders.remove(holder);
    if (m_holders.isEmpty())
        m_timer.stop();
    followSteps();
}

void RingClock::followSteps()
{
    // Without holders, as for rings that show every picture.
    int step = m_holders.isEmpty() ? 1 : std::numeric_limits<int>::max();
    for (const int each : std::as_const(m_holders))
        step = std::min(step, each);
    const int interval =
        step == 1 ? intervalMs : int(std::lround(1000.0 * step / (rings::cyclesPerSecond * rings::framesPerCycle)));
    // A running timer set to another interval starts its wait again.
    if (interval != m_timer.interval())
        m_timer.setInterval(interval);
}

void RingClock::tick()
{
    const int now = picture();
    if (now == m_shown)
        return;
    m_shown = now;
    Q_EMIT pictureChanged(now);
}

RingsRunner::RingsRunner(QWidget *widget, bool wanted)
    : QObject(widget)
    , m_widget(widget)
    , m_wanted(wanted)
{
    widget->installEventFilter(this);
    connect(&RingClock::shared(), &RingClock::pictureChanged, this, [this] {
        if (isRunning())
            Q_EMIT moved();
    });
    follow();
}

RingsRunner::~RingsRunner()
{
    RingClock::shared().release(this);
}

void RingsRunner::setStep(int step)
{
    if (step == m_step)
        return;
    m_step = step;
    follow();
}

void RingsRunner::setWanted(bool wanted)
{
    if (wanted == m_wanted)
        return;
    m_wanted = wanted;
    follow();
}

bool RingsRunner::isRunning() const
{
    return RingClock::shared().isHeldBy(this);
}

bool RingsRunner::eventFilter(QObject *watched, QEvent *event)
{
    // Shown and hidden as the widget itself or with an ancestor.
    if (watched == m_widget && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        follow();
    return QObject::eventFilter(watched, event);
}

void RingsRunner::follow()
{
    if (m_wanted && m_widget && m_widget->isVisible())
        RingClock::shared().hold(this, m_step);
    else
        RingClock::shared().release(this);
}

} // namespace kolu
