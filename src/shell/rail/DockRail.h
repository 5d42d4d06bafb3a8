#pragma once

#include "shell/rules/CollapsedRailRules.h"

#include <QPointer>
#include <QWidget>

namespace kolu {

class AppState;
class ClipboardEdgePulse;
class EdgeAlert;
class EdgeHandle;
class EdgeNotification;

// The collapsed rail: the first pending alert, else the handle and the
// clipboard pulse, placed against the screen edge. At a side edge the alert
// shows as an edge alert (tile and notification) and the pulse takes the
// handle's place at the rail's vertical position; at the top the alert is
// its notification below the handle's place and the pulse shows below the
// handle. What differs between the edges is one `DockEdge`, chosen by the
// edge the rail has when this view is made.
//
// Motion: an alert comes and goes with a fade and a shift (14 points to the
// right at a side, a 10-point rise at the top), the pulse grows from 0.92 as
// it fades in, the handle fades; a new vertical position slides the items
// along the edge.
class DockRail : public QWidget {
    Q_OBJECT
public:
    struct DockEdge;

    explicit DockRail(AppState &state, QWidget *parent = nullptr);

    // What shows now (null when something else does). `alert()` is the side
    // edge's alert; `notification()` the pending alert's notification at
    // either edge.
    EdgeAlert *alert() const;
    EdgeNotification *notification() const;
    EdgeHandle *handle() const;
    ClipboardEdgePulse *pulse() const;

Q_SIGNALS:
    // A drag over the handle or a menu of an alert is in progress.
    void interactionActiveChanged(bool active);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // With `animate`, what comes and goes does so with its transition.
    void refresh(bool animate);
    void place();

    AppState &m_state;
    const DockEdge &m_edge;
    EdgeHandle *m_handle;
    ClipboardEdgePulse *m_pulse;
    QPointer<QWidget> m_alert;
    EdgeAlertKind m_alertKind = EdgeAlertKind::calendar;
};

// The rail's state as the collapsed rails read it.
RailViewInput railViewInput(const AppState &state);

} // namespace kolu
