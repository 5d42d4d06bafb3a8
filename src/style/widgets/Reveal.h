#pragma once

#include "style/Motion.h"

#include <QObject>
#include <QPointer>

class QVariantAnimation;
class QWidget;

namespace kolu {

class RevealEffect;

// Shows and hides a widget with a motion: it fades in as it slides down from
// behind its own top edge, and leaves the same way back up. The layout gives
// the widget its room as it opens and takes it back when it has left. The
// motion draws through the widget's graphics effect, so the widget carries
// none of its own. A widget has one Reveal for its life: a second one made
// while the first still closes it would take the widget for open.
class Reveal : public QObject {
    Q_OBJECT
public:
    Reveal(QWidget *target, const Motion &motion);

    // Opening shows the widget at once, also one hidden by other means since
    // it last opened; closing hides it when the motion ends.
    void setOpen(bool open);
    bool isOpen() const { return m_open; }
    // 0 gone, 1 fully shown.
    qreal progress() const { return m_progress; }
    bool isMoving() const;

private:
    void apply(qreal progress);

    QWidget *m_target;
    Motion m_motion;
    QVariantAnimation *m_animation = nullptr; // made on the first move
    QPointer<RevealEffect> m_effect;
    bool m_open = false;
    qreal m_progress = 0;
};

// Fades `widget` in from nothing with `motion` (a label that has just
// changed, say); at the end it paints directly again. Like Reveal, it uses
// the widget's graphics effect. With motion off, or
// while the widget is not shown, nothing happens.
void fadeIn(QWidget *widget, const Motion &motion);

} // namespace kolu
