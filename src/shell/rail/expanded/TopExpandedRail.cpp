#include "shell/rail/expanded/TopExpandedRail.h"

#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/SwipeCollapseFilter.h"
#include "shell/rules/ExpandedRailGeometry.h"
#include "state/AppState.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <cmath>

namespace kolu {

TopExpandedRail::TopExpandedRail(AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("topExpandedRail"));
    const double s = state.railScaleFactor();
    auto *column = new QVBoxLayout(this);
    const int side = qRound(16 * s);
    column->setContentsMargins(side, 0, side, 0);
    column->setSpacing(14);

    m_strip = new TopExpandedToolStrip(state, this);
    m_strip->setFixedHeight(qRound(expandedrail::stripWidth * s));
    connect(m_strip, &ExpandedToolStrip::settingsRequested, this, &TopExpandedRail::settingsRequested);
    column->addWidget(m_strip);

    m_row = new QHBoxLayout;
    m_row->setSpacing(12);
    m_row->addStretch(1);
    m_panel = new ModuleDetailPanel(state, state.selectedModule(), this);
    m_panel->setFixedSize(qRound(expandedrail::cardWidth * s), qRound(expandedrail::cardHeight * s));
    m_row->addWidget(m_panel, 0, Qt::AlignTop);
    m_row->addStretch(1);
    column->addLayout(m_row);
    column->addStretch(1);
    m_strip->raise();

    new SwipeCollapseFilter(state, this, SwipeCollapseFilter::Direction::upwards);
    connect(&state, &AppState::changed, this, [this](AppState::Field f) {
        if (f == AppState::Field::selectedModule)
            m_panel->setModule(m_state.selectedModule());
    });
}

void TopExpandedRail::setNotification(QWidget *notification)
{
    if (m_notification == notification)
        return;
    delete m_notification;
    m_notification = notification;
    if (notification) {
        notification->setParent(this);
        m_row->insertWidget(2, notification, 0, Qt::AlignTop);
        notification->show();
    }
}

} // namespace kolu
