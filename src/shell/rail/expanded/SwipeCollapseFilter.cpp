#include "shell/rail/expanded/SwipeCollapseFilter.h"

#include "shell/rules/ExpandedRailGeometry.h"
#include "state/AppState.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cmath>

namespace kolu {

namespace {

bool isTextField(QObject *object)
{
    for (QObject *o = object; o; o = o->parent()) {
        if (qobject_cast<QLineEdit *>(o) || qobject_cast<QTextEdit *>(o) || qobject_cast<QPlainTextEdit *>(o)
            || qobject_cast<QAbstractSpinBox *>(o))
            return true;
        if (o->isWidgetType() && static_cast<QWidget *>(o)->isWindow())
            break;
    }
    return false;
}

} // namespace

SwipeCollapseFilter::SwipeCollapseFilter(AppState &state, QWidget *root, Direction direction)
    : QObject(root)
    , m_state(state)
    , m_root(root)
    , m_direction(direction)
{
    // Presses land on the deepest child, so the filter watches the whole
    // application and keeps to events inside the rail.
    qApp->installEventFilter(this);
}

SwipeCollapseFilter::~SwipeCollapseFilter()
{
    qApp->removeEventFilter(this);
}

bool SwipeCollapseFilter::isInside(QObject *object) const
{
    for (QObject *o = object; o; o = o->parent())
        if (o == m_root)
            return true;
    return false;
}

bool SwipeCollapseFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton || !watched->isWidgetType() || !isInside(watched))
        return false;
    if (type == QEvent::MouseButtonPress) {
        m_tracking = !isTextField(watched) && !m_state.isReorderingRail();
        m_start = mouse->globalPosition();
        return false;
    }
    if (!m_tracking)
        return false;
    m_tracking = false;
    if (m_state.isReorderingRail())
        return false;
    const QPointF d = mouse->globalPosition() - m_start;
    if (std::hypot(d.x(), d.y()) < expandedrail::swipeMinimumDistance)
        return false;
    const bool collapses = m_direction == Direction::sideways ? expandedrail::sideSwipeCollapses(d.x())
                                                              : expandedrail::topSwipeCollapses(d.y());
    if (collapses)
        m_state.hideToEdge();
    return false;
}

} // namespace kolu
