#include "shell/rail/RailView.h"

#include "shell/rail/DockRail.h"
#include "shell/rail/DrawnShape.h"
#include "shell/rail/RailTransition.h"
#include "shell/rail/expanded/ExpandedRail.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QEvent>
#include <QResizeEvent>
#include <QVariantAnimation>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

bool atTop(RailViewLayout layout)
{
    return layout == RailViewLayout::topDock || layout == RailViewLayout::topExpanded;
}

// Where nothing blends the panel over the desktop, a layout that fades in
// or out can only show whole or not at all: it shows from a little before
// halfway in until halfway out. The two layouts of a swap fade on one
// motion: for a few frames both show, so the one coming is painted on
// screen before the one going leaves (a part the window's shape newly
// shows holds the desktop until it is painted), and a layout on its way
// out is gone before the panel's slide has cut it down to a sliver.
bool showsWhole(const QWidget *layout, bool leaving)
{
    const double progress = railmotion::progress(layout);
    return leaving ? progress > 0.5 : progress >= 0.4;
}

RailTransition transitionOf(RailViewLayout layout)
{
    return layout == RailViewLayout::topExpanded ? RailTransition::moveInFromTop() : RailTransition::fade();
}

// The rounded surfaces of the opened layouts, which are built elsewhere: the
// tool strip is a capsule, the card's panel has corners of 28.
void describeSurfaces(QWidget *layout)
{
    for (QObject *child : layout->children()) {
        if (qobject_cast<ExpandedToolStrip *>(child))
            child->setProperty(drawnshape::cornerRadiusProperty, -1.0);
        else if (qobject_cast<ModuleDetailPanel *>(child))
            child->setProperty(drawnshape::cornerRadiusProperty, 28.0);
    }
}

} // namespace

RailView::RailView(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    setObjectName(u"railView"_s);
    setAttribute(Qt::WA_NoSystemBackground);
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::railEdge || field == AppState::Field::isExpanded)
            rebuild(true);
    });
    // The theme, appearance or hero colour changed: every layout repaints
    // from the style object.
    repaintOnStyleChange(this);
    rebuild(false);
}

void RailView::setExpandedLayoutFactory(LayoutFactory factory)
{
    m_expandedFactory = std::move(factory);
    // What the old factory made goes; the current layout is made again in
    // place, without a swap.
    for (RailViewLayout layout : {RailViewLayout::expanded, RailViewLayout::topExpanded}) {
        QWidget *old = m_layouts[std::size_t(layout)];
        if (!old)
            continue;
        m_layouts[std::size_t(layout)] = nullptr;
        old->hide();
        old->deleteLater();
        if (old == m_content) {
            m_content = nullptr;
            rebuild(false);
        }
    }
}

QWidget *RailView::keptLayout(RailViewLayout layout) const
{
    return m_layouts[std::size_t(layout)];
}

bool RailView::isKept(const QObject *object) const
{
    return object && std::find(m_layouts.begin(), m_layouts.end(), object) != m_layouts.end();
}

QWidget *RailView::build(RailViewLayout layout)
{
    QWidget *content = nullptr;
    switch (layout) {
    case RailViewLayout::dock:
    case RailViewLayout::topDock: {
        auto *dock = new DockRail(m_state, this);
        // A layout kept hidden holds nothing under way.
        connect(dock, &DockRail::interactionActiveChanged, this, [this, dock](bool active) {
            if (dock == m_content)
                setInteractionActive(active);
        });
        content = dock;
        break;
    }
    case RailViewLayout::expanded:
    case RailViewLayout::topExpanded: {
        // One expanded rail for every edge: it takes the edge's look when made.
        content = m_expandedFactory ? m_expandedFactory(m_state, this) : new ExpandedRail(m_state, this);
        if (auto *rail = qobject_cast<ExpandedRail *>(content)) {
            connect(rail, &ExpandedRail::settingsRequested, &m_state, &AppState::requestSettings);
            connect(rail, &ExpandedRail::interactionActiveChanged, this, [this, rail](bool active) {
                if (rail == m_content)
                    setInteractionActive(active);
            });
        }
        break;
    }
    }
    if (!content) {
        content = new QWidget(this);
        content->setObjectName(u"emptyRail"_s);
        content->setAttribute(Qt::WA_NoSystemBackground);
    }
    describeSurfaces(content);
    content->hide();
    content->setGeometry(rect());
    m_layouts[std::size_t(layout)] = content;
    return content;
}

