#include "shell/RailHover.h"

#include "model/Clock.h"
#include "platform/x11/PointerMotion.h"
#include "shell/RailFrameState.h"
#include "shell/RailPanel.h"
#include "state/AppState.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace kolu {

using std::chrono::milliseconds;

RailHover::RailHover(AppState &state, RailPanel &panel, Clock &clock, PointerSource pointer, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_panel(panel)
    , m_clock(clock)
    , m_pointer(pointer ? std::move(pointer) : PointerSource([] { return QCursor::pos(); }))
    , m_poll(clock.createTimer(this))
    , m_hide(clock.createTimer(this))
    , m_holdEnd(clock.createTimer(this))
{
    connect(m_poll, &ClockTimer::timeout, this, &RailHover::poll);
    connect(m_hide, &ClockTimer::timeout, this, [this] { m_state.hideToEdge(); });
    connect(m_holdEnd, &ClockTimer::timeout, this, [this] {
        m_holdUntil.reset();
        poll();
    });
    // Pop-ups are windows of their own, shown and hidden by whatever card
    // made them: they are seen as they show, wherever they come from.
    qApp->installEventFilter(this);
    connect(&m_state, &AppState::expandedChanged, this, [this](bool expanded) {
        if (!expanded)
            closePopups();
    });
}

RailHover::~RailHover()
{
    if (m_motion)
        m_motion->disarm();
}

void RailHover::setPointerMotion(PointerMotion *motion)
{
    if (m_motion) {
        m_motion->disarm();
        disconnect(m_motion, nullptr, this, nullptr);
    }
    const bool resting = m_resting;
    m_motion = motion;
    if (m_motion)
        connect(m_motion, &PointerMotion::moved, this, &RailHover::wake);
    if (resting)
        wake();
}

void RailHover::start()
{
    if (m_motion)
        m_motion->disarm();
    m_resting = false;
    m_lastPointer.reset();
    m_interval = wantedInterval();
    m_poll->start(m_interval, true);
}

milliseconds RailHover::wantedInterval() const
{
    const RailFrameInput in = railFrameInput(m_state);
    const bool active = in.expanded || m_state.isDockRevealed() || railframe::hasEdgeNotification(in);
    return hover::pollInterval(in.edge, active && !m_pointerInside && !m_resting);
}

void RailHover::stop()
{
    if (m_motion)
        m_motion->disarm();
    m_resting = false;
    m_poll->stop();
    m_hide->stop();
    m_holdEnd->stop();
    m_holdUntil.reset();
}

bool RailHover::isPolling() const
{
    return m_poll->isActive();
}

bool RailHover::isHidePending() const
{
    return m_hide->isActive();
}

bool RailHover::isHoldRunning() const
{
    return m_holdUntil && m_clock.now() < *m_holdUntil;
}

void RailHover::refreshInterval()
{
    const milliseconds wanted = wantedInterval();
    if (wanted == m_interval || !m_poll->isActive())
        return;
    m_interval = wanted;
    m_poll->start(m_interval, true);
}

HoverInput RailHover::input(QPoint pointer) const
{
    const RailFrameInput frame = railFrameInput(m_state);
    HoverInput in;
    in.pointer = pointer;
    in.visibleFrame = m_panel.visibleFrame();
    in.otherScreens = m_panel.otherScreenFrames();
    in.panelFrame = m_panel.shownFrame();
    in.edge = frame.edge;
    in.position = frame.position;
    in.expanded = frame.expanded;
    in.dockRevealed = m_state.isDockRevealed();
    in.edgeNotification = railframe::hasEdgeNotification(frame);
    in.holdRunning = isHoldRunning() || m_interactionActive || m_popupHold;
    in.scale = frame.scale;
    return in;
}

void RailHover::poll()
{
    const QPoint pointer = m_pointer();
    const HoverDecision decision = hover::decide(input(pointer));
    switch (decision.action) {
    case HoverAction::keep:
    case HoverAction::reveal:
        // Raised when the rail comes into use, not on every look: raising
        // restacks windows and wakes the window manager.
        if (!m_kept || decision.action == HoverAction::reveal)
            m_panel.raisePanel();
        m_kept = true;
        cancelHide();
        if (decision.action == HoverAction::reveal)
            m_state.expandPanel();
        break;
    case HoverAction::scheduleHide:
        m_kept = false;
        scheduleHide(decision.hideDelay);
        break;
    case HoverAction::none: m_kept = false; break;
    }
    refreshInterval();
    restIfStill(pointer);
}

void RailHover::restIfStill(QPoint pointer)
{
    const bool still = m_lastPointer == pointer;
    m_lastPointer = pointer;
    if (!m_motion)
        return;
    // While the panel slides, what is near it changes without a motion.
    if (!still || m_panel.isAnimating() || !m_poll->isActive()) {
        if (m_resting) {
            m_resting = false;
            m_motion->disarm();
            refreshInterval();
        }
        return;
    }
    const RailEdge edge = m_state.railEdge();
    if (m_resting || wantedInterval() == hover::pollInterval(edge, false))
        return;
    if (!m_motion->arm())
        return;
    // A motion between the last look and the arming was not reported.
    if (m_pointer() != pointer) {
        m_motion->disarm();
        return;
    }
    m_resting = true;
    refreshInterval();
}

void RailHover::wake()
{
    if (!m_resting)
        return;
    m_resting = false;
    if (m_motion)
        m_motion->disarm();
    poll();
    refreshInterval();
}

void RailHover::scheduleHide(milliseconds delay)
{
    // A pending hide is not re-timed by later polls.
    if (isHoldRunning() || m_interactionActive || m_popupHold || m_hide->isActive())
        return;
    m_hide->start(delay, false);
}

void RailHover::cancelHide()
{
    m_hide->stop();
}

void RailHover::holdStatusMenuOpenBriefly()
{
    m_holdEnd->stop();
    cancelHide();
    const auto hold = milliseconds(qRound64(m_state.statusMenuOpenHoldDuration() * 1000.0));
    m_holdUntil = m_clock.now().addMSecs(hold.count());
    m_holdEnd->start(hold, false);
}

void RailHover::setPointerInside(bool inside)
{
    if (inside == m_pointerInside)
        return;
    m_pointerInside = inside;
    // Gone from the rail: looked at now, and then at the short period.
    if (!inside && m_poll->isActive())
        poll();
    else
        refreshInterval();
}

void RailHover::setInteractionActive(bool active)
{
    if (active == m_interactionActive)
        return;
    m_interactionActive = active;
    if (active)
        cancelHide();
    else if (m_poll->isActive())
        poll();
}

bool RailHover::isPopupOpen() const
{
    return m_popupHold;
}

bool RailHover::opensFromRail(const QWidget *popup) const
{
    // A submenu's parent is its menu, whose parent is in the rail.
    for (const QWidget *w = popup->parentWidget(); w; w = w->parentWidget())
        if (w == &m_panel)
            return true;
    return false;
}

bool RailHover::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide)
        return false;
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    // Tooltips are of a type of their own and hold nothing.
    if (widget->windowType() != Qt::Popup || !opensFromRail(widget))
        return false;
    m_popups.removeAll(QPointer<QWidget>(widget));
    if (type == QEvent::Show) {
        m_popups.append(widget);
        connect(widget, &QObject::destroyed, this, &RailHover::popupsChanged, Qt::UniqueConnection);
    }
    popupsChanged();
    return false;
}

void RailHover::popupsChanged()
{
    // One deleted while open sends no hide.
    m_popups.removeAll(QPointer<QWidget>());
    const bool open = !m_popups.isEmpty();
    if (open == m_popupHold)
        return;
    m_popupHold = open;
    // The hide delay starts once the last one closes, from where the
    // pointer is then.
    if (open)
        cancelHide();
    else if (m_poll->isActive())
        poll();
}

void RailHover::closePopups()
{
    const QList<QPointer<QWidget>> open = m_popups;
    for (const QPointer<QWidget> &popup : open)
        if (popup)
            popup->close();
    popupsChanged();
}

} // namespace kolu
