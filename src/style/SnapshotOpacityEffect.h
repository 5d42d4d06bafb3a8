#pragma once

#include <QGraphicsEffect>

namespace kolu {

class WidgetSnapshot;

// Draws its widget, with its children, at an opacity: like
// QGraphicsOpacityEffect, but from a kept picture of the widget (see
// WidgetSnapshot) instead of a fresh offscreen rendering on every frame.
// While a fade runs only the opacity and the widget's place change, so a
// frame is one blit.
class SnapshotOpacityEffect : public QGraphicsEffect {
    Q_OBJECT
public:
    // For `widget`, which the caller gives the effect with
    // QWidget::setGraphicsEffect(); the widget is its parent.
    explicit SnapshotOpacityEffect(QWidget *widget);

    qreal opacity() const { return m_opacity; }
    // Repaints only for a change that shows.
    void setOpacity(qreal opacity);

    const WidgetSnapshot &snapshot() const { return *m_snapshot; }

    // Only what the kept picture covers, once it is known: a step of the
    // fade repaints that, not the clear rest of the widget.
    QRectF boundingRectFor(const QRectF &rect) const override;

protected:
    void draw(QPainter *painter) override;
    void sourceChanged(ChangeFlags flags) override;

private:
    WidgetSnapshot *m_snapshot;
    qreal m_opacity = 1.0;
    // The opacity of the last repaint asked for.
    qreal m_shownOpacity = 1.0;
};

} // namespace kolu
