#include "shell/rail/expanded/ExpandedRail.h"

#include "shell/rail/DockRail.h"
#include "shell/rail/DrawnShape.h"
#include "shell/rail/RailTransition.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/FloatingConnector.h"
#include "shell/rail/expanded/Glide.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/RailNotifications.h"
#include "shell/rail/expanded/SwipeCollapseFilter.h"
#include "shell/rail/expanded/ToolStripRingLayer.h"
#include "state/AppState.h"
#include "style/ClipRects.h"
#include "style/Motion.h"
#include "style/SnapshotOpacityEffect.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace kolu {

using Field = AppStateField;

// What tells the opened rail at the top from the one at a side edge.
struct ExpandedRail::ExpandedEdge {
    const char *objectName;
    // The strip runs along the top edge with the card row below it; else
    // the strip, the connector and the card stand on the side canvas.
    bool acrossTop;
    SwipeCollapseFilter::Direction swipe;
    // The card's way in from the edge and back.
    const Motion &(*cardMotion)();
    // The calendar's notification comes and goes with the others' motion
    // (at a side edge it appears and goes at once).
    bool calendarMoves;
};

namespace {

const ExpandedRail::ExpandedEdge kSideEdge{"expandedRail", false, SwipeCollapseFilter::Direction::sideways,
                                           OrlixMotion::smooth, false};
const ExpandedRail::ExpandedEdge kTopEdge{"topExpandedRail", true, SwipeCollapseFilter::Direction::upwards,
                                          railmotion::topExpansion, true};

// The top edge's row: strip to card, card to notification, the sides.
constexpr double topRowSpacing = 14;
constexpr double topColumnSpacing = 12;
constexpr double topSideMargin = 16;   // ×s
constexpr double topBottomMargin = 10; // below the card on a short screen

} // namespace

