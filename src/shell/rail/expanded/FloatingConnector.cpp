#include "shell/rail/expanded/FloatingConnector.h"

#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

FloatingConnector::FloatingConnector(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"floatingConnector"_s);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    repaintOnStyleChange(this);
}

void FloatingConnector::place(RailModule module, double y, const expandedrail::Canvas &canvas, bool shows)
{
    if (module == m_module && y == m_y && shows == m_shows && canvas.edge == m_canvas.edge
        && canvas.scale == m_canvas.scale && canvas.hasExpandedAlert == m_canvas.hasExpandedAlert)
        return;
    m_module = module;
    m_y = y;
    m_canvas = canvas;
    m_shows = shows;
    update();
    // What it draws moved: the rail asks again (a layout request to the canvas).
    updateGeometry();
}

QRegion FloatingConnector::drawnShape() const
{
    if (!m_shows)
        return {};
    const expandedrail::Connector k = expandedrail::connector(m_canvas);
    // The glow around the line, and the dot at its start.
    QRegion shape(QRectF(k.midX - k.width / 2 - 3, m_y - 4, k.width + 6, 8).toAlignedRect());
    shape += QRectF(k.startX - 2, m_y - 2, 4, 4).toAlignedRect();
    return shape;
}

void FloatingConnector::paintEvent(QPaintEvent *)
{
    if (!m_shows)
        return;
    const OrlixStyle &style = OrlixStyle::current();
    const expandedrail::Connector k = expandedrail::connector(m_canvas);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QColor tint = style.tint(m_module);
    QColor glow = tint;
    glow.setAlphaF(0.08);
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(k.midX - k.width / 2 - 3, m_y - 4, k.width + 6, 8), 4, 4);
    tint.setAlphaF(0.2);
    p.setBrush(tint);
    p.drawRoundedRect(QRectF(k.midX - k.width / 2, m_y - 1, k.width, 2), 1, 1);
    QColor dot = style.iconPrimary();
    dot.setAlphaF(dot.alphaF() * 0.34);
    p.setBrush(dot);
    p.drawEllipse(QPointF(k.startX, m_y), 2, 2);
}

} // namespace kolu
