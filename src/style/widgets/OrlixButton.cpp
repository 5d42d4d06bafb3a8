#include "style/widgets/OrlixButton.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace kolu {

namespace {
constexpr qreal kRadius = 9, kPadY = 7, kIconGap = 5, kPressedScale = 0.97, kBorder = 0.8;
QFont labelFont() { return OrlixFonts::system(12, QFont::Bold); }
} // namespace

OrlixButton::OrlixButton(Kind kind, const QString &text, QWidget *parent)
    : QAbstractButton(parent)
    , m_kind(kind)
    , m_animation(new QVariantAnimation(this))
{
    setObjectName(kind == Kind::primary ? QStringLiteral("primaryButton") : QStringLiteral("secondaryButton"));
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_animation->setDuration(OrlixMotion::press().durationMs);
    m_animation->setEasingCurve(OrlixMotion::press().curve);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_press = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::pressed, this, [this] { animatePress(true); });
    connect(this, &QAbstractButton::released, this, [this] { animatePress(false); });
    repaintOnStyleChange(this);
}

void OrlixButton::setSymbol(const QString &symbol)
{
    if (m_symbol == symbol)
        return;
    m_symbol = symbol;
    updateGeometry();
    update();
}

void OrlixButton::animatePress(bool down)
{
    m_animation->stop();
    m_animation->setStartValue(m_press);
    m_animation->setEndValue(down ? 1.0 : 0.0);
    m_animation->start();
}

QSize OrlixButton::sizeHint() const
{
    const QFontMetricsF metrics(labelFont());
    const qreal padX = m_kind == Kind::primary ? 11 : 10;
    qreal width = metrics.horizontalAdvance(text()) + 2 * padX;
    if (!m_symbol.isEmpty())
        width += 12 + (text().isEmpty() ? 0 : kIconGap);
    return QSize(int(std::ceil(width)), int(std::ceil(metrics.height() + 2 * kPadY)));
}

void OrlixButton::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);

    const qreal scale = 1 - (1 - kPressedScale) * m_press;
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(scale, scale);
    painter.translate(-width() / 2.0, -height() / 2.0);

    const bool primary = m_kind == Kind::primary;
    QRectF box = rect();
    if (!primary)
        box.adjust(kBorder / 2, kBorder / 2, -kBorder / 2, -kBorder / 2);
    const QPainterPath shape = continuousRoundedRect(box, kRadius);
    QColor fill = primary ? style.primaryButtonFill() : style.surfaceRaised();
    fill.setAlphaF(fill.alphaF() * float(1 - (1 - (primary ? 0.78 : 0.7)) * m_press));
    painter.fillPath(shape, fill);
    if (!primary) {
        QColor border = style.hairline();
        border.setAlphaF(border.alphaF() * 0.45f);
        painter.strokePath(shape, QPen(border, kBorder));
    }

    const QColor label = primary ? style.primaryButtonLabel() : style.text();
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const qreal textWidth = metrics.horizontalAdvance(text());
    const qreal iconWidth = m_symbol.isEmpty() ? 0 : 12;
    const qreal gap = (m_symbol.isEmpty() || text().isEmpty()) ? 0 : kIconGap;
    qreal x = (width() - (iconWidth + gap + textWidth)) / 2;
    if (!m_symbol.isEmpty()) {
        IconProvider::paint(painter, QRectF(x, 0, iconWidth, height()), m_symbol, 12, label, IconWeight::bold);
        x += iconWidth + gap;
    }
    painter.setFont(font);
    painter.setPen(label);
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

} // namespace kolu
