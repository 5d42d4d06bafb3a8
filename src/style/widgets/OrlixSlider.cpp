#include "style/widgets/OrlixSlider.h"

#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr qreal kKnob = 18;
constexpr qreal kTrack = 4;

} // namespace

OrlixSlider::OrlixSlider(QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
{
    setObjectName(u"slider"_s);
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

void OrlixSlider::setLook(Look look)
{
    if (look == m_look)
        return;
    m_look = look;
    if (look == Look::desktop) {
        unsetCursor();
        setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::Slider));
        setFocusPolicy(Qt::FocusPolicy(style()->styleHint(QStyle::SH_Button_FocusPolicy)));
    } else {
        setCursor(Qt::PointingHandCursor);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setFocusPolicy(Qt::StrongFocus);
    }
    setTint(m_tint);
    updateGeometry();
}

void OrlixSlider::setTint(const QColor &tint)
{
    m_tint = tint;
    if (m_look == Look::desktop && tint.isValid()) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Highlight, tint);
        setPalette(palette);
    }
    update();
}

QSize OrlixSlider::sizeHint() const
{
    return m_look == Look::desktop ? QSlider::sizeHint() : QSize(160, 22);
}

QSize OrlixSlider::minimumSizeHint() const
{
    return m_look == Look::desktop ? QSlider::minimumSizeHint() : QSize(60, 22);
}

qreal OrlixSlider::trackLeft() const
{
    return kKnob / 2;
}

qreal OrlixSlider::trackRight() const
{
    return std::max(trackLeft(), width() - kKnob / 2);
}

int OrlixSlider::valueAt(qreal x) const
{
    const qreal span = trackRight() - trackLeft();
    if (span <= 0 || maximum() <= minimum())
        return minimum();
    const qreal fraction = std::clamp((x - trackLeft()) / span, 0.0, 1.0);
    const int step = std::max(1, singleStep());
    const qreal raw = fraction * (maximum() - minimum());
    const int snapped = minimum() + int(std::lround(raw / step)) * step;
    return std::clamp(snapped, minimum(), maximum());
}

QPointF OrlixSlider::knobCentre(int value) const
{
    const int range = maximum() - minimum();
    const qreal fraction = range > 0 ? qreal(std::clamp(value, minimum(), maximum()) - minimum()) / range : 0;
    return {trackLeft() + fraction * (trackRight() - trackLeft()), height() / 2.0};
}

void OrlixSlider::moveTo(int value)
{
    value = std::clamp(value, minimum(), maximum());
    if (value == this->value())
        return;
    setValue(value);
    Q_EMIT moved(value);
}

void OrlixSlider::paintEvent(QPaintEvent *event)
{
    if (m_look == Look::desktop) {
        QSlider::paintEvent(event);
        return;
    }
    const OrlixStyle &style = OrlixStyle::current();
    // The filled part shows the value and the ring the focus: marks, so they
    // reach 3:1 on the card.
    const QColor ink = style.symbolInk(m_tint.isValid() ? m_tint : style.primaryButtonFill());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const qreal mid = height() / 2.0;
    const QRectF track(trackLeft() - kTrack / 2, mid - kTrack / 2, trackRight() - trackLeft() + kTrack, kTrack);
    painter.setPen(Qt::NoPen);
    painter.setBrush(style.innerShade());
    painter.drawRoundedRect(track, kTrack / 2, kTrack / 2);

    const QPointF knob = knobCentre(value());
    QRectF filled = track;
    filled.setRight(knob.x());
    painter.setBrush(ink);
    painter.drawRoundedRect(filled, kTrack / 2, kTrack / 2);

    const QRectF knobRect(knob.x() - kKnob / 2, mid - kKnob / 2, kKnob, kKnob);
    painter.setBrush(QColor(0, 0, 0, 46));
    painter.drawEllipse(knobRect.translated(0, 0.8));
    painter.setPen(QPen(style.hairline(), 0.8));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knobRect.adjusted(0.4, 0.4, -0.4, -0.4));
    if (hasFocus()) {
        painter.setPen(QPen(ink, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(knobRect.adjusted(-1.5, -1.5, 1.5, 1.5));
    }
}

void OrlixSlider::mousePressEvent(QMouseEvent *event)
{
    if (m_look == Look::desktop) {
        QSlider::mousePressEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_dragging = true;
    setSliderDown(true);
    moveTo(valueAt(event->position().x()));
}

void OrlixSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (m_look == Look::desktop) {
        QSlider::mouseMoveEvent(event);
        return;
    }
    if (m_dragging)
        moveTo(valueAt(event->position().x()));
}

void OrlixSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_look == Look::desktop) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        setSliderDown(false);
    }
}

void OrlixSlider::keyPressEvent(QKeyEvent *event)
{
    if (m_look == Look::desktop) {
        QSlider::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down: moveTo(value() - singleStep()); break;
    case Qt::Key_Right:
    case Qt::Key_Up: moveTo(value() + singleStep()); break;
    case Qt::Key_PageDown: moveTo(value() - pageStep()); break;
    case Qt::Key_PageUp: moveTo(value() + pageStep()); break;
    case Qt::Key_Home: moveTo(minimum()); break;
    case Qt::Key_End: moveTo(maximum()); break;
    default: event->ignore(); return;
    }
}

} // namespace kolu
