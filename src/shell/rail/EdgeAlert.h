#pragma once

#include "shell/rail/DrawnShape.h"
#include "shell/rules/CollapsedRailRules.h"

#include <QWidget>

namespace kolu {

class AppState;
class EdgeNotification;
class EdgeNotificationRings;
class GlowTile;

// A pending alert at a side edge: a glowing glass tile with the module's
// symbol at the screen edge and the alert's notification beside it, towards
// the screen. Its frame is 430s x 112; spare width stays on the screen side.
class EdgeAlert : public QWidget, public DrawnShape {
    Q_OBJECT
public:
    EdgeAlert(EdgeAlertKind kind, AppState &state, QWidget *parent = nullptr);

    EdgeAlertKind kind() const { return m_kind; }
    EdgeNotification *notification() const { return m_notification; }
    QSize sizeHint() const override;
    // The widest ring around the tile, and the notification; where only
    // what is drawn shows, the tile and the notification.
    QRegion drawnShape() const override;
    // Where only what is drawn shows, the rings drawn solid; else nothing.
    QRegion ornamentShape() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    railview::EdgeAlertGeometry geometryNow() const;
    void relayout();

    EdgeAlertKind m_kind;
    AppState &m_state;
    EdgeNotificationRings *m_rings;
    GlowTile *m_tile;
    EdgeNotification *m_notification;
};

} // namespace kolu
