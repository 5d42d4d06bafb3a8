#include "style/widgets/ShrinkLabel.h"

#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

ShrinkLabel::ShrinkLabel(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_font(OrlixFonts::system(12))
{
    setObjectName(u"shrinkLabel"_s);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

void ShrinkLabel::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void ShrinkLabel::setFont(const QFont &font)
{
    m_font = font;
    QWidget::setFont(font);
    updateGeometry();
    update();
}

void ShrinkLabel::setMinimumScaleFactor(qreal factor)
{
    m_minimumScale = std::clamp<qreal>(factor, 0.05, 1.0);
    update();
}

void ShrinkLabel::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void ShrinkLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

qreal ShrinkLabel::scaleFor(int width) const
{
    const qreal natural = QFontMetricsF(m_font).horizontalAdvance(m_text);
    if (natural <= width || natural <= 0)
        return 1.0;
    return std::max(m_minimumScale, qreal(width) / natural);
}

QString ShrinkLabel::shownText(int width) const
{
    const qreal scale = scaleFor(width);
    return QFontMetricsF(m_font).elidedText(m_text, Qt::ElideRight, width / scale);
}

QSize ShrinkLabel::sizeHint() const
{
    const QFontMetricsF metrics(m_font);
    return {int(std::ceil(metrics.horizontalAdvance(m_text))), int(std::ceil(metrics.height()))};
}

QSize ShrinkLabel::minimumSizeHint() const
{
    return {0, int(std::ceil(QFontMetricsF(m_font).height()))};
}

void ShrinkLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal scale = scaleFor(width());
    const QString shown = shownText(width());
    painter.setFont(m_font);
    painter.setPen(m_color.isValid() ? m_color : OrlixStyle::current().text());
    // Shrunk about the vertical centre so the line keeps its place.
    painter.translate(0, height() / 2.0);
    painter.scale(scale, scale);
    const qreal w = width() / scale;
    const qreal h = height() / scale;
    painter.drawText(QRectF(0, -h / 2, w, h), int(m_alignment | Qt::AlignVCenter), shown);
}

} // namespace kolu
