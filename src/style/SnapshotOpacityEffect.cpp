#include "style/SnapshotOpacityEffect.h"

#include "style/WidgetSnapshot.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace kolu {

SnapshotOpacityEffect::SnapshotOpacityEffect(QWidget *widget)
    : QGraphicsEffect(widget)
    , m_snapshot(new WidgetSnapshot(widget, this))
{
}

void SnapshotOpacityEffect::setOpacity(qreal opacity)
{
    opacity = std::clamp(opacity, 0.0, 1.0);
    if (qFuzzyCompare(opacity, m_opacity))
        return;
    m_opacity = opacity;
    update();
}

void SnapshotOpacityEffect::sourceChanged(ChangeFlags flags)
{
    if (flags & (SourceAttached | SourceBoundingRectChanged | SourceInvalidated))
        m_snapshot->invalidate();
}

void SnapshotOpacityEffect::draw(QPainter *painter)
{
    if (qFuzzyIsNull(m_opacity))
        return;
    const QTransform device = painter->deviceTransform();
    const qreal scale = std::hypot(device.m11(), device.m12());
    if (m_snapshot->isDue(scale)) {
        // Rendering the widget sends its children paint events of their
        // own, none of which changes what is being taken.
        m_snapshot->setTaking(true);
        QPoint origin;
        const QPixmap picture = sourcePixmap(Qt::LogicalCoordinates, &origin, QGraphicsEffect::NoPad);
        m_snapshot->setTaking(false);
        m_snapshot->keep(picture, origin, scale);
    }
    if (m_snapshot->picture().isNull())
        return;
    painter->save();
    painter->setOpacity(m_opacity);
    painter->drawPixmap(m_snapshot->origin(), m_snapshot->picture());
    painter->restore();
}

} // namespace kolu
