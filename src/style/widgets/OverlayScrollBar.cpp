#include "style/widgets/OverlayScrollBar.h"

#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

OverlayScrollBar *OverlayScrollBar::attach(QAbstractScrollArea *area)
{
    return new OverlayScrollBar(area);
}

OverlayScrollBar::OverlayScrollBar(QAbstractScrollArea *area)
    : QWidget(area)
    , m_viewport(area->viewport())
    , m_bar(area->verticalScrollBar())
{
    setObjectName(u"overlayScrollBar"_s);
    setAttribute(Qt::WA_NoSystemBackground);
    // The area still keeps the range and value of its own bar, only hidden.
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->viewport()->installEventFilter(this);
    connect(m_bar, &QScrollBar::rangeChanged, this, &OverlayScrollBar::follow);
    connect(m_bar, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    repaintOnStyleChange(this);
    follow();
}

void OverlayScrollBar::follow()
{
    if (!m_viewport)
        return;
    const QRect viewport = m_viewport->geometry();
    setGeometry(viewport.right() + 1 - kWidth, viewport.top(), kWidth, viewport.height());
    setVisible(m_bar->maximum() > m_bar->minimum());
    raise();
    update();
}

bool OverlayScrollBar::eventFilter(QObject *watched, QEvent *event)
{
    if (m_viewport && watched == m_viewport && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        follow();
    return QWidget::eventFilter(watched, event);
}

QRect OverlayScrollBar::thumbRect() const
{
    const int range = m_bar->maximum() - m_bar->minimum();
    if (range <= 0)
        return {};
    const int track = height() - 4;
    const qreal shown = qreal(m_bar->pageStep()) / (range + m_bar->pageStep());
    const int length = std::clamp(int(track * shown), std::min(kMinThumb, track), track);
    const int top =
        2 + QStyle::sliderPositionFromValue(m_bar->minimum(), m_bar->maximum(), m_bar->value(), track - length);
    return QRect(0, top, width(), length);
}

void OverlayScrollBar::paintEvent(QPaintEvent *)
{
    const QRect thumb = thumbRect();
    if (thumb.isEmpty())
        return;
    const bool active = m_hovered || m_dragOffset >= 0;
    const qreal breadth = active ? kThumb + 2 : kThumb;
    const QRectF shape(width() - 2 - breadth, thumb.top(), breadth, thumb.height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(OrlixStyle::current().secondaryText(), active ? 0.75 : 0.5));
    painter.drawRoundedRect(shape, breadth / 2, breadth / 2);
}

void OverlayScrollBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QRect thumb = thumbRect();
    const int y = int(event->position().y());
    if (y < thumb.top())
        m_bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    else if (y > thumb.bottom())
        m_bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else
        m_dragOffset = y - thumb.top();
    update();
    event->accept();
}

void OverlayScrollBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragOffset < 0)
        return;
    const QRect thumb = thumbRect();
    const int span = height() - 4 - thumb.height();
    const int top = int(event->position().y()) - m_dragOffset - 2;
    m_bar->setValue(QStyle::sliderValueFromPosition(m_bar->minimum(), m_bar->maximum(), std::clamp(top, 0, span),
                                                    std::max(1, span)));
    event->accept();
}

void OverlayScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragOffset = -1;
    update();
    event->accept();
}

void OverlayScrollBar::enterEvent(QEnterEvent *)
{
    m_hovered = true;
    update();
}

void OverlayScrollBar::leaveEvent(QEvent *)
{
    m_hovered = false;
    update();
}

} // namespace kolu
