#include "shell/rail/DockRail.h"

#include "shell/rail/ClipboardEdgePulse.h"
#include "shell/rail/EdgeAlert.h"
#include "shell/rail/EdgeHandle.h"
#include "shell/rail/EdgeNotification.h"
#include "shell/rail/RailTransition.h"
#include "state/AppState.h"

#include <QList>

namespace kolu {

namespace {

bool affectsCollapsedRail(AppState::Field field)
{
    using F = AppState::Field;
    switch (field) {
    case F::railEdge:
    case F::railSize:
    case F::railVerticalPosition:
    case F::activeCalendarAlert:
    case F::activePrayerAlert:
    case F::activeReminderAlert:
    case F::pomodoroAlertVisible:
    case F::clipboardPulseActive:
        return true;
    default:
        return false;
    }
}

// Changes of these come and go with the items' transitions; the others
// (edge, size) re-place at once.
bool animatesCollapsedRail(AppState::Field field)
{
    using F = AppState::Field;
    return field == F::activeCalendarAlert || field == F::activePrayerAlert || field == F::activeReminderAlert ||
           field == F::pomodoroAlertVisible || field == F::clipboardPulseActive || field == F::railVerticalPosition;
}

// An alert goes from inside its own button's click (Stop, Done): hidden now
// (a picture of it leaves when animated), deleted once the click has
// returned.
template<typename T>
void retire(QPointer<T> &widget, bool animate, const RailTransition &transition, Qt::Alignment anchor)
{
    if (animate)
        railmotion::leave(widget, transition, OrlixMotion::smooth(), anchor);
    widget->hide();
    widget->deleteLater();
    widget = nullptr;
}

// Shows or hides one item of a collapsed rail; with `animate` a leaving
// item leaves a picture behind, and one that shows is noted to enter once
// it has its place.
void setItemShown(QWidget *item, bool shown, bool animate, const RailTransition &transition, Qt::Alignment anchor,
                  QList<QWidget *> &entering)
{
    if (shown == item->isVisibleTo(item->parentWidget()))
        return;
    if (shown) {
        item->show();
        if (animate)
            entering.append(item);
        return;
    }
    if (animate)
        railmotion::leave(item, transition, OrlixMotion::smooth(), anchor);
    item->hide();
}

// Slides what moved in a re-placing from where it was painted.
void slideFrom(const QList<std::pair<QWidget *, QPoint>> &before)
{
    for (const auto &[item, from] : before) {
        if (item->isVisible() && item->pos() != from)
            railmotion::enter(item, RailTransition::slide(from - item->pos()), OrlixMotion::smooth());
    }
}

const RailTransition kSideAlert = RailTransition::moveAndFade({14, 0});
const RailTransition kSidePulse = RailTransition::scaleAndFade(0.92, Qt::AlignCenter);
const RailTransition kTopNotification = RailTransition::moveAndFade({0, -10});
const RailTransition kTopPulse = RailTransition::scaleAndFade(0.92, Qt::AlignTop | Qt::AlignHCenter);

} // namespace

RailViewInput railViewInput(const AppState &state)
{
    RailViewInput in;
    in.edge = state.railEdge();
    in.position = state.railVerticalPosition();
    in.expanded = state.isExpanded();
    in.calendarAlert = state.activeCalendarAlert().has_value();
    in.prayerAlert = state.activePrayerAlert().has_value();
    in.reminderAlert = state.activeReminderAlert().has_value();
    in.focusAlert = state.pomodoroAlertVisible();
    in.clipboardPulseActive = state.clipboardPulseActive();
    in.scale = state.railScaleFactor();
    return in;
}

DockRail::DockRail(AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_handle(new EdgeHandle(state, this)),
      m_pulse(new ClipboardEdgePulse(state, this))
{
    setObjectName(QStringLiteral("dockRail"));
    setAttribute(Qt::WA_NoSystemBackground);
    connect(m_handle, &EdgeHandle::dragActiveChanged, this, &DockRail::interactionActiveChanged);
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (affectsCollapsedRail(field))
            refresh(animatesCollapsedRail(field));
    });
    refresh(false);
}

EdgeAlert *DockRail::alert() const
{
    return m_alert;
}

EdgeHandle *DockRail::handle() const
{
    return m_handle->isVisibleTo(this) ? m_handle : nullptr;
}

ClipboardEdgePulse *DockRail::pulse() const
{
    return m_pulse->isVisibleTo(this) ? m_pulse : nullptr;
}

