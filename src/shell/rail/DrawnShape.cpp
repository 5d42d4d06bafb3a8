#include "shell/rail/DrawnShape.h"

#include <QCoreApplication>
#include <QPainterPath>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>

namespace kolu {

DrawnShape::~DrawnShape() = default;

namespace drawnshape {

QRegion rounded(const QRectF &rect, qreal radius)
{
    if (rect.isEmpty())
        return {};
    // A surface that moves (a card coming in) asks for the same shape on
    // every frame: the shape is made once per size, fraction and radius and
    // moved to its place.
    struct Shape {
        QSizeF size;
        QPointF fraction;
        qreal radius;
        QRegion region;
    };
    static std::array<Shape, 8> recent;
    static size_t next = 0;
    const QPointF whole(std::floor(rect.x()), std::floor(rect.y()));
    const QPointF fraction = rect.topLeft() - whole;
    for (const Shape &shape : recent) {
        if (shape.size == rect.size() && shape.fraction == fraction && shape.radius == radius
            && !shape.region.isEmpty())
            return shape.region.translated(whole.toPoint());
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(fraction, rect.size()), radius, radius);
    Shape &shape = recent[next++ % recent.size()];
    shape = {rect.size(), fraction, radius, QRegion(path.toFillPolygon().toPolygon())};
    return shape.region.translated(whole.toPoint());
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

bool inShapedWindow(const QWidget *widget)
{
    const QWidget *window = widget->window();
    return window && window->property(shapedWindowProperty).toBool();
}

QEvent::Type ornamentChangedEvent()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void ornamentChanged(QWidget *widget)
{
    if (QWidget *container = widget->parentWidget())
        QCoreApplication::postEvent(container, new QEvent(ornamentChangedEvent()));
}

double fadeOpacity(const QWidget *widget, double opacity)
{
    return inShapedWindow(widget) ? 1.0 : opacity;
}

namespace {

// Calls `take` with each child of `container` that shows within it.
template<typename Take>
void forEachShownChild(const QWidget *container, Take take)
{
    for (const QObject *object : container->children()) {
        if (!object->isWidgetType())
            continue;
        const auto *child = static_cast<const QWidget *>(object);
        if (!child->isWindow() && child->isVisibleTo(container))
            take(child);
    }
}

} // namespace

QRegion ofChildren(const QWidget *container)
{
    QRegion region;
    forEachShownChild(container, [&region](const QWidget *child) {
        if (const auto *shaped = dynamic_cast<const DrawnShape *>(child))
            region += shaped->drawnShape().translated(child->pos()) & child->geometry();
        else if (!child->testAttribute(Qt::WA_TransparentForMouseEvents))
            region += surface(child);
    });
    return region;
}

QRegion ornamentsOfChildren(const QWidget *container)
{
    QRegion region;
    forEachShownChild(container, [&region](const QWidget *child) {
        if (const auto *shaped = dynamic_cast<const DrawnShape *>(child))
            region += shaped->ornamentShape().translated(child->pos()) & child->geometry();
    });
    return region;
}

} // namespace drawnshape

} // namespace kolu
