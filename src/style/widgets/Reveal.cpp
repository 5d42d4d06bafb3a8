#include "style/widgets/Reveal.h"

#include <QGraphicsEffect>
#include <QPainter>
#include <QVariantAnimation>
#include <QWidget>

#include <algorithm>

namespace kolu {

// Draws the widget faded and pushed up by the part of its height not yet
// shown, clipped to its own rectangle.
class RevealEffect : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

    void setProgress(qreal progress)
    {
        m_progress = std::clamp<qreal>(progress, 0, 1);
        update();
    }

protected:
    void draw(QPainter *painter) override
    {
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
        if (pixmap.isNull())
            return;
        const QRectF bounds = sourceBoundingRect(Qt::LogicalCoordinates);
        painter->save();
        painter->setClipRect(bounds);
        painter->setOpacity(painter->opacity() * m_progress);
        painter->drawPixmap(QPointF(offset) - QPointF(0, bounds.height() * (1 - m_progress)), pixmap);
        painter->restore();
    }

private:
    qreal m_progress = 1;
};

Reveal::Reveal(QWidget *target, const Motion &motion)
    : QObject(target)
    , m_target(target)
    , m_motion(motion)
{
    m_open = m_target->isVisibleTo(m_target->parentWidget());
    m_progress = m_open ? 1 : 0;
}

bool Reveal::isMoving() const
{
    return m_animation && m_animation->state() == QAbstractAnimation::Running;
}

void Reveal::setOpen(bool open)
{
    // The widget decides whether it is open: one hidden behind the Reveal's
    // back (by its parent, or another motion that ended) opens again.
    if (open == m_open && !(open && m_target->isHidden()))
        return;
    m_open = open;
    const qreal from = m_progress;
    if (m_animation)
        m_animation->stop();
    if (open)
        m_target->show();
    // An unseen widget has nothing to move.
    if (!m_target->isVisible() || !OrlixMotion::enabled()) {
        m_progress = open ? 1 : 0;
        if (m_effect)
            m_target->setGraphicsEffect(nullptr);
        m_target->setVisible(open);
        return;
    }
    if (!m_effect) {
        m_effect = new RevealEffect(m_target);
        m_target->setGraphicsEffect(m_effect);
    }
    if (!m_animation) {
        m_animation = new QVariantAnimation(this);
        applyMotion(m_animation, m_motion);
        connect(m_animation, &QVariantAnimation::valueChanged, this,
                [this](const QVariant &value) { apply(value.toDouble()); });
        connect(m_animation, &QVariantAnimation::finished, this, [this] {
            // At rest the widget paints directly, without an offscreen pass.
            if (m_effect)
                m_target->setGraphicsEffect(nullptr);
            if (!m_open)
                m_target->hide();
        });
    }
    m_animation->setStartValue(from);
    m_animation->setEndValue(open ? 1.0 : 0.0);
    apply(from);
    runMotion(m_animation);
}

void Reveal::apply(qreal progress)
{
    m_progress = progress;
    if (m_effect)
        m_effect->setProgress(progress);
}

void fadeIn(QWidget *widget, const Motion &motion)
{
    if (!widget->isVisible() || !OrlixMotion::enabled())
        return;
    auto *effect = new QGraphicsOpacityEffect(widget);
    effect->setOpacity(0);
    widget->setGraphicsEffect(effect); // replaces (and deletes) a fade still running
    QPointer<QGraphicsOpacityEffect> shown(effect);
    auto *fade = new QVariantAnimation(widget);
    applyMotion(fade, motion);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    QObject::connect(fade, &QVariantAnimation::valueChanged, widget, [shown](const QVariant &value) {
        if (shown)
            shown->setOpacity(std::clamp(value.toDouble(), 0.0, 1.0));
    });
    QObject::connect(fade, &QVariantAnimation::finished, widget, [widget, shown, fade] {
        if (shown && widget->graphicsEffect() == shown)
            widget->setGraphicsEffect(nullptr);
        fade->deleteLater();
    });
    runMotion(fade);
}

} // namespace kolu
