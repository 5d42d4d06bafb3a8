#include "style/WidgetSnapshot.h"

#include <cmath>

#include <QChildEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>

#include <algorithm>

namespace kolu {

namespace {

// Sent by markChanged() to a widget that repainted.
QEvent::Type changedEvent()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

// Events after which a widget may look different.
bool changesLook(QEvent::Type type)
{
    if (type == changedEvent())
        return true;
    switch (type) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Resize:
    case QEvent::LayoutRequest:
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
    case QEvent::EnabledChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::ContentsRectChange:
    case QEvent::LanguageChange:
    case QEvent::ReadOnlyChange:
    case QEvent::ActivationChange:
    case QEvent::StyleAnimationUpdate:
    case QEvent::UpdateLater: return true;
    default: return false;
    }
}

// The smallest rectangle of `image` (32-bit with alpha) outside which every
// pixel is clear; empty when all are.
QRect paintedBounds(const QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    const auto line = [&image](int y) { return reinterpret_cast<const QRgb *>(image.constScanLine(y)); };
    const auto rowClear = [&](int y) {
        const QRgb *pixels = line(y);
        return std::all_of(pixels, pixels + w, [](QRgb p) { return qAlpha(p) == 0; });
    };
    int top = 0;
    while (top < h && rowClear(top))
        ++top;
    if (top == h)
        return {};
    int bottom = h - 1;
    while (bottom > top && rowClear(bottom))
        --bottom;
    // Each row only needs looking at outside the columns found so far.
    int left = w - 1;
    int right = 0;
    for (int y = top; y <= bottom; ++y) {
        const QRgb *pixels = line(y);
        for (int x = 0; x < left; ++x) {
            if (qAlpha(pixels[x])) {
                left = x;
                break;
            }
        }
        for (int x = w - 1; x > right; --x) {
            if (qAlpha(pixels[x])) {
                right = x;
                break;
            }
        }
    }
    return QRect(QPoint(std::min(left, right), top), QPoint(std::max(left, right), bottom));
}

} // namespace

void cropToPainted(QPixmap &picture, QPointF &origin)
{
    if (picture.isNull())
        return;
    // A layout that fills the panel draws on a part of it: blending the
    // clear rest on every frame would cost as much as the part.
    const QImage image = picture.toImage();
    if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_ARGB32)
        return;
    const QRect painted = paintedBounds(image);
    if (painted.isEmpty()) {
        picture = QPixmap();
        return;
    }
    // A clear pixel kept around what is drawn, for a picture drawn scaled
    // and smoothed to fade into, as the whole picture would.
    const QRect bounds = painted.adjusted(-1, -1, 1, 1) & image.rect();
    if (qint64(bounds.width()) * bounds.height() * 4 > qint64(image.width()) * image.height() * 3)
        return;
    const qreal dpr = picture.devicePixelRatio();
    picture = picture.copy(bounds);
    picture.setDevicePixelRatio(dpr);
    origin += QPointF(bounds.topLeft()) / dpr;
}

WidgetSnapshot::WidgetSnapshot(QWidget *widget, QObject *parent)
    : QObject(parent)
    , m_widget(widget)
{
    watch(widget);
}

void WidgetSnapshot::watch(QObject *object)
{
    if (!object || !object->isWidgetType())
        return;
    object->removeEventFilter(this); // never twice
    object->installEventFilter(this);
    for (QObject *child : object->children())
        watch(child);
}

bool WidgetSnapshot::eventFilter(QObject *watched, QEvent *event)
{
    if (m_taking)
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::ChildPolished)
        watch(static_cast<QChildEvent *>(event)->child());
    const bool childMoved = type == QEvent::Move && watched != m_widget;
    if (childMoved || changesLook(type))
        m_stale = true;
    return false;
}

void WidgetSnapshot::markChanged(QWidget *widget)
{
    QEvent changed(changedEvent());
    QCoreApplication::sendEvent(widget, &changed);
}

bool WidgetSnapshot::isDue(qreal deviceScale)
{
    const bool due = m_stale || !qFuzzyCompare(deviceScale, m_scale);
    if (!due && !m_cropped) {
        // Drawn a second time: worth cutting to what shows. A picture
        // taken again on every frame is never scanned.
        cropToPainted(m_picture, m_origin);
        m_cropped = true;
    }
    return due;
}

std::optional<QRectF> WidgetSnapshot::paintedRect() const
{
    if (!m_cropped || m_stale)
        return std::nullopt;
    if (m_picture.isNull())
        return QRectF();
    return QRectF{m_origin, QSizeF(m_picture.size()) / m_picture.devicePixelRatio()};
}

void WidgetSnapshot::keep(const QPixmap &picture, QPointF origin, qreal deviceScale)
{
    m_picture = picture;
    m_origin = origin;
    m_scale = deviceScale;
    m_stale = false;
    ++m_taken;
    m_cropped = false;
}

void WidgetSnapshot::refresh(const QPainter &painter, const std::function<QPixmap(QPoint *origin)> &take)
{
    const QTransform device = painter.deviceTransform();
    const qreal scale = std::hypot(device.m11(), device.m12());
    if (!isDue(scale))
        return;
    // Rendering the widget sends its children paint events of their own,
    // none of which changes what is being taken.
    setTaking(true);
    QPoint origin;
    const QPixmap picture = take(&origin);
    setTaking(false);
    keep(picture, origin, scale);
}

} // namespace kolu