ExpandedRail::ExpandedRail(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_edge(state.railEdge() == RailEdge::top ? kTopEdge : kSideEdge)
{
    setObjectName(QLatin1String(m_edge.objectName));
    const double s = state.railScaleFactor();
    if (!m_edge.acrossTop)
        m_connector = new FloatingConnector(this);
    m_panel = new ModuleDetailPanel(state, state.selectedModule(), this);
    m_panel->setGlassPaintedByHost(true); // its shadow reaches past the card
    if (m_edge.acrossTop) {
        m_panel->setFixedSize(qRound(expandedrail::cardWidth * s), qRound(expandedrail::cardHeight * s));
        m_strip = new TopExpandedToolStrip(state, this);
    } else {
        m_strip = new ExpandedToolStrip(state, this);
    }
    m_strip->raise();                      // the strip stays above the notifications, the card and the connector
    new ToolStripRingLayer(m_strip, this); // and its buttons' rings above the strip
    connect(m_strip, &ExpandedToolStrip::settingsRequested, this, &ExpandedRail::settingsRequested);
    new SwipeCollapseFilter(state, this, m_edge.swipe);

    const auto step = [this] { relayout(); };
    m_iconY = new Glide(0, step, this);
    m_card = new Glide(0, step, this);
    m_canvasTop = new Glide(0, step, this);
    m_presence = new Glide(1, step, this);
    m_notifications =
        new RailNotifications(state, this, m_strip, [this](EdgeAlertKind kind) { return notificationRect(kind); });
    connect(m_notifications, &RailNotifications::menuActiveChanged, this, &ExpandedRail::interactionActiveChanged);
    connect(m_strip, &ExpandedToolStrip::moduleListScrolled, this, &ExpandedRail::relayout);

    connect(&state, &AppState::changed, this, &ExpandedRail::onStateChanged);
    retarget(false);
    showNotifications(false); // the ones pending come with the rail
}

ExpandedRail::~ExpandedRail() = default;

void ExpandedRail::onStateChanged(AppStateField field)
{
    // The card follows its button only on the side canvas.
    const bool followsButtons = !m_edge.acrossTop;
    switch (field) {
    case Field::selectedModule:
        m_panel->setModule(m_state.selectedModule());
        if (followsButtons)
            retarget(true);
        break;
    // Opening a module announces its order and visibility again: a target
    // that did not change keeps its glide.
    case Field::railModuleOrder:
    case Field::hiddenRailModules:
        if (followsButtons)
            retarget(true);
        break;
    case Field::railVerticalPosition: m_canvasTop->moveTo(canvasTopTarget(), OrlixMotion::smooth()); break;
    case Field::railEdge:
    case Field::railSize:
        if (followsButtons)
            retarget(false);
        break;
    // On a short screen the strip's buttons move up or down with the actions.
    case Field::showMinimizeAllAppsButton:
        if (followsButtons)
            retarget(false);
        else
            relayout();
        break;
    case Field::activePrayerAlert:
    case Field::activeReminderAlert:
        // The notification column widens the side canvas: everything moves with it.
        if (followsButtons)
            retarget(false);
        showNotifications(true);
        break;
    case Field::activeCalendarAlert:
    case Field::pomodoroAlertVisible: showNotifications(true); break;
    case Field::isExpanded:
        // The card goes back to the edge with the rail (and comes again if
        // the rail opens before this view is gone).
        if (m_shown)
            m_presence->moveTo(m_state.isExpanded() ? 1 : 0, m_edge.cardMotion());
        break;
    default: break;
    }
}

expandedrail::Canvas ExpandedRail::canvas() const
{
    return {m_state.railEdge() == RailEdge::right ? RailEdge::right : RailEdge::left, m_state.railScaleFactor(),
            m_state.activePrayerAlert().has_value() || m_state.activeReminderAlert().has_value(), double(height())};
}

int ExpandedRail::actionCount() const
{
    return m_state.showMinimizeAllAppsButton() ? 3 : 2;
}

expandedrail::SideStripFit ExpandedRail::stripFit() const
{
    return expandedrail::sideStripFit(canvas(), int(m_state.visibleRailModules().size()), actionCount());
}

double ExpandedRail::canvasTopTarget() const
{
    if (m_edge.acrossTop)
        return 0;
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
    if (m_edge.acrossTop)
        return rect();
    const expandedrail::Canvas c = canvas();
    const int w = int(std::ceil(expandedrail::width(c)));
    const int h = int(std::ceil(expandedrail::height(c)));
    const int x = c.edge == RailEdge::right ? width() - w : 0;
    return {x, int(std::lround(m_canvasTop->value())), w, h};
}

EdgeNotification *ExpandedRail::notification(EdgeAlertKind kind) const
{
    return m_notifications->notification(kind);
}

EdgeNotification *ExpandedRail::notification() const
{
    const std::optional<EdgeAlertKind> kind = railview::pendingAlert(railViewInput(m_state));
    return kind ? m_notifications->notification(*kind) : nullptr;
}

double ExpandedRail::presence() const
{
    return m_presence->value();
}

double ExpandedRail::cardTarget() const
{
    const double s = m_state.railScaleFactor();
    if (!m_edge.acrossTop)
        return expandedrail::detailCardCenterY(m_iconY->target(), canvas());
    // The card's left side: the card and its notification centred together;
    // a row wider than the rail keeps the card whole.
    double row = expandedrail::cardWidth * s;
    if (const std::optional<EdgeAlertKind> kind = railview::pendingAlert(railViewInput(m_state)))
        row += topColumnSpacing + railview::notificationSize(*kind).width();
    return std::max(topSideMargin * s, (width() - row) / 2);
}

void ExpandedRail::retarget(bool glide)
{
    double iconY = 0;
    if (!m_edge.acrossTop) {
        const RailModuleOrder visible = m_state.visibleRailModules();
        const auto it = std::find(visible.begin(), visible.end(), m_state.selectedModule());
        iconY = expandedrail::moduleIconY(it == visible.end() ? 0 : int(it - visible.begin()), stripFit(), canvas());
    }
    if (glide) {
        m_iconY->moveTo(iconY, OrlixMotion::railMotion());
        m_card->moveTo(cardTarget(), OrlixMotion::railMotion());
    } else {
        m_iconY->jumpTo(iconY);
        m_card->jumpTo(cardTarget());
    }
    if (!m_canvasTop->isMoving())
        m_canvasTop->jumpTo(canvasTopTarget());
    relayout();
}

std::vector<EdgeAlertKind> ExpandedRail::notificationKinds() const
{
    std::vector<EdgeAlertKind> kinds;
    if (m_edge.acrossTop) {
        if (const std::optional<EdgeAlertKind> kind = railview::pendingAlert(railViewInput(m_state)))
            kinds.push_back(*kind);
        return kinds;
    }
    for (const expandedrail::PlacedNotification &n :
         expandedrail::sideNotifications(railViewInput(m_state), m_state.visibleRailModules(), height(), actionCount()))
        kinds.push_back(n.kind);
    return kinds;
}

void ExpandedRail::showNotifications(bool animated)
{
    const bool calendarMoves = m_edge.calendarMoves;
    m_notifications->show(notificationKinds(), [animated, calendarMoves](EdgeAlertKind kind) -> const Motion * {
        return animated && (calendarMoves || kind != EdgeAlertKind::calendar) ? &OrlixMotion::smooth() : nullptr;
    });
    if (!m_edge.acrossTop)
        return;
    // The top row re-centres around the card and its notification.
    if (animated)
        m_card->moveTo(cardTarget(), OrlixMotion::smooth());
    else
        m_card->jumpTo(cardTarget());
    relayout();
}

QRectF ExpandedRail::notificationRect(EdgeAlertKind kind) const
{
    if (m_edge.acrossTop) {
        const double s = m_state.railScaleFactor();
        const double x = m_card->value() + expandedrail::cardWidth * s + topColumnSpacing;
        return {QPointF(x, expandedrail::stripWidth * s + topRowSpacing), railview::notificationSize(kind)};
    }
    // A leaving notification keeps the place it had with its alert pending.
    RailViewInput in = railViewInput(m_state);
    switch (kind) {
    case EdgeAlertKind::calendar: in.calendarAlert = true; break;
    case EdgeAlertKind::prayer: in.prayerAlert = true; break;
    case EdgeAlertKind::reminder: in.reminderAlert = true; break;
    case EdgeAlertKind::focus: in.focusAlert = true; break;
    }
    const QPointF origin = canvasRect().topLeft();
    for (const expandedrail::PlacedNotification &n :
         expandedrail::sideNotifications(in, m_state.visibleRailModules(), height(), actionCount()))
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
        m_presence->moveTo(1, m_edge.cardMotion());
    }
}

