#include "style/widgets/ElidedLabel.h"

#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Text that may break a line by itself (newlines, tabs and other controls,
// line and paragraph separators) always goes through the full layout.
bool breaksLines(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x85 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
}

} // namespace

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_font(OrlixFonts::system(12))
{
    setObjectName(u"elidedLabel"_s);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    repaintOnStyleChange(this);
    onStyleChange(this, [this] { forgetLines(); });
}

void ElidedLabel::forgetLines()
{
    for (CachedLines &entry : m_cache)
        entry = {};
    m_naturalWidth = -1;
}

void ElidedLabel::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    forgetLines();
    updateGeometry();
    update();
}

void ElidedLabel::setMaximumLines(int lines)
{
    lines = std::max(1, lines);
    if (m_maximumLines == lines)
        return;
    m_maximumLines = lines;
    forgetLines();
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
    forgetLines();
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
    return linesFor(width);
}

const QStringList &ElidedLabel::linesFor(int width) const
{
    for (const CachedLines &entry : m_cache)
        if (entry.width == width)
            return entry.lines;
    CachedLines &slot = m_cache[m_nextSlot];
    m_nextSlot = (m_nextSlot + 1) % m_cache.size();
    slot.width = width;
    slot.lines = wrap(width);
    return slot.lines;
}

QStringList ElidedLabel::wrap(int width) const
{
    QStringList lines;
    if (m_text.isEmpty() || width <= 0)
        return lines;
    const QFontMetricsF metrics(m_font);
    if (m_naturalWidth < 0)
        m_naturalWidth = metrics.horizontalAdvance(m_text.trimmed());
    // Most labels fit on one line: no need to wrap them.
    if (m_naturalWidth <= width && !breaksLines(m_text))
        return {m_text.trimmed()};
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
    const QStringList &lines = linesFor(width);
    return !lines.isEmpty() && lines.constLast().endsWith(QChar(0x2026)) && !m_text.endsWith(QChar(0x2026));
}

int ElidedLabel::heightForWidth(int width) const
{
    const qsizetype count = std::max<qsizetype>(1, linesFor(width).size());
    return int(std::ceil(QFontMetricsF(m_font).lineSpacing() * qreal(count)));
}

QSize ElidedLabel::sizeHint() const
{
    if (m_naturalWidth < 0)
        m_naturalWidth = QFontMetricsF(m_font).horizontalAdvance(m_text.trimmed());
    const int width = std::min(int(std::ceil(m_naturalWidth)), 320);
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
    for (const QString &line : linesFor(width())) {
        painter.drawText(QRectF(0, y, width(), metrics.lineSpacing()), int(m_alignment | Qt::AlignVCenter), line);
        y += metrics.lineSpacing();
    }
}

void ElidedLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        forgetLines();
    QWidget::changeEvent(event);
}

} // namespace kolu