void DockRail::refresh(bool animate)
{
    const CollapsedContent content = railview::collapsedContent(railViewInput(m_state));
    const Qt::Alignment anchor = screenEdgeAnchor(m_state.railEdge());
    QList<std::pair<QWidget *, QPoint>> before;
    for (QWidget *item : {static_cast<QWidget *>(m_handle), static_cast<QWidget *>(m_pulse),
                          static_cast<QWidget *>(m_alert.data())}) {
        if (item && item->isVisible())
            before.append({item, item->pos()});
    }
    QList<QWidget *> entering;
    if (m_alert && (!content.alert || m_alert->kind() != *content.alert))
        retire(m_alert, animate, kSideAlert, anchor);
    if (content.alert && !m_alert) {
        m_alert = new EdgeAlert(*content.alert, m_state, this);
        connect(m_alert->notification(), &EdgeNotification::menuActiveChanged, this,
                &DockRail::interactionActiveChanged);
        setItemShown(m_alert, true, animate, kSideAlert, anchor, entering);
    }
    setItemShown(m_handle, content.handle, animate, RailTransition::fade(), anchor, entering);
    setItemShown(m_pulse, content.pulse, animate, kSidePulse, anchor, entering);
    place();
    if (animate)
        slideFrom(before);
    for (QWidget *item : std::as_const(entering))
        railmotion::enter(item, item == m_pulse ? kSidePulse : item == m_handle ? RailTransition::fade() : kSideAlert,
                          OrlixMotion::smooth());
}

void DockRail::place()
{
    const RailEdge edge = m_state.railEdge();
    const RailVerticalPosition position = m_state.railVerticalPosition();
    const QRectF area(rect());
    m_handle->setGeometry(railview::placeAtEdge(area, m_handle->sizeHint(), edge, position).toRect());
    m_pulse->setGeometry(railview::placeAtEdge(area, m_pulse->sizeHint(), edge, position).toRect());
    if (m_alert)
        m_alert->setGeometry(railview::placeAtEdge(area, m_alert->sizeHint(), edge, position).toRect());
}

void DockRail::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

TopDockRail::TopDockRail(AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_handle(new EdgeHandle(state, this)),
      m_pulse(new ClipboardEdgePulse(state, this))
{
    setObjectName(QStringLiteral("topDockRail"));
    setAttribute(Qt::WA_NoSystemBackground);
    connect(m_handle, &EdgeHandle::dragActiveChanged, this, &TopDockRail::interactionActiveChanged);
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (affectsCollapsedRail(field))
            refresh(animatesCollapsedRail(field) && field != AppState::Field::railVerticalPosition);
    });
    refresh(false);
}

EdgeNotification *TopDockRail::notification() const
{
    return m_notification;
}

EdgeHandle *TopDockRail::handle() const
{
    return m_handle->isVisibleTo(this) ? m_handle : nullptr;
}

ClipboardEdgePulse *TopDockRail::pulse() const
{
    return m_pulse->isVisibleTo(this) ? m_pulse : nullptr;
}

void TopDockRail::refresh(bool animate)
{
    const CollapsedContent content = railview::collapsedContent(railViewInput(m_state));
    const Qt::Alignment anchor = screenEdgeAnchor(RailEdge::top);
    QList<QWidget *> entering;
    if (m_notification && (!content.alert || m_notification->kind() != *content.alert))
        retire(m_notification, animate, kTopNotification, anchor);
    if (content.alert && !m_notification) {
        m_notification = new EdgeNotification(*content.alert, m_state, this);
        connect(m_notification, &EdgeNotification::menuActiveChanged, this, &TopDockRail::interactionActiveChanged);
        setItemShown(m_notification, true, animate, kTopNotification, anchor, entering);
    }
    setItemShown(m_handle, content.handle, animate, RailTransition::fade(), anchor, entering);
    setItemShown(m_pulse, content.pulse, animate, kTopPulse, anchor, entering);
    place();
    for (QWidget *item : std::as_const(entering))
        railmotion::enter(item,
                          item == m_pulse    ? kTopPulse
                          : item == m_handle ? RailTransition::fade()
                                             : kTopNotification,
                          OrlixMotion::smooth());
}

void TopDockRail::place()
{
    const QRectF area(rect());
    const double t = railview::handleThickness(m_state.railScaleFactor());
    const auto atTop = [&](const QSizeF &size, double y) {
        return railview::placeAtEdge(area, size, RailEdge::top, RailVerticalPosition::top).translated(0, y).toRect();
    };
    m_handle->setGeometry(atTop(m_handle->sizeHint(), 0));
    // Below the handle, with the handle's thickness between them.
    m_pulse->setGeometry(atTop(m_pulse->sizeHint(), t + t));
    if (m_notification)
        m_notification->setGeometry(atTop(m_notification->sizeHint(), t + 8));
}

void TopDockRail::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

} // namespace kolu
