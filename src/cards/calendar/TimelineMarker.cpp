#include "cards/calendar/TimelineMarker.h"

#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr qreal kLine = 2, kTop = 14, kDot = 13;
}

TimelineMarker::TimelineMarker(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"timelineMarker"_s);
    setFixedWidth(kWidth);
    setMinimumHeight(int(kTop + kDot));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    repaintOnStyleChange(this);
}

void TimelineMarker::setEnds(bool isFirst, bool isLast)
{
    if (isFirst == m_isFirst && isLast == m_isLast)
        return;
    m_isFirst = isFirst;
    m_isLast = isLast;
    update();
}

void TimelineMarker::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = style.tint(RailModule::calendar);
    QColor line = tint;
    line.setAlphaF(0.42f);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal centre = width() / 2.0;
    if (!m_isFirst)
        painter.fillRect(QRectF(centre - kLine / 2, 0, kLine, kTop), line);
    if (!m_isLast)
        painter.fillRect(QRectF(centre - kLine / 2, kTop + kDot, kLine, height() - kTop - kDot), line);
    const QRectF dot(centre - kDot / 2, kTop, kDot, kDot);
    QColor fill = style.surface();
    fill.setAlphaF(fill.alphaF() * 0.9f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(dot);
    QColor ring = tint;
    ring.setAlphaF(0.88f);
    // The ring marks the event's place on the day: a mark, so it reaches
    // 3:1. The border lies inside the circle.
    painter.setPen(QPen(style.symbolInk(ring), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(dot.adjusted(1, 1, -1, -1));
}

} // namespace kolu