void RailView::rebuild(bool animate)
{
    const RailViewLayout next = railview::layout(m_state.railEdge(), m_state.isExpanded());
    if (next == m_layout && m_content)
        return;
    const RailViewLayout previous = m_layout;
    m_layout = next;
    animate = animate && m_content && isVisible();
    // Opening or closing at the top runs on railmotion::topExpansion();
    // everything else moves on the smooth spring.
    const bool sameEdge = atTop(previous) == atTop(next);
    const Motion &motion = sameEdge && atTop(next) ? railmotion::topExpansion() : OrlixMotion::smooth();
    if (QWidget *old = m_content) {
        // What the old layout held cannot end any more.
        setInteractionActive(false);
        // The old layout is kept: it leaves in place and hides (the swap can
        // start inside one of its own events, which hiding does not upset).
        if (animate && sameEdge) {
            m_leavingShapes[std::size_t(previous)] = drawnshape::ofChildren(old);
            railmotion::leaveInPlace(old, transitionOf(previous), motion);
            old->lower();
        } else {
            railmotion::stop(old);
            old->hide();
        }
    }
    QWidget *content = m_layouts[std::size_t(next)];
    if (!content)
        content = build(next);
    m_content = content;
    content->setGeometry(rect());
    content->raise();
    if (animate) {
        railmotion::enter(content, transitionOf(next), motion);
        followFade(content, false);
        if (m_layouts[std::size_t(previous)] && railmotion::isLeaving(m_layouts[std::size_t(previous)]))
            followFade(m_layouts[std::size_t(previous)], true);
    } else {
        railmotion::stop(content);
        content->show();
    }
    watch(content);
    publishDrawnRegion();
}

void RailView::releaseHiddenLayouts()
{
    for (QPointer<QWidget> &layout : m_layouts) {
        if (layout && layout != m_content && layout->isHidden()) {
            delete layout.data();
            layout = nullptr;
        }
    }
}

QRegion RailView::drawnRegion() const
{
    if (!m_content)
        return {};
    return drawnshape::ofChildren(m_content).translated(m_content->pos()) & rect();
}

QRegion RailView::shownRegion() const
{
    QRegion shown = m_content && showsWhole(m_content, false) ? drawnRegion() : QRegion();
    for (std::size_t i = 0; i < m_layouts.size(); ++i) {
        const QWidget *layout = m_layouts[i];
        if (layout && layout != m_content && !layout->isHidden() && railmotion::isLeaving(layout)
            && showsWhole(layout, true))
            shown += m_leavingShapes[i].translated(layout->pos()) & rect();
    }
    return shown;
}

QRegion RailView::ornamentRegion() const
{
    if (!m_content || !showsWhole(m_content, false))
        return {};
    return drawnshape::ornamentsOfChildren(m_content).translated(m_content->pos()) & rect();
}

void RailView::followFade(QWidget *layout, bool leaving)
{
    QVariantAnimation *motion = railmotion::motionOf(layout);
    if (!motion)
        return;
    auto whole = std::make_shared<bool>(showsWhole(layout, leaving));
    connect(motion, &QVariantAnimation::valueChanged, this, [this, layout = QPointer<QWidget>(layout), leaving, whole] {
        if (!layout || showsWhole(layout, leaving) == *whole)
            return;
        *whole = !*whole;
        scheduleDrawnRegion();
    });
}

