#pragma once

#include <QColor>
#include <QWidget>

#include <functional>

class QTimer;

namespace kolu {

// Three rounded rings that grow out of the centre and fade, about once a
// second. Every ring widget is driven by one shared timer that runs only
// while at least one of them is visible, so a rail at rest with no alert
// wakes nothing. Not hit-testable: clicks go to what lies below.
class EdgeNotificationRings : public QWidget {
    Q_OBJECT
public:
    explicit EdgeNotificationRings(const QColor &tint, QWidget *parent = nullptr);
    ~EdgeNotificationRings() override;

    QColor tint() const { return m_tint; }
    void setTint(const QColor &tint);

    // The timer every ring shares (read by tests).
    static const QTimer &sharedTimer();
    // Seconds on a steady clock; tests and benchmarks put their own.
    static void setTimeSource(std::function<double()> seconds);
    // Paints the rings for `seconds` centred in `rect`.
    static void paintRings(QPainter &painter, const QRectF &rect, const QColor &tint, double seconds);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QColor m_tint;
};

} // namespace kolu
