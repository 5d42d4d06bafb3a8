#include "shell/rail/expanded/TopExpandedRail.h"

#include "shell/rail/DockRail.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/Glide.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/RailNotifications.h"
#include "shell/rail/expanded/SwipeCollapseFilter.h"
#include "shell/rules/ExpandedRailGeometry.h"
#include "state/AppState.h"
#include "style/Motion.h"

#include <algorithm>

namespace kolu {

namespace {

using Field = AppState::Field;

constexpr double rowSpacing = 14;   // strip to card
constexpr double columnSpacing = 12; // card to notification

// The top rail opens and closes with a short ease-out.
const Motion &openMotion()
{
    static const Motion motion{160, QEasingCurve(QEasingCurve::OutQuad)};
    return motion;
}

} // namespace

TopExpandedRail::TopExpandedRail(AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("topExpandedRail"));
    const double s = state.railScaleFactor();
    m_panel = new ModuleDetailPanel(state, state.selectedModule(), this);
    m_panel->setFixedSize(qRound(expandedrail::cardWidth * s), qRound(expandedrail::cardHeight * s));
    m_strip = new TopExpandedToolStrip(state, this);
    m_strip->raise();
    connect(m_strip, &ExpandedToolStrip::settingsRequested, this, &TopExpandedRail::settingsRequested);

    const auto step = [this] { relayout(); };
    m_cardLeft = new Glide(0, step, this);
    m_presence = new Glide(1, step, this);
    m_notifications = new RailNotifications(state, this, m_strip,
                                            [this](EdgeAlertKind kind) { return notificationRect(kind); });
    connect(m_notifications, &RailNotifications::menuActiveChanged, this, &TopExpandedRail::interactionActiveChanged);

    new SwipeCollapseFilter(state, this, SwipeCollapseFilter::Direction::upwards);
    connect(&state, &AppState::changed, this, [this](Field f) {
        switch (f) {
        case Field::selectedModule: m_panel->setModule(m_state.selectedModule()); break;
        case Field::activeCalendarAlert:
        case Field::activePrayerAlert:
        case Field::activeReminderAlert:
        case Field::pomodoroAlertVisible: showNotification(true); break;
        case Field::isExpanded:
            if (m_shown)
                m_presence->moveTo(m_state.isExpanded() ? 1 : 0, openMotion());
            break;
        default: break;
        }
    });
    showNotification(false);
}

TopExpandedRail::~TopExpandedRail() = default;

EdgeNotification *TopExpandedRail::notification() const
{
    const std::optional<EdgeAlertKind> kind = railview::pendingAlert(railViewInput(m_state));
    return kind ? m_notifications->notification(*kind) : nullptr;
}

double TopExpandedRail::presence() const { return m_presence->value(); }

void TopExpandedRail::showNotification(bool animated)
{
    std::vector<EdgeAlertKind> kinds;
    if (const std::optional<EdgeAlertKind> kind = railview::pendingAlert(railViewInput(m_state)))
        kinds.push_back(*kind);
    m_notifications->show(kinds, [animated](EdgeAlertKind) { return animated ? &OrlixMotion::smooth() : nullptr; });
    if (animated)
        m_cardLeft->moveTo(cardLeftTarget(), OrlixMotion::smooth());
    else
        m_cardLeft->jumpTo(cardLeftTarget());
    relayout();
}

double TopExpandedRail::cardLeftTarget() const
{
    const double s = m_state.railScaleFactor();
    double row = expandedrail::cardWidth * s;
    if (const std::optional<EdgeAlertKind> kind = railview::pendingAlert(railViewInput(m_state)))
        row += columnSpacing + railview::notificationSize(*kind).width();
    // Centred; a row wider than the rail keeps the card whole.
    return std::max(16 * s, (width() - row) / 2);
}

QRectF TopExpandedRail::notificationRect(EdgeAlertKind kind) const
{
    const double s = m_state.railScaleFactor();
    const QSizeF size = railview::notificationSize(kind);
    const double x = m_cardLeft->value() + expandedrail::cardWidth * s + columnSpacing;
    return {QPointF(x, expandedrail::stripWidth * s + rowSpacing), size};
}

void TopExpandedRail::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Opened just now: the card drops in from the top.
    if (m_state.isExpanded()) {
        m_presence->jumpTo(0);
        m_presence->moveTo(1, openMotion());
    }
}

void TopExpandedRail::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_cardLeft->jumpTo(cardLeftTarget());
    relayout();
}

void TopExpandedRail::relayout()
{
    const double s = m_state.railScaleFactor();
    const double side = 16 * s;
    const double stripHeight = expandedrail::stripWidth * s;
    m_strip->setGeometry(QRectF(side, 0, std::max(0.0, width() - 2 * side), stripHeight).toRect());

    const double p = m_presence->value();
    const QPointF offset = expandedrail::cardEntryOffset(RailEdge::top, s) * (1 - p);
    m_panel->move(QPointF(m_cardLeft->value(), stripHeight + rowSpacing).toPoint() + offset.toPoint());
    fadeWhileMoving(m_panel, p, m_presence->isMoving());
    m_notifications->place();
}

} // namespace kolu
