#include "shell/rail/expanded/Glide.h"

#include "shell/rail/DrawnShape.h"
#include "style/Motion.h"
#include "style/SnapshotOpacityEffect.h"

#include <QVariantAnimation>
#include <QWidget>

#include <algorithm>

namespace kolu {

Glide::Glide(double value, std::function<void()> step, QObject *parent)
    : QObject(parent)
    , m_value(value)
    , m_target(value)
    , m_step(std::move(step))
    , m_animation(new QVariantAnimation(this))
{
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        if (m_animation->state() != QAbstractAnimation::Running)
            return; // the start value is announced before the run begins
        m_value = v.toDouble();
        m_step();
    });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        m_value = m_target; // a spring's curve ends exactly on 1, but never trust rounding
        m_step();
        Q_EMIT arrived();
    });
}

bool Glide::isMoving() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

void Glide::moveTo(double target, const Motion &motion)
{
    if (target == m_target && (isMoving() || m_value == target))
        return;
    m_target = target;
    m_animation->stop();
    if (m_value == target || motion.durationMs <= 0) {
        jumpTo(target);
        return;
    }
    m_animation->setDuration(motion.durationMs);
    m_animation->setEasingCurve(motion.curve);
    m_animation->setStartValue(m_value);
    m_animation->setEndValue(target);
    m_animation->start();
}

void Glide::jumpTo(double target)
{
    m_animation->stop();
    m_target = target;
    if (m_value != target) {
        m_value = target;
        m_step();
    }
    Q_EMIT arrived();
}

void fadeWhileMoving(QWidget *widget, double opacity, bool moving)
{
    // Where nothing composites the rail, what fades shows whole as it moves.
    if (drawnshape::inShapedWindow(widget)) {
        opacity = 1;
        moving = false;
    }
    auto *effect = qobject_cast<SnapshotOpacityEffect *>(widget->graphicsEffect());
    if (opacity >= 1 && !moving) {
        if (effect)
            widget->setGraphicsEffect(nullptr);
        return;
    }
    if (!effect) {
        // What fades in or out stays as it is meanwhile: it is drawn from
        // one picture rather than rendered again on every frame.
        effect = new SnapshotOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(std::clamp(opacity, 0.0, 1.0));
}

} // namespace kolu
