#include "style/widgets/ElidedLabel.h"

#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/PathElision.h"
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
    if (m_text == text && m_pathLength == 0)
        return;
    m_text = text;
    m_pathStart = m_pathLength = 0;
    forgetLines();
    updateGeometry();
    update();
}

void ElidedLabel::setPathText(const QString &before, const QString &path, const QString &after)
{
    const QString text = before + path + after;
    if (m_text == text && m_pathStart == before.size() && m_pathLength == path.size())
        return;
    m_text = text;
    m_pathStart = before.size();
    m_pathLength = path.size();
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
    if (m_text.isEmpty() || width <= 0)
        return {};
    const QFontMetricsF metrics(m_font);
    if (m_naturalWidth < 0)
        m_naturalWidth = metrics.horizontalAdvance(m_text.trimmed());
    // Most labels fit on one line: no need to wrap them.
    if (m_naturalWidth <= width && !breaksLines(m_text))
        return {m_text.trimmed()};
    if (m_pathLength > 0 && !breaksLines(m_text))
        return wrapAroundPath(width);
    return wrapWords(m_text, width, true);
}

QStringList ElidedLabel::wrapWords(const QString &source, int width, bool elideLast, int maximumLines) const
{
    if (maximumLines < 0)
        maximumLines = m_maximumLines;
    QStringList lines;
    const QFontMetricsF metrics(m_font);
    QString text = source;
    text.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(text, m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    while (lines.size() < maximumLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const bool last = lines.size() == maximumLines - 1;
        if (last && elideLast) {
            // Everything left goes on the last line, cut with "…" if it runs over.
            QString rest = text.mid(line.textStart());
            rest.replace(QChar::LineSeparator, u' ');
            lines << metrics.elidedText(rest.trimmed(), Qt::ElideRight, width);
        } else if (last && line.textStart() + line.textLength() < text.size()) {
            lines << QString(); // more than the lines hold: told by an empty line
        } else {
            lines << text.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator).trimmed();
        }
    }
    layout.endLayout();
    return lines;
}

QStringList ElidedLabel::wrapAroundPath(int width) const
{
    const QFontMetricsF metrics(m_font);
    const auto measure = [&metrics](const QString &text) { return metrics.horizontalAdvance(text); };
    const QString before = m_text.left(m_pathStart).trimmed();
    const QString path = m_text.mid(m_pathStart, m_pathLength);
    const QString after = m_text.mid(m_pathStart + m_pathLength);
    const bool spaced = m_pathStart > 0 && m_text.at(m_pathStart - 1).isSpace();
    QStringList lines = before.isEmpty() ? QStringList() : wrapWords(before, width, false);
    // A sentence that needs every line by itself is cut at its end as usual.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        return wrapWords(m_text, width, true);
    const QString joint = spaced ? u" "_s : QString();
    const qreal afterWidth = measure(after);
    if (!lines.isEmpty()) {
        const QString &tail = lines.constLast();
        if (measure(tail + joint + path + after) <= width) {
            lines.last() = tail + joint + path + after;
            return lines;
        }
    }
    // Words after the path that would squeeze it go on the lines below it,
    // where there are any; only what clings to it (a closing mark, a comma)
    // stays on its line.
    qsizetype cling = 0;
    while (cling < after.size() && !after.at(cling).isSpace())
        ++cling;
    const QString clinging = after.left(cling);
    const QString rest = after.mid(cling).trimmed();
    if (!rest.isEmpty() && measure(path + after) > width && lines.size() + 1 < m_maximumLines) {
        if (!lines.isEmpty() && measure(lines.constLast() + joint + path + clinging) <= width)
            lines.last() += joint + path + clinging;
        else
            lines << elidePathMiddle(path, width - measure(clinging), measure) + clinging;
        return lines + wrapWords(rest, width, true, m_maximumLines - int(lines.size()));
    }
    if (lines.size() < m_maximumLines) {
        lines << elidePathMiddle(path, width - afterWidth, measure) + after;
        return lines;
    }
    // No line left: the path takes what the last line has to spare, and
    // the line is cut at its end only when even that is too little.
    const QString start = lines.constLast() + joint;
    const QString fitted = elidePathMiddle(path, width - measure(start) - afterWidth, measure);
    lines.last() = metrics.elidedText(start + fitted + after, Qt::ElideRight, width);
    return lines;
}

bool ElidedLabel::isElided(int width) const
{
    // A cut anywhere, at the end or in a path's middle, leaves one more "…".
    const QChar ellipsis(0x2026);
    return linesFor(width).join(u' ').count(ellipsis) > m_text.count(ellipsis);
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
