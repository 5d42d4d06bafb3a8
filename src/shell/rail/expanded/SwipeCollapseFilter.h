#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>

class QWidget;

namespace kolu {

class AppState;

// Watches presses and releases anywhere inside `root` and collapses the rail
// after a swipe: sideways at a side edge, upwards at the top. It consumes no
// event, so buttons and cards still get every press; a press that starts in
// a text field, and a drag that reorders the modules, are no swipe.
class SwipeCollapseFilter : public QObject {
    Q_OBJECT
public:
    enum class Direction { sideways, upwards };
    SwipeCollapseFilter(AppState &state, QWidget *root, Direction direction);
    ~SwipeCollapseFilter() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isInside(QObject *object) const;

    AppState &m_state;
    QPointer<QWidget> m_root;
    Direction m_direction;
    bool m_tracking = false;
    QPointF m_start;
};

} // namespace kolu
