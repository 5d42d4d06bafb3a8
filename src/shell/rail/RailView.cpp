#include "shell/rail/RailView.h"

#include "shell/rail/DockRail.h"
#include "shell/rail/DrawnShape.h"
#include "shell/rail/RailTransition.h"
#include "shell/rail/expanded/ExpandedRail.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"

#include <QEvent>

namespace kolu {

namespace {

bool atTop(RailViewLayout layout)
{
    return layout == RailViewLayout::topDock || layout == RailViewLayout::topExpanded;
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

RailView::RailView(AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("railView"));
    setAttribute(Qt::WA_NoSystemBackground);
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::railEdge || field == AppState::Field::isExpanded)
            rebuild(true);
    });
    // The theme, appearance or hero colour changed: every layout repaints
    // from the style object.
    connect(&OrlixStyle::current(), &OrlixStyle::changed, this, [this] { update(); });
    rebuild(false);
}

void RailView::setExpandedLayoutFactory(RailViewLayout layout, LayoutFactory factory)
{
    if (layout == RailViewLayout::expanded)
        m_expanded = std::move(factory);
    else if (layout == RailViewLayout::topExpanded)
        m_topExpanded = std::move(factory);
    else
        return;
    if (m_layout == layout) {
        m_content = nullptr; // rebuilt in place, without a swap
        rebuild(false);
    }
}

void RailView::rebuild(bool animate)
{
    const RailViewLayout next = railview::layout(m_state.railEdge(), m_state.isExpanded());
    if (next == m_layout && m_content)
        return;
    const RailViewLayout previous = m_layout;
    m_layout = next;
    animate = animate && m_content && isVisible();
    // Opening or closing at the top eases out over 0.16 s; everything else
    // moves on the smooth spring.
    const bool sameEdge = atTop(previous) == atTop(next);
    const Motion &motion = sameEdge && atTop(next) ? railmotion::topExpansion() : OrlixMotion::smooth();
    // The swap can start inside an event of the old layout (a file drag
    // entering the handle opens the Tray): delete it once that has returned.
    for (QWidget *old : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (old->objectName() == QLatin1String("leavingPicture") || old->isHidden())
            continue;
        // What the old layout held cannot end any more.
        setInteractionActive(false);
        if (animate && sameEdge)
            railmotion::leave(old, transitionOf(previous), motion, screenEdgeAnchor(m_state.railEdge()));
        old->hide();
        old->deleteLater();
    }
    QWidget *content = nullptr;
    switch (next) {
    case RailViewLayout::dock:
    case RailViewLayout::topDock: {
        auto *dock = new DockRail(m_state, this);
        connect(dock, &DockRail::interactionActiveChanged, this, &RailView::setInteractionActive);
        content = dock;
        break;
    }
    case RailViewLayout::expanded:
    case RailViewLayout::topExpanded: {
        const LayoutFactory &factory = next == RailViewLayout::expanded ? m_expanded : m_topExpanded;
        content = factory ? factory(m_state, this) : nullptr;
        if (auto *rail = qobject_cast<ExpandedRail *>(content))
            connect(rail, &ExpandedRail::interactionActiveChanged, this, &RailView::setInteractionActive);
        break;
    }
    }
    if (!content) {
        content = new QWidget(this);
        content->setObjectName(QStringLiteral("emptyRail"));
        content->setAttribute(Qt::WA_NoSystemBackground);
    }
    describeSurfaces(content);
    m_content = content;
    content->setGeometry(rect());
    if (animate)
        railmotion::enter(content, transitionOf(next), motion);
    else
        content->show();
    watchContent();
    publishDrawnRegion();
}

QRegion RailView::drawnRegion() const
{
    if (!m_content)
        return {};
    return drawnshape::ofChildren(m_content).translated(m_content->pos()) & rect();
}

void RailView::watchContent()
{
    if (!m_content)
        return;
    m_content->installEventFilter(this);
    for (QObject *child : m_content->children()) {
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
        if (m_content && (watched == m_content || watched->parent() == m_content))
            scheduleDrawnRegion();
        break;
    default:
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

void RailView::publishDrawnRegion()
{
    m_regionScheduled = false;
    watchContent();
    const QRegion region = drawnRegion();
    if (region == m_publishedRegion)
        return;
    m_publishedRegion = region;
    Q_EMIT drawnRegionChanged(region);
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
    if (m_content)
        m_content->setGeometry(rect());
    publishDrawnRegion();
}

} // namespace kolu
