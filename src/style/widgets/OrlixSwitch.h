#pragma once

#include <QAbstractButton>
#include <QColor>

class QVariantAnimation;

namespace kolu {

// An on/off switch: a 34 x 20 capsule whose knob slides with the smooth
// spring; on, the track takes the tint (the primary button fill unless set).
// Space toggles it like a click.
class OrlixSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit OrlixSwitch(QWidget *parent = nullptr);

    void setTint(const QColor &tint);
    // 0 (off) to 1 (on), animated.
    qreal knobPosition() const { return m_position; }

    QSize sizeHint() const override { return {34, 20}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }

private:
    QColor m_tint;
    qreal m_position = 0;
    QVariantAnimation *m_slide;
};

} // namespace kolu
