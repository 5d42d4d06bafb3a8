#include "shell/rail/DrawnShape.h"

#include <QPainterPath>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace kolu {

DrawnShape::~DrawnShape() = default;

namespace drawnshape {

QRegion rounded(const QRectF &rect, qreal radius)
{
    if (rect.isEmpty())
        return {};
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

namespace {

QRegion surface(const QWidget *widget)
{
    const QVariant radius = widget->property(cornerRadiusProperty);
    if (!radius.isValid())
        return widget->geometry();
    const QRectF rect(widget->geometry());
    const qreal r = radius.toDouble();
    return rounded(rect, r < 0 ? std::min(rect.width(), rect.height()) / 2 : r);
}

} // namespace

QRegion ofChildren(const QWidget *container)
{
    QRegion region;
    for (const QObject *object : container->children()) {
        if (!object->isWidgetType())
            continue;
        const auto *child = static_cast<const QWidget *>(object);
        if (child->isWindow() || !child->isVisibleTo(container))
            continue;
        if (const auto *shaped = dynamic_cast<const DrawnShape *>(child))
            region += shaped->drawnShape().translated(child->pos()) & child->geometry();
        else if (!child->testAttribute(Qt::WA_TransparentForMouseEvents))
            region += surface(child);
    }
    return region;
}


} // namespace drawnshape

} // namespace kolu
