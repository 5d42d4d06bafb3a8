#include "style/widgets/SymbolView.h"

#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>

#include <cmath>

namespace kolu {

namespace {

// A disabled symbol's opacity.
constexpr qreal kDisabledOpacity = 0.45;

} // namespace

SymbolView::SymbolView(const QString &symbol, qreal pointSize, QWidget *parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_pointSize(pointSize)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    repaintOnStyleChange(this);
}

SymbolView::SymbolView(const QString &symbol, qreal pointSize, const QSize &frame, QWidget *parent)
    : SymbolView(symbol, pointSize, parent)
{
    setFrame(frame);
}

void SymbolView::setSymbol(const QString &symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    update();
}

void SymbolView::setSymbol(const QString &symbol, const QColor &color)
{
    setSymbol(symbol);
    setColor(color);
}

void SymbolView::setColor(const QColor &color)
{
    if (!m_source && color == m_color)
        return;
    m_source = {};
    m_color = color;
    update();
}

void SymbolView::setColorSource(ColorSource source)
{
    m_source = std::move(source);
    update();
}

void SymbolView::setRole(PaletteRole role)
{
    setColorSource([role] { return OrlixStyle::current().color(role); });
}

QColor SymbolView::color() const
{
    return m_source ? m_source() : m_color;
}

void SymbolView::setSurface(const QColor &fill)
{
    if (fill == m_surface)
        return;
    m_surface = fill;
    update();
}

void SymbolView::setWeight(IconWeight weight)
{
    if (weight == m_weight)
        return;
    m_weight = weight;
    update();
}

void SymbolView::setFrame(const QSize &frame)
{
    m_frame = frame;
    setFixedSize(frame);
}

void SymbolView::setRotation(qreal degrees)
{
    if (degrees == m_rotation)
        return;
    m_rotation = degrees;
    update();
}

QSize SymbolView::sizeHint() const
{
    if (m_frame.isValid())
        return m_frame;
    const int side = int(std::ceil(m_pointSize * 1.3));
    return {side, side};
}

void SymbolView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!isEnabled())
        painter.setOpacity(kDisabledOpacity);
    const QRectF box = rect();
    if (m_rotation != 0) {
        painter.translate(box.center());
        painter.rotate(m_rotation);
        painter.translate(-box.center());
    }
    IconProvider::paint(painter, box, m_symbol, m_pointSize, OrlixStyle::current().symbolInk(color(), m_surface),
                        m_weight);
}

} // namespace kolu
