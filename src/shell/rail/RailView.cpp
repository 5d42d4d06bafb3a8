#include "shell/rail/RailView.h"

#include "shell/rail/DockRail.h"
#include "shell/rail/expanded/ExpandedRail.h"
#include "shell/rail/expanded/TopExpandedRail.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"

namespace kolu {

RailView::RailView(AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("railView"));
    setAttribute(Qt::WA_NoSystemBackground);
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::railEdge || field == AppState::Field::isExpanded)
            rebuild(false);
    });
    // The theme, appearance or hero colour changed: every layout repaints
    // from the style object.
    connect(&OrlixStyle::current(), &OrlixStyle::changed, this, [this] { update(); });
    rebuild(true);
}

void RailView::setExpandedLayoutFactory(RailViewLayout layout, LayoutFactory factory)
{
    if (layout == RailViewLayout::expanded)
        m_expanded = std::move(factory);
    else if (layout == RailViewLayout::topExpanded)
        m_topExpanded = std::move(factory);
    else
        return;
    if (m_layout == layout)
        rebuild(true);
}

void RailView::rebuild(bool force)
{
    const RailViewLayout next = railview::layout(m_state.railEdge(), m_state.isExpanded());
    if (!force && next == m_layout && m_content)
        return;
    m_layout = next;
    // The swap can start inside an event of the old layout (a file drag
    // entering the handle opens the Tray): delete it once that has returned.
    if (m_content) {
        // What the old layout held cannot end any more.
        setInteractionActive(false);
        m_content->hide();
        m_content->deleteLater();
    }
    QWidget *content = nullptr;
    switch (next) {
    case RailViewLayout::dock: {
        auto *dock = new DockRail(m_state, this);
        connect(dock, &DockRail::interactionActiveChanged, this, &RailView::setInteractionActive);
        content = dock;
        break;
    }
    case RailViewLayout::topDock: {
        auto *top = new TopDockRail(m_state, this);
        connect(top, &TopDockRail::interactionActiveChanged, this, &RailView::setInteractionActive);
        content = top;
        break;
    }
    case RailViewLayout::expanded:
        content = m_expanded ? m_expanded(m_state, this) : nullptr;
        if (auto *side = qobject_cast<ExpandedRail *>(content))
            connect(side, &ExpandedRail::interactionActiveChanged, this, &RailView::setInteractionActive);
        break;
    case RailViewLayout::topExpanded:
        content = m_topExpanded ? m_topExpanded(m_state, this) : nullptr;
        if (auto *top = qobject_cast<TopExpandedRail *>(content))
            connect(top, &TopExpandedRail::interactionActiveChanged, this, &RailView::setInteractionActive);
        break;
    }
    if (!content) {
        content = new QWidget(this);
        content->setObjectName(QStringLiteral("emptyRail"));
        content->setAttribute(Qt::WA_NoSystemBackground);
    }
    m_content = content;
    content->setGeometry(rect());
    content->show();
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
}

} // namespace kolu
