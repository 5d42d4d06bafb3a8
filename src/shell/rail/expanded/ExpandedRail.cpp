#include "shell/rail/expanded/ExpandedRail.h"

#include "shell/rail/DockRail.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/FloatingConnector.h"
#include "shell/rail/expanded/Glide.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/RailNotifications.h"
#include "shell/rail/expanded/SwipeCollapseFilter.h"
#include "state/AppState.h"
#include "style/Motion.h"

#include <cmath>

namespace kolu {

using Field = AppState::Field;

ExpandedRail::ExpandedRail(AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("expandedRail"));
    m_connector = new FloatingConnector(this);
    m_panel = new ModuleDetailPanel(state, state.selectedModule(), this);
    m_strip = new ExpandedToolStrip(state, this);
    m_strip->raise(); // the strip stays above the notifications, the card and the connector
    connect(m_strip, &ExpandedToolStrip::settingsRequested, this, &ExpandedRail::settingsRequested);
    new SwipeCollapseFilter(state, this, SwipeCollapseFilter::Direction::sideways);

    const auto step = [this] { relayout(); };
    m_iconY = new Glide(0, step, this);
    m_cardY = new Glide(0, step, this);
    m_canvasTop = new Glide(0, step, this);
    m_presence = new Glide(1, step, this);
    m_notifications = new RailNotifications(state, this, m_strip,
                                            [this](EdgeAlertKind kind) { return notificationRect(kind); });
    connect(m_notifications, &RailNotifications::menuActiveChanged, this, &ExpandedRail::interactionActiveChanged);

    connect(&state, &AppState::changed, this, [this](Field f) { onStateChanged(int(f)); });
    retarget(false);
    showNotifications(false); // the ones pending come with the rail
}

ExpandedRail::~ExpandedRail() = default;

void ExpandedRail::onStateChanged(int field)
{
    switch (Field(field)) {
    case Field::selectedModule:
        m_panel->setModule(m_state.selectedModule());
        retarget(true);
        break;
    // Opening a module announces its order and visibility again: a target
    // that did not change keeps its glide.
    case Field::railModuleOrder:
    case Field::hiddenRailModules: retarget(true); break;
    case Field::railVerticalPosition: m_canvasTop->moveTo(canvasTopTarget(), OrlixMotion::smooth()); break;
    case Field::railEdge:
    case Field::railSize: retarget(false); break;
    case Field::showMinimizeAllAppsButton: relayout(); break;
    case Field::activePrayerAlert:
    case Field::activeReminderAlert:
        // The notification column widens the canvas: everything moves with it.
        retarget(false);
        showNotifications(true);
        break;
    case Field::activeCalendarAlert:
    case Field::pomodoroAlertVisible: showNotifications(true); break;
    case Field::isExpanded:
        // The card goes back to the edge with the rail (and comes again if
        // the rail opens before this view is gone).
        if (m_shown)
            m_presence->moveTo(m_state.isExpanded() ? 1 : 0, OrlixMotion::smooth());
        break;
    default: break;
    }
}

expandedrail::Canvas ExpandedRail::canvas() const
{
    return {m_state.railEdge() == RailEdge::right ? RailEdge::right : RailEdge::left, m_state.railScaleFactor(),
            m_state.activePrayerAlert().has_value() || m_state.activeReminderAlert().has_value()};
}

double ExpandedRail::canvasTopTarget() const
{
    const int h = int(std::ceil(expandedrail::height(canvas())));
    switch (m_state.railVerticalPosition()) {
    case RailVerticalPosition::top: return 0;
    case RailVerticalPosition::bottom: return height() - h;
    case RailVerticalPosition::center: break;
    }
    return (height() - h) / 2;
}

QRect ExpandedRail::canvasRect() const
{
    const expandedrail::Canvas c = canvas();
    const int w = int(std::ceil(expandedrail::width(c)));
    const int h = int(std::ceil(expandedrail::height(c)));
    const int x = c.edge == RailEdge::right ? width() - w : 0;
    return {x, int(std::lround(m_canvasTop->value())), w, h};
}

