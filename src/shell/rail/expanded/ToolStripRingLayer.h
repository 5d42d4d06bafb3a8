#pragma once

#include <QPointer>
#include <QWidget>

namespace kolu {

class ExpandedToolStrip;
class ToolStripButton;

// The alert and clipboard rings of a tool strip's buttons. They grow to
// 100 x 86, past the 54 x 42 button and past the strip's glass, so they are
// painted on this layer above the strip, which covers its parent and takes
// no input. It paints only while a button's rings run, and where the
// strip's module list scrolls, only level with the list's visible part.
class ToolStripRingLayer : public QWidget {
    Q_OBJECT
public:
    ToolStripRingLayer(ExpandedToolStrip *strip, QWidget *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPointF ringsCentre(const ToolStripButton *button) const;
    // Where rings may show, in the layer's coordinates.
    QRect shownBand() const;
    void updateRings(ToolStripButton *button);

    QPointer<ExpandedToolStrip> m_strip;
};

} // namespace kolu
