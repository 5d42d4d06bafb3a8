#include "shell/rail/DockRail.h"

#include "shell/rail/ClipboardEdgePulse.h"
#include "shell/rail/EdgeAlert.h"
#include "shell/rail/EdgeHandle.h"
#include "shell/rail/EdgeNotification.h"
#include "state/AppState.h"

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

// An alert goes from inside its own button's click (Stop, Done): hidden now,
// deleted once the click has returned.
template<typename T>
void retire(QPointer<T> &widget)
{
    widget->hide();
    widget->deleteLater();
    widget = nullptr;
}

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
            refresh();
    });
    refresh();
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

void DockRail::refresh()
{
    const CollapsedContent content = railview::collapsedContent(railViewInput(m_state));
    if (m_alert && (!content.alert || m_alert->kind() != *content.alert))
        retire(m_alert);
    if (content.alert && !m_alert) {
        m_alert = new EdgeAlert(*content.alert, m_state, this);
        connect(m_alert->notification(), &EdgeNotification::menuActiveChanged, this,
                &DockRail::interactionActiveChanged);
    }
    m_handle->setVisible(content.handle);
    m_pulse->setVisible(content.pulse);
    if (m_alert)
        m_alert->show();
    place();
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
            refresh();
    });
    refresh();
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

void TopDockRail::refresh()
{
    const CollapsedContent content = railview::collapsedContent(railViewInput(m_state));
    if (m_notification && (!content.alert || m_notification->kind() != *content.alert))
        retire(m_notification);
    if (content.alert && !m_notification) {
        m_notification = new EdgeNotification(*content.alert, m_state, this);
        connect(m_notification, &EdgeNotification::menuActiveChanged, this, &TopDockRail::interactionActiveChanged);
    }
    m_handle->setVisible(content.handle);
    m_pulse->setVisible(content.pulse);
    if (m_notification)
        m_notification->show();
    place();
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
