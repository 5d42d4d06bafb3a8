#include "shell/WindowPlacementHold.h"

#include "model/Clock.h"

#include <QEvent>
#include <QWidget>

namespace kolu {

WindowPlacementHold::WindowPlacementHold(QWidget *window, Clock &clock)
    : QObject(window)
    , m_window(window)
    , m_end(clock.createTimer(this))
{
    connect(m_end, &ClockTimer::timeout, this, &WindowPlacementHold::release);
    window->installEventFilter(this);
}

void WindowPlacementHold::setTarget(const QRect &client)
{
    m_target = client;
}

void WindowPlacementHold::release()
{
    m_holding = false;
    m_end->stop();
    m_window->removeEventFilter(this);
}

bool WindowPlacementHold::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Show && m_holding && !m_end->isActive())
        m_end->start(kLongest, false);
    // Only what the window system reports of a shown window counts: the
    // program's own placing before the show is no answer from the manager.
    if (watched != m_window || event->type() != QEvent::Move || !event->spontaneous() || !m_holding || !m_target
        || !m_window->isVisible())
        return false;
    // The manager's first placing is the one answered; the window is the
    // user's to move after it.
    const bool elsewhere = m_window->geometry().topLeft() != m_target->topLeft();
    release();
    if (elsewhere)
        m_window->setGeometry(*m_target);
    return false;
}

} // namespace kolu
