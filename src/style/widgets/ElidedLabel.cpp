#include "style/widgets/ElidedLabel.h"

#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace kolu {

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_font(OrlixFonts::system(12))
{
    setObjectName(QStringLiteral("elidedLabel"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    repaintOnStyleChange(this);
}

void ElidedLabel::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void ElidedLabel::setMaximumLines(int lines)
{
    lines = std::max(1, lines);
    if (m_maximumLines == lines)
        return;
    m_maximumLines = lines;
    updateGeometry();
    update();
}

void ElidedLabel::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void ElidedLabel::setFont(const QFont &font)
{
    m_font = font;
    QWidget::setFont(font);
    updateGeometry();
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

QStringList ElidedLabel::visibleLines(int width) const
{
    QStringList lines;
    if (m_text.isEmpty() || width <= 0)
        return lines;
    const QFontMetricsF metrics(m_font);
    QString text = m_text;
    text.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(text, m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    while (lines.size() < m_maximumLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const bool last = lines.size() == m_maximumLines - 1;
        if (last) {
            // Everything left goes on the last line, cut with "…" if it runs over.
            QString rest = text.mid(line.textStart());
            rest.replace(QChar::LineSeparator, u' ');
            lines << metrics.elidedText(rest.trimmed(), Qt::ElideRight, width);
        } else {
            lines << text.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator).trimmed();
        }
    }
    layout.endLayout();
    return lines;
}

bool ElidedLabel::isElided(int width) const
{
    const QStringList lines = visibleLines(width);
    return !lines.isEmpty() && lines.constLast().endsWith(QChar(0x2026)) && !m_text.endsWith(QChar(0x2026));
}

int ElidedLabel::heightForWidth(int width) const
{
    const qsizetype count = std::max<qsizetype>(1, visibleLines(width).size());
    return int(std::ceil(QFontMetricsF(m_font).lineSpacing() * qreal(count)));
}

QSize ElidedLabel::sizeHint() const
{
    const QFontMetricsF metrics(m_font);
    const int natural = int(std::ceil(metrics.horizontalAdvance(m_text)));
    const int width = std::min(natural, 320);
    return {width, heightForWidth(std::max(width, 1))};
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {0, int(std::ceil(QFontMetricsF(m_font).lineSpacing()))};
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(m_font);
    painter.setPen(m_color.isValid() ? m_color : OrlixStyle::current().text());
    const QFontMetricsF metrics(m_font);
    qreal y = 0;
    for (const QString &line : visibleLines(width())) {
        painter.drawText(QRectF(0, y, width(), metrics.lineSpacing()), int(m_alignment | Qt::AlignVCenter), line);
        y += metrics.lineSpacing();
    }
}

} // namespace kolu