EdgeNotification *ExpandedRail::notification(EdgeAlertKind kind) const { return m_notifications->notification(kind); }

double ExpandedRail::presence() const { return m_presence->value(); }

void ExpandedRail::retarget(bool glide)
{
    const double s = m_state.railScaleFactor();
    const double iconY = expandedrail::moduleIconY(m_state.selectedModule(), m_state.visibleRailModules(), s);
    if (glide) {
        m_iconY->moveTo(iconY, OrlixMotion::railMotion());
        m_cardY->moveTo(expandedrail::detailCardCenterY(iconY, s), OrlixMotion::railMotion());
    } else {
        m_iconY->jumpTo(iconY);
        m_cardY->jumpTo(expandedrail::detailCardCenterY(iconY, s));
    }
    if (!m_canvasTop->isMoving())
        m_canvasTop->jumpTo(canvasTopTarget());
    relayout();
}

void ExpandedRail::showNotifications(bool animated)
{
    std::vector<EdgeAlertKind> kinds;
    for (const expandedrail::PlacedNotification &n :
         expandedrail::sideNotifications(railViewInput(m_state), m_state.visibleRailModules()))
        kinds.push_back(n.kind);
    // The calendar's notification has no motion of its own at the side.
    m_notifications->show(kinds, [animated](EdgeAlertKind kind) -> const Motion * {
        return animated && kind != EdgeAlertKind::calendar ? &OrlixMotion::smooth() : nullptr;
    });
}

QRectF ExpandedRail::notificationRect(EdgeAlertKind kind) const
{
    // A leaving notification keeps the place it had with its alert pending.
    RailViewInput in = railViewInput(m_state);
    switch (kind) {
    case EdgeAlertKind::calendar: in.calendarAlert = true; break;
    case EdgeAlertKind::prayer: in.prayerAlert = true; break;
    case EdgeAlertKind::reminder: in.reminderAlert = true; break;
    case EdgeAlertKind::focus: in.focusAlert = true; break;
    }
    const QPointF origin = canvasRect().topLeft();
    for (const expandedrail::PlacedNotification &n : expandedrail::sideNotifications(in, m_state.visibleRailModules()))
        if (n.kind == kind)
            return QRectF(origin + n.centre - QPointF(n.size.width(), n.size.height()) / 2, n.size);
    return {};
}

void ExpandedRail::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Opened just now: the card comes in from the edge.
    if (m_state.isExpanded()) {
        m_presence->jumpTo(0);
        m_presence->moveTo(1, OrlixMotion::smooth());
    }
}

void ExpandedRail::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_canvasTop->jumpTo(canvasTopTarget());
    relayout();
}

void ExpandedRail::relayout()
{
    using namespace expandedrail;
    const Canvas c = canvas();
    const double s = c.scale;
    const QRect canvasArea = canvasRect();
    const QPointF origin = canvasArea.topLeft();
    const int n = int(m_state.visibleRailModules().size());

    m_connector->setGeometry(canvasArea);
    m_connector->place(m_state.selectedModule(), m_iconY->value(), c);

    const double p = m_presence->value();
    const QSizeF card(cardWidth * s, cardHeight * s);
    const QPointF cardCentre = QPointF(detailCardCenterX(c), m_cardY->value()) + cardEntryOffset(c.edge, s) * (1 - p);
    m_panel->setGeometry(QRectF(origin + cardCentre - QPointF(card.width(), card.height()) / 2, card).toAlignedRect());
    fadeWhileMoving(m_panel, p, m_presence->isMoving());

    const QSizeF strip(stripWidth * s, stripHeight(n, s));
    const QPointF stripCentre(toolStripCenterX(c), canvasHeight * s / 2);
    m_strip->setGeometry(
        QRectF(origin + stripCentre - QPointF(strip.width(), strip.height()) / 2, strip).toAlignedRect());

    m_notifications->place();
}

} // namespace kolu
