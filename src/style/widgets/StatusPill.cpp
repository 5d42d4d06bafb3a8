#include "style/widgets/StatusPill.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr qreal kPadX = 7, kPadY = 4, kRadius = 8, kBorder = 0.7;
QFont pillFont()
{
    return OrlixFonts::system(11, QFont::Bold);
}
} // namespace

StatusPill::StatusPill(const QString &text, const QColor &tint, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_tint(tint)
{
    setObjectName(u"statusPill"_s);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

void StatusPill::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void StatusPill::setTint(const QColor &tint)
{
    if (m_tint == tint)
        return;
    m_tint = tint;
    update();
}

QSize StatusPill::sizeHint() const
{
    const QFontMetricsF metrics(pillFont());
    return QSize(int(std::ceil(metrics.horizontalAdvance(m_text) + 2 * kPadX)),
                 int(std::ceil(metrics.height() + 2 * kPadY)));
}

void StatusPill::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(kBorder / 2, kBorder / 2, -kBorder / 2, -kBorder / 2);
    const QPainterPath shape = continuousRoundedRect(box, kRadius);
    painter.fillPath(shape, style.surfaceRaised());
    QColor border = style.hairline();
    border.setAlphaF(border.alphaF() * 0.35f);
    painter.strokePath(shape, QPen(border, kBorder));
    painter.setFont(pillFont());
    painter.setPen(readableOn(style.readable(m_tint), composited(style.surfaceRaised(), style.referenceSurface())));
    painter.drawText(rect(), Qt::AlignCenter, m_text);
}

} // namespace kolu