void ExpandedRail::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const double s = m_state.railScaleFactor();
    if (m_edge.acrossTop) {
        // The card takes what is left below the strip on a short screen; its content scrolls.
        const double below = height() - expandedrail::stripWidth * s - topRowSpacing - topBottomMargin;
        m_panel->setFixedSize(qRound(expandedrail::cardWidth * s),
                              qRound(std::clamp(below, 0.0, expandedrail::cardHeight * s)));
        m_card->jumpTo(cardTarget());
    } else if (event->oldSize().height() != height()) {
        // The strip and the card are laid out in the height the panel has.
        m_canvasTop->jumpTo(canvasTopTarget());
        retarget(false);
        return;
    }
    m_canvasTop->jumpTo(canvasTopTarget());
    relayout();
}

void ExpandedRail::relayout()
{
    using namespace expandedrail;
    const double s = m_state.railScaleFactor();
    const double p = m_presence->value();
    if (m_edge.acrossTop) {
        const double side = topSideMargin * s;
        const double stripHeight = stripWidth * s;
        m_strip->setGeometry(QRectF(side, 0, std::max(0.0, width() - 2 * side), stripHeight).toRect());
        const QPointF offset = cardEntryOffset(RailEdge::top, s) * (1 - p);
        m_panel->move(QPointF(m_card->value(), stripHeight + topRowSpacing).toPoint() + offset.toPoint());
    } else {
        const Canvas c = canvas();
        const QRect canvasArea = canvasRect();
        const QPointF origin = canvasArea.topLeft();

        // It meets the open module's button where the strip's list has it,
        // scrolled by hand too, and goes while that is out of sight.
        m_connector->setGeometry(canvasArea);
        m_connector->place(m_state.selectedModule(), m_iconY->value() + m_strip->selectionScrollShift(), c,
                           m_strip->selectionShows());

        const QSizeF card(cardWidth * s, detailCardHeight(c));
        const QPointF cardCentre(detailCardCenterX(c), m_card->value());
        const QRect cardRest =
            QRectF(origin + cardCentre - QPointF(card.width(), card.height()) / 2, card).toAlignedRect();
        // On its way in or out the card moves by whole pixels and keeps its
        // size: a size that changed with each step's rounding would lay its
        // content out anew on every frame.
        m_panel->setGeometry(cardRest.translated((cardEntryOffset(c.edge, s) * (1 - p)).toPoint()));

        const QSizeF strip(stripWidth * s, stripFit().height);
        const QPointF stripCentre(toolStripCenterX(c), expandedrail::height(c) / 2);
        m_strip->setGeometry(
            QRectF(origin + stripCentre - QPointF(strip.width(), strip.height()) / 2, strip).toAlignedRect());
    }
    applyFades();
    m_notifications->place();
}

