#pragma once

#include "shell/rail/DrawnShape.h"

#include <QWidget>

namespace kolu {

class AppState;
class EdgeNotificationRings;
class GlowTile;

// The short-lived Tray badge with rings that shows at the edge when the
// clipboard captured something; a click opens the Tray. It keeps 10 points
// from a side screen edge (inside its own frame) and none at the top.
class ClipboardEdgePulse : public QWidget, public DrawnShape {
    Q_OBJECT
public:
    explicit ClipboardEdgePulse(AppState &state, QWidget *parent = nullptr);
    QSize sizeHint() const override;
    // The widest ring around the tile; where only what is drawn shows, the
    // tile.
    QRegion drawnShape() const override;
    // Where only what is drawn shows, the rings drawn solid; else nothing.
    QRegion ornamentShape() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRectF badgeRect() const;

    AppState &m_state;
    EdgeNotificationRings *m_rings;
    GlowTile *m_tile;
};

} // namespace kolu
