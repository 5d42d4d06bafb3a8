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
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    // A step under half of the 8-bit alpha's shows nothing: no repaint
    // (a spring's tail), but the ends always repaint.
    if (std::abs(opacity - m_shownOpacity) < 0.5 / 255 && opacity != 0 && opacity != 1)
        return;
    m_shownOpacity = opacity;
    update();
}

QRectF SnapshotOpacityEffect::boundingRectFor(const QRectF &rect) const
{
    // Qt asks with the widget's whole rectangle (in its own or in its
    // parent's coordinates) or with a part of it that repaints; a part
    // keeps its own rectangle.
    const std::optional<QRectF> painted = m_snapshot->paintedRect();
    if (!painted || rect.size() != sourceBoundingRect().size())
        return rect;
    return rect & painted->translated(rect.topLeft());
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
    m_snapshot->refresh(*painter, [this](QPoint *origin) {
        return sourcePixmap(Qt::LogicalCoordinates, origin, QGraphicsEffect::NoPad);
    });
    if (m_snapshot->picture().isNull())
        return;
    painter->save();
    painter->setOpacity(m_opacity);
    painter->drawPixmap(m_snapshot->origin(), m_snapshot->picture());
    painter->restore();
}

} // namespace kolu