double ExpandedRail::glassOpacity() const
{
    // Faded as the card is while it comes and goes, and with the rail.
    return drawnshape::fadeOpacity(this, std::clamp(m_presence->value(), 0.0, 1.0) * m_partsOpacity);
}

void ExpandedRail::applyFades()
{
    const bool railFades = m_partsOpacity < 1;
    fadeWhileMoving(m_panel, glassOpacity(), m_presence->isMoving() || railFades);
    const std::vector<QWidget *> notifications = m_notifications->widgets();
    for (QObject *child : children()) {
        auto *part = qobject_cast<QWidget *>(child);
        if (!part || part == m_panel || std::ranges::find(notifications, part) != notifications.end())
            continue;
        // A part moving on an effect of its own keeps it.
        if (part->graphicsEffect() && !qobject_cast<SnapshotOpacityEffect *>(part->graphicsEffect()))
            continue;
        fadeWhileMoving(part, m_partsOpacity, railFades);
    }
    // The card's glass is painted here, below the card, with its shadow:
    // again only when it moved or its opacity changed by a step that shows.
    const QRect glass = m_panel->geometry().marginsAdded(QMargins(40, 40, 40, 40));
    const double opacity = glassOpacity();
    const bool opacityShows =
        opacity != m_glassOpacity && (std::abs(opacity - m_glassOpacity) >= 0.5 / 255 || opacity == 0 || opacity == 1);
    if (glass != m_cardGlass || opacityShows) {
        update(m_cardGlass.united(glass));
        m_cardGlass = glass;
        m_glassOpacity = opacity;
    }
}

void ExpandedRail::setPartsOpacity(double opacity)
{
    opacity = std::clamp(opacity, 0.0, 1.0);
    if (opacity == m_partsOpacity)
        return;
    m_partsOpacity = opacity;
    m_notifications->setOpacity(opacity);
    applyFades();
}

void ExpandedRail::paintEvent(QPaintEvent *event)
{
    if (m_panel->isHidden())
        return;
    QPainter painter(this);
    painter.setOpacity(glassOpacity());
    // Each frame of a fade or a glide repaints the card's glass inside what
    // changed: a large picture, cheaper blended one rectangle at a time.
    drawPerRect(painter, event->region(), [&] { ModuleDetailPanel::paintGlass(painter, QRectF(m_panel->geometry())); });
}

} // namespace kolu
