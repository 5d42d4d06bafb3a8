#pragma once

#include <QObject>

#include <functional>

class QVariantAnimation;
class QWidget;

namespace kolu {

struct Motion;

// One number of a view that moves to each new target with one of the shared
// motions, or jumps there. It calls `step` after every change of its value;
// its animation runs only while the value moves.
class Glide : public QObject {
    Q_OBJECT
public:
    Glide(double value, std::function<void()> step, QObject *parent);

    double value() const { return m_value; }
    double target() const { return m_target; }
    bool isMoving() const;

    // Moves to `target` with `motion`, from wherever the value is now.
    void moveTo(double target, const Motion &motion);
    // Sets the value at once and stops any motion.
    void jumpTo(double target);

Q_SIGNALS:
    // The value reached its target (after a move or a jump).
    void arrived();

private:
    double m_value;
    double m_target;
    std::function<void()> m_step;
    QVariantAnimation *m_animation;
};

// Fades `widget` to `opacity` while it comes or goes; at rest in place it
// paints without the offscreen pass a fade costs. A spring passes 1 on its
// way, so the whole motion keeps the fade.
void fadeWhileMoving(QWidget *widget, double opacity, bool moving);

} // namespace kolu
