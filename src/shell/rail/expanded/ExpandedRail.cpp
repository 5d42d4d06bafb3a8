#include "shell/rail/expanded/ExpandedRail.h"

#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/FloatingConnector.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/SwipeCollapseFilter.h"
#include "state/AppState.h"

#include <cmath>

namespace kolu {

using Field = AppState::Field;

ExpandedRail::ExpandedRail(AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("expandedRail"));
    m_connector = new FloatingConnector(this);
    m_panel = new ModuleDetailPanel(state, state.selectedModule(), this);
    m_strip = new ExpandedToolStrip(state, this);
    m_strip->raise(); // the strip stays above the card and the connector
    connect(m_strip, &ExpandedToolStrip::settingsRequested, this, &ExpandedRail::settingsRequested);
    new SwipeCollapseFilter(state, this, SwipeCollapseFilter::Direction::sideways);

    connect(&state, &AppState::changed, this, [this](Field f) {
        switch (f) {
        case Field::selectedModule: m_panel->setModule(m_state.selectedModule()); [[fallthrough]];
        case Field::railEdge:
        case Field::railSize:
        case Field::railVerticalPosition:
        case Field::railModuleOrder:
        case Field::hiddenRailModules:
        case Field::activePrayerAlert:
        case Field::activeReminderAlert:
        case Field::showMinimizeAllAppsButton: relayout(); break;
        default: break;
        }
    });
    relayout();
}

expandedrail::Canvas ExpandedRail::canvas() const
{
    return {m_state.railEdge() == RailEdge::right ? RailEdge::right : RailEdge::left, m_state.railScaleFactor(),
            m_state.activePrayerAlert().has_value() || m_state.activeReminderAlert().has_value()};
}

QRect ExpandedRail::canvasRect() const
{
    const expandedrail::Canvas c = canvas();
    const int w = int(std::ceil(expandedrail::width(c)));
    const int h = int(std::ceil(expandedrail::height(c)));
    const int x = c.edge == RailEdge::right ? width() - w : 0;
    int y = (height() - h) / 2;
    if (m_state.railVerticalPosition() == RailVerticalPosition::top)
        y = 0;
    else if (m_state.railVerticalPosition() == RailVerticalPosition::bottom)
        y = height() - h;
    return {x, y, w, h};
}

void ExpandedRail::setNotification(QWidget *notification, QPointF canvasCentre)
{
    if (m_notification != notification)
        delete m_notification;
    m_notification = notification;
    m_notificationCentre = canvasCentre;
    if (notification) {
        notification->setParent(this);
        notification->show();
        m_strip->raise();
    }
    relayout();
}

void ExpandedRail::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void ExpandedRail::relayout()
{
    using namespace expandedrail;
    const Canvas c = canvas();
    const double s = c.scale;
    const QPointF origin = canvasRect().topLeft();
    const RailModuleOrder visible = m_state.visibleRailModules();
    const int n = int(visible.size());
    const double iconY = moduleIconY(m_state.selectedModule(), visible, s);

    m_connector->setGeometry(canvasRect());
    m_connector->place(m_state.selectedModule(), iconY, c);

    const QSizeF card(cardWidth * s, cardHeight * s);
    const QPointF cardCentre(detailCardCenterX(c), detailCardCenterY(iconY, s));
    m_panel->setGeometry(QRectF(origin + cardCentre - QPointF(card.width(), card.height()) / 2, card).toAlignedRect());

    const QSizeF strip(stripWidth * s, stripHeight(n, s));
    const QPointF stripCentre(toolStripCenterX(c), canvasHeight * s / 2);
    m_strip->setGeometry(
        QRectF(origin + stripCentre - QPointF(strip.width(), strip.height()) / 2, strip).toAlignedRect());

    if (m_notification) {
        const QSize size = m_notification->size();
        m_notification->move((origin + m_notificationCentre - QPointF(size.width(), size.height()) / 2).toPoint());
    }
}

} // namespace kolu
