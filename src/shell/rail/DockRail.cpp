#include "shell/rail/DockRail.h"

#include "shell/rail/ClipboardEdgePulse.h"
#include "shell/rail/EdgeAlert.h"
#include "shell/rail/EdgeHandle.h"
#include "shell/rail/EdgeNotification.h"
#include "shell/rail/RailTransition.h"
#include "state/AppState.h"

#include <QList>

#include <algorithm>

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
    case F::clipboardPulseActive: return true;
    default: return false;
    }
}

// Changes of these come and go with the items' transitions; the others
// (edge, size) re-place at once.
bool animatesCollapsedRail(AppState::Field field)
{
    using F = AppState::Field;
    return field == F::activeCalendarAlert || field == F::activePrayerAlert || field == F::activeReminderAlert
           || field == F::pomodoroAlertVisible || field == F::clipboardPulseActive || field == F::railVerticalPosition;
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

// Where the pulse and the alert sit, away from the screen edge: handle
// thicknesses plus points.
struct Depth {
    double thicknesses = 0;
    double points = 0;
};

QWidget *makeEdgeAlert(EdgeAlertKind kind, AppState &state, QWidget *parent)
{
    return new EdgeAlert(kind, state, parent);
}

QWidget *makeEdgeNotification(EdgeAlertKind kind, AppState &state, QWidget *parent)
{
    return new EdgeNotification(kind, state, parent);
}

// The pending alert's notification inside what `makeAlert` made.
EdgeNotification *notificationOf(QWidget *alert)
{
    if (auto *sideAlert = qobject_cast<EdgeAlert *>(alert))
        return sideAlert->notification();
    return qobject_cast<EdgeNotification *>(alert);
}

QPointF inwards(RailEdge edge)
{
    switch (edge) {
    case RailEdge::left: return {1, 0};
    case RailEdge::right: return {-1, 0};
    case RailEdge::top: break;
    }
    return {0, 1};
}

} // namespace

// What tells the collapsed rail at one edge from the other: its name, the
// alert it shows, how the alert and the pulse come and go, and where they
// sit. At a side edge the pulse takes the handle's place; at the top it
// shows below the handle, with the handle's thickness between them.
struct DockRail::DockEdge {
    const char *objectName;
    QWidget *(*makeAlert)(EdgeAlertKind, AppState &, QWidget *);
    RailTransition alert;
    RailTransition pulse;
    Depth pulseDepth;
    Depth alertDepth;
};

namespace {

const DockRail::DockEdge kSideEdge{"dockRail",
                                   makeEdgeAlert,
                                   RailTransition::moveAndFade({14, 0}),
                                   RailTransition::scaleAndFade(0.92, Qt::AlignCenter),
                                   {},
                                   {}};
const DockRail::DockEdge kTopEdge{"topDockRail",
                                  makeEdgeNotification,
                                  RailTransition::moveAndFade({0, -10}),
                                  RailTransition::scaleAndFade(0.92, Qt::AlignTop | Qt::AlignHCenter),
                                  {2, 0},
                                  {1, 8}};

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
    : QWidget(parent)
    , m_state(state)
    , m_edge(state.railEdge() == RailEdge::top ? kTopEdge : kSideEdge)
    , m_handle(new EdgeHandle(state, this))
    , m_pulse(new ClipboardEdgePulse(state, this))
{
    setObjectName(QLatin1String(m_edge.objectName));
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
    return qobject_cast<EdgeAlert *>(m_alert.data());
}

EdgeNotification *DockRail::notification() const
{
    return m_alert ? notificationOf(m_alert) : nullptr;
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
    for (QWidget *item : {static_cast<QWidget *>(m_handle), static_cast<QWidget *>(m_pulse), m_alert.data()}) {
        if (item && item->isVisible())
            before.append({item, item->pos()});
    }
    QList<QWidget *> entering;
    if (m_alert && (!content.alert || m_alertKind != *content.alert))
        retire(m_alert, animate, m_edge.alert, anchor);
    if (content.alert && !m_alert) {
        m_alertKind = *content.alert;
        m_alert = m_edge.makeAlert(m_alertKind, m_state, this);
        connect(notificationOf(m_alert), &EdgeNotification::menuActiveChanged, this,
                &DockRail::interactionActiveChanged);
        setItemShown(m_alert, true, animate, m_edge.alert, anchor, entering);
    }
    setItemShown(m_handle, content.handle, animate, RailTransition::fade(), anchor, entering);
    setItemShown(m_pulse, content.pulse, animate, m_edge.pulse, anchor, entering);
    place();
    if (animate)
        slideFrom(before);
    for (QWidget *item : std::as_const(entering))
        railmotion::enter(item,
                          item == m_pulse    ? m_edge.pulse
                          : item == m_handle ? RailTransition::fade()
                                             : m_edge.alert,
                          OrlixMotion::smooth());
}

void DockRail::place()
{
    const RailEdge edge = m_state.railEdge();
    const RailVerticalPosition position = m_state.railVerticalPosition();
    const QRectF area(rect());
    const double t = railview::handleThickness(m_state.railScaleFactor());
    const QPointF in = inwards(edge);
    const auto put = [&](QWidget *item, Depth depth) {
        const QRectF at = railview::placeAtEdge(area, item->sizeHint(), edge, position);
        // Kept inside the rail: at s = 1 the pulse two handle thicknesses
        // below the top handle would reach 16 points past the rail's bottom.
        const double room = in.x() > 0   ? area.right() - at.right()
                            : in.x() < 0 ? at.left() - area.left()
                                         : area.bottom() - at.bottom();
        const double shift = std::min(depth.thicknesses * t + depth.points, std::max(0.0, room));
        item->setGeometry(at.translated(in * shift).toRect());
    };
    put(m_handle, {});
    put(m_pulse, m_edge.pulseDepth);
    if (m_alert)
        put(m_alert, m_edge.alertDepth);
}

void DockRail::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

} // namespace kolu
