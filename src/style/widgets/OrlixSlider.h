#pragma once

#include <QColor>
#include <QSlider>

namespace kolu {

// A horizontal slider over whole steps: a thin track filled up to the knob
// in the tint (the primary button fill unless set) and a round white knob.
// A press or drag on the track moves the knob to the nearest step; the
// arrow keys, Page Up/Down, Home and End move it too. Only a user's move
// emits moved(); setValue() is silent apart from QAbstractSlider's own
// valueChanged().
//
// The desktop look draws and handles the slider as the application's
// widget style does (groove, handle, paging on a press beside the handle);
// the tint then fills the groove up to the handle.
class OrlixSlider : public QSlider {
    Q_OBJECT
public:
    enum class Look { kit, desktop };

    explicit OrlixSlider(QWidget *parent = nullptr);

    void setLook(Look look);
    Look look() const { return m_look; }
    void setTint(const QColor &tint);
    const QColor &tint() const { return m_tint; }

    // The value at x (widget coordinates), snapped to a step and clamped.
    int valueAt(qreal x) const;
    // The knob's centre for `value`.
    QPointF knobCentre(int value) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

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

    Look m_look = Look::kit;
    QColor m_tint;
    bool m_dragging = false;
};

} // namespace kolu