void RailView::watch(QWidget *layout)
{
    layout->installEventFilter(this);
    for (QObject *child : layout->children()) {
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
}

bool RailView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
    // A child that draws a shape of its own asks for one when it changes.
    case QEvent::LayoutRequest:
        if (isKept(watched) || isKept(watched->parent()))
            scheduleDrawnRegion();
        break;
    default:
        if (event->type() == drawnshape::ornamentChangedEvent() && (isKept(watched) || isKept(watched->parent())))
            scheduleOrnamentRegion();
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void RailView::scheduleDrawnRegion()
{
    // Many items move in one layout pass; the region follows once after it.
    if (m_regionScheduled)
        return;
    m_regionScheduled = true;
    QMetaObject::invokeMethod(this, &RailView::publishDrawnRegion, Qt::QueuedConnection);
}

void RailView::scheduleOrnamentRegion()
{
    if (m_regionScheduled || m_ornamentsScheduled)
        return;
    m_ornamentsScheduled = true;
    QMetaObject::invokeMethod(this, &RailView::publishOrnamentRegion, Qt::QueuedConnection);
}

void RailView::publishOrnamentRegion()
{
    if (!m_ornamentsScheduled)
        return;
    m_ornamentsScheduled = false;
    const QRegion ornaments = ornamentRegion();
    if (ornaments != m_publishedOrnaments) {
        m_publishedOrnaments = ornaments;
        Q_EMIT ornamentRegionChanged(ornaments);
    }
}

void RailView::publishDrawnRegion()
{
    m_regionScheduled = false;
    // What it publishes holds the ornaments too.
    m_ornamentsScheduled = false;
    if (m_content)
        watch(m_content);
    const QRegion region = drawnRegion();
    if (region != m_publishedRegion) {
        m_publishedRegion = region;
        Q_EMIT drawnRegionChanged(region);
    }
    const QRegion shown = shownRegion();
    if (shown != m_publishedShown) {
        m_publishedShown = shown;
        Q_EMIT shownRegionChanged(shown);
    }
    const QRegion ornaments = ornamentRegion();
    if (ornaments != m_publishedOrnaments) {
        m_publishedOrnaments = ornaments;
        Q_EMIT ornamentRegionChanged(ornaments);
    }
}

void RailView::setInteractionActive(bool active)
{
    if (active == m_interactionActive)
        return;
    m_interactionActive = active;
    Q_EMIT interactionActiveChanged(active);
}

void RailView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The current layout fills the view; the others keep their size and
    // the side of the view at the screen edge, so a layout on its way out
    // stays where it shows and a hidden one is not laid out anew.
    const QSize delta = event->oldSize().isValid() ? size() - event->oldSize() : QSize();
    const Qt::Alignment anchor = screenEdgeAnchor(m_state.railEdge());
    const int dx = anchor & Qt::AlignRight ? delta.width() : anchor & Qt::AlignHCenter ? delta.width() / 2 : 0;
    const int dy = anchor & Qt::AlignBottom ? delta.height() : anchor & Qt::AlignVCenter ? delta.height() / 2 : 0;
    for (std::size_t i = 0; i < m_layouts.size(); ++i) {
        QWidget *layout = m_layouts[i];
        if (!layout)
            continue;
        if (layout == m_content) {
            layout->setGeometry(rect());
            continue;
        }
        layout->move(layout->pos() + QPoint(dx, dy));
        // A layout on its way out that the view no longer holds whole (the
        // panel closed around it) goes now, with this size's first picture,
        // rather than with paints of its own for the rest of a fade that
        // no longer shows: the closed rail paints nothing more.
        if (railmotion::isLeaving(layout) && !layout->isHidden()
            && !(m_leavingShapes[i].translated(layout->pos()) - rect()).isEmpty()) {
            railmotion::stop(layout);
            layout->hide();
        }
    }
    publishDrawnRegion();
}

} // namespace kolu
