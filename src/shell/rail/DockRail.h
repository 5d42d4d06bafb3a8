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

// The collapsed rail at a side edge (left or right): the first pending
// alert as an edge alert, else the clipboard pulse, else the handle, placed
// against the screen edge at the rail's vertical position. An alert comes
// and goes with a fade and a 14-point shift to the right, the pulse grows
// from 0.92 about its centre as it fades in, the handle fades; a new
// vertical position slides the item along the edge.
class DockRail : public QWidget {
    Q_OBJECT
public:
    explicit DockRail(AppState &state, QWidget *parent = nullptr);

    // What shows now (null when something else does).
    EdgeAlert *alert() const;
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
    EdgeHandle *m_handle;
    ClipboardEdgePulse *m_pulse;
    QPointer<EdgeAlert> m_alert;
};

// The collapsed rail at the top edge: the first pending alert as its
// notification below the handle's place, else the handle with the clipboard
// pulse below it while one shows. A notification comes and goes with a fade
// and a 10-point rise, the pulse grows from 0.92 below the handle as it
// fades in, the handle fades.
class TopDockRail : public QWidget {
    Q_OBJECT
public:
    explicit TopDockRail(AppState &state, QWidget *parent = nullptr);

    EdgeNotification *notification() const;
    EdgeHandle *handle() const;
    ClipboardEdgePulse *pulse() const;

Q_SIGNALS:
    void interactionActiveChanged(bool active);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh(bool animate);
    void place();

    AppState &m_state;
    EdgeHandle *m_handle;
    ClipboardEdgePulse *m_pulse;
    QPointer<EdgeNotification> m_notification;
};

// The rail's state as the collapsed rails read it.
RailViewInput railViewInput(const AppState &state);

} // namespace kolu
