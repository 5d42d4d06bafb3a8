#include "style/widgets/OrlixSwitch.h"

#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace kolu {

OrlixSwitch::OrlixSwitch(QWidget *parent)
    : QAbstractButton(parent)
    , m_slide(new QVariantAnimation(this))
{
    setObjectName(u"switch"_s);
    setCheckable(true);
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    m_slide->setDuration(OrlixMotion::smooth().durationMs);
    m_slide->setEasingCurve(OrlixMotion::smooth().curve);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_position = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        m_slide->stop();
        if (!isVisible()) {
            m_position = on ? 1 : 0;
            update();
            return;
        }
        m_slide->setStartValue(m_position);
        m_slide->setEndValue(on ? 1.0 : 0.0);
        m_slide->start();
    });
    repaintOnStyleChange(this);
}

void OrlixSwitch::setTint(const QColor &tint)
{
    m_tint = tint;
    update();
}

void OrlixSwitch::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal faded = isEnabled() ? 1.0 : 0.45;
    painter.setOpacity(faded);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    const qreal on = std::clamp(m_position, 0.0, 1.0);
    // Off: a quiet inset track; on: the tint, blended through the slide.
    QColor offColor = style.innerShade();
    QColor onColor = m_tint.isValid() ? m_tint : style.primaryButtonFill();
    QColor fill = QColor::fromRgbF(float(offColor.redF() + (onColor.redF() - offColor.redF()) * on),
                                   float(offColor.greenF() + (onColor.greenF() - offColor.greenF()) * on),
                                   float(offColor.blueF() + (onColor.blueF() - offColor.blueF()) * on),
                                   float(offColor.alphaF() + (onColor.alphaF() - offColor.alphaF()) * on));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(track, radius, radius);
    // The track's edge is what shows an off switch on a light surface (the
    // inset fill is nearly the surface itself): it keeps the boundary
    // contrast of a control there, disabled or not.
    if (style.colorScheme() == ColorScheme::light) {
        painter.setOpacity(1);
        painter.setPen(QPen(style.readable(style.hairline(), kLargeInkContrast), 1.0));
    } else {
        painter.setPen(QPen(style.hairline(), 0.8));
    }
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(track, radius, radius);
    painter.setOpacity(faded);

    const qreal knob = track.height() - 4;
    const qreal x = track.left() + 2 + (track.width() - knob - 4) * m_position;
    QRectF knobRect(x, track.top() + 2, knob, knob);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(knobRect.translated(0, 0.6));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knobRect);
}

} // namespace kolu
