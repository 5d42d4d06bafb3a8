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

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr qreal kRadius = 9, kPadY = 7, kIconGap = 5, kPressedScale = 0.97, kBorder = 0.8;
QFont labelFont()
{
    return OrlixFonts::system(12, QFont::Bold);
}
} // namespace

OrlixButton::OrlixButton(Kind kind, const QString &text, QWidget *parent)
    : QAbstractButton(parent)
    , m_kind(kind)
    , m_animation(new QVariantAnimation(this))
{
    setObjectName(kind == Kind::primary ? u"primaryButton"_s : u"secondaryButton"_s);
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

void OrlixButton::setMinimumScaleFactor(qreal factor)
{
    factor = std::clamp<qreal>(factor, 0.05, 1.0);
    if (m_minimumScale == factor)
        return;
    m_minimumScale = factor;
    updateGeometry();
    update();
}

// The width the label may take: the button less its padding and symbol.
qreal OrlixButton::labelRoom() const
{
    const qreal padX = m_kind == Kind::primary ? 11 : 10;
    const qreal symbol = showsSymbol() ? 12 + (text().isEmpty() ? 0 : kIconGap) : 0;
    return std::max<qreal>(0, width() - 2 * padX - symbol);
}

qreal OrlixButton::labelScale() const
{
    const qreal natural = QFontMetricsF(labelFont()).horizontalAdvance(text());
    const qreal room = labelRoom();
    if (m_minimumScale >= 1 || natural <= room || natural <= 0)
        return 1.0;
    return std::max(m_minimumScale, room / natural);
}

QString OrlixButton::shownText() const
{
    if (m_minimumScale < 1) {
        const QFontMetricsF metrics(labelFont());
        const qreal scale = labelScale();
        // Whole when it fits at its scale (the division may land a hair short).
        if (metrics.horizontalAdvance(text()) * scale <= labelRoom() + 0.01)
            return text();
        return metrics.elidedText(text(), Qt::ElideRight, labelRoom() / scale);
    }
    if (m_shrinkable)
        return QFontMetricsF(labelFont()).elidedText(text(), Qt::ElideRight, labelRoom());
    return text();
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

void OrlixButton::setShrinkable(bool shrinkable)
{
    if (shrinkable == m_shrinkable)
        return;
    m_shrinkable = shrinkable;
    // A fixed policy would hold the button at its size hint whatever its minimum.
    QSizePolicy policy = sizePolicy();
    policy.setHorizontalPolicy(shrinkable ? QSizePolicy::Preferred : QSizePolicy::Fixed);
    setSizePolicy(policy);
    updateGeometry();
}

QSize OrlixButton::minimumSizeHint() const
{
    const QSize hint = sizeHint();
    if (m_minimumScale < 1 && m_shrinkable && !text().isEmpty())
        return QSize(std::min(hint.width(), smallestWholeWidth(false)), hint.height());
    if (m_minimumScale < 1) {
        // The padding and the symbol; the label shrinks, then is cut.
        const qreal padX = m_kind == Kind::primary ? 11 : 10;
        return QSize(int(std::ceil(2 * padX + (m_symbol.isEmpty() ? 0 : 12))), hint.height());
    }
    if (!m_shrinkable || text().isEmpty())
        return hint;
    // Room for the padding and a few letters.
    const qreal padX = m_kind == Kind::primary ? 11 : 10;
    return {std::min(hint.width(), int(std::ceil(2 * padX + QFontMetricsF(labelFont()).averageCharWidth() * 4))),
            hint.height()};
}

bool OrlixButton::showsSymbol() const
{
    if (m_symbol.isEmpty())
        return false;
    if (!m_shrinkable || text().isEmpty() || width() >= sizeHint().width())
        return true;
    // Kept while the label still fits whole beside it at its smallest.
    return m_minimumScale < 1 && width() >= smallestWholeWidth(true);
}

int OrlixButton::smallestWholeWidth(bool withSymbol) const
{
    const qreal padX = m_kind == Kind::primary ? 11 : 10;
    const qreal natural = QFontMetricsF(labelFont()).horizontalAdvance(text());
    const qreal symbol = withSymbol ? 12 + (text().isEmpty() ? 0 : kIconGap) : 0;
    // One point spare: the shrunk label is drawn at a fractional size.
    return int(std::ceil(2 * padX + symbol + natural * std::min<qreal>(m_minimumScale, 1))) + 1;
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
    const bool symbol = showsSymbol();
    const QString shown = shownText();
    const qreal textScale = labelScale();
    const qreal textWidth = metrics.horizontalAdvance(shown);
    const qreal iconWidth = symbol ? 12 : 0;
    const qreal gap = (!symbol || shown.isEmpty()) ? 0 : kIconGap;
    qreal x = (width() - (iconWidth + gap + textWidth * textScale)) / 2;
    if (symbol) {
        IconProvider::paint(painter, QRectF(x, 0, iconWidth, height()), m_symbol, 12, label, IconWeight::bold);
        x += iconWidth + gap;
    }
    painter.setFont(font);
    painter.setPen(label);
    // A shrunk label keeps its vertical centre.
    painter.translate(x, height() / 2.0);
    painter.scale(textScale, textScale);
    const qreal h = height() / textScale;
    painter.drawText(QRectF(0, -h / 2, textWidth + 1, h), Qt::AlignVCenter | Qt::AlignLeft, shown);
}

} // namespace kolu
