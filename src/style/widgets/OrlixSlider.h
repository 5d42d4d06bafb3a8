#pragma once

#include <QAbstractSlider>
#include <QColor>

namespace kolu {

// A horizontal slider over whole steps: a thin track filled up to the knob
// in the tint (the primary button fill unless set) and a round white knob.
// A press or drag on the track moves the knob to the nearest step; the
// arrow keys, Page Up/Down, Home and End move it too. Only a user's move
// emits moved(); setValue() is silent apart from QAbstractSlider's own
// valueChanged().
class OrlixSlider : public QAbstractSlider {
    Q_OBJECT
public:
    explicit OrlixSlider(QWidget *parent = nullptr);

    void setTint(const QColor &tint);
    const QColor &tint() const { return m_tint; }

    // The value at x (widget coordinates), snapped to a step and clamped.
    int valueAt(qreal x) const;
    // The knob's centre for `value`.
    QPointF knobCentre(int value) const;

    QSize sizeHint() const override { return {160, 22}; }
    QSize minimumSizeHint() const override { return {60, 22}; }

Q_SIGNALS:
    // The user moved the knob to `value`.
    void moved(int value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void moveTo(int value);
    qreal trackLeft() const;
    qreal trackRight() const;

    QColor m_tint;
    bool m_dragging = false;
};

} // namespace kolu
