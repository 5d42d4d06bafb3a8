#include "shell/rail/EdgeNotificationRingsClock.h"

#include "shell/rules/RingPhase.h"

#include <QEvent>
#include <QWidget>

#include <chrono>

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

void RingClock::hold(const QObject *holder)
{
    m_holders.insert(holder);
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
        RingClock::shared().hold(this);
    else
        RingClock::shared().release(this);
}

} // namespace kolu
