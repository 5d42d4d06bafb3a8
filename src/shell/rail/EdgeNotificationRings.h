#pragma once

#include <QColor>
#include <QWidget>

#include <functional>

class QTimer;

namespace kolu {

class RingsRunner;

// Three rounded rings that grow out of the centre and fade, about once a
// second. Every ring widget moves on with one shared clock that runs only
// while at least one of them is visible, so a rail at rest with no alert
// wakes nothing; each of its ticks repaints only the rings' own box, from
// pictures drawn once. Not hit-testable: clicks go to what lies below.
class EdgeNotificationRings : public QWidget {
    Q_OBJECT
public:
    explicit EdgeNotificationRings(const QColor &tint, QWidget *parent = nullptr);

    QColor tint() const { return m_tint; }
    void setTint(const QColor &tint);
    // What the rings' motion repaints: their box around the centre, within
    // the widget.
    QRect ringsRect() const;

    // Where nothing composites the rail's window (DrawnShape.h), the rings
    // are drawn solid and only their pixels show: what they draw now, in
    // the widget's coordinates; empty elsewhere. They take no clicks, and
    // each new solid picture (one in ringpictures::kSolidStep) asks the
    // parent for a new shape (a layout request).
    QRegion solidShape() const;

    // The timer every ring shares (read by tests).
    static const QTimer &sharedTimer();
    // Seconds on a steady clock; tests and benchmarks put their own.
    static void setTimeSource(std::function<double()> seconds);
    // Strokes the rings for `seconds` centred in `rect`.
    static void paintRings(QPainter &painter, const QRectF &rect, const QColor &tint, double seconds);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_tint;
    RingsRunner *m_runner;
    // The parent last heard of solid rings.
    bool m_shapedSolid = false;
    // The solid picture last shown.
    int m_solidPicture = -1;
};

} // namespace kolu
