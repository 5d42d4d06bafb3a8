#include "style/widgets/ChoicePopup.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/MenuLook.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr int kPadX = 10, kCheck = 12, kCheckGap = 6, kThumb = 4;
constexpr qreal kHighlightRadius = 6;
} // namespace

ChoicePopup::ChoicePopup(const QStringList &choices, int current, QWidget *parent)
    : KitPopup(parent)
    , m_choices(choices)
    , m_current(std::clamp(current, -1, int(choices.size()) - 1))
    , m_marked(m_current)
{
    setObjectName(u"choicePopup"_s);
    setFont(OrlixFonts::system(13));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

QSize ChoicePopup::sizeHint() const
{
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString &choice : m_choices)
        widest = std::max(widest, metrics.horizontalAdvance(choice));
    const int rows = std::min(int(m_choices.size()), kMostRows);
    return {2 * kMargin + 2 * kPadX + kCheck + kCheckGap + widest + kThumb + 4, 2 * kMargin + rows * kRowHeight};
}

int ChoicePopup::visibleRows() const
{
    return std::max(1, (height() - 2 * kMargin) / kRowHeight);
}

int ChoicePopup::maximumOffset() const
{
    return std::max(0, int(m_choices.size()) * kRowHeight - (height() - 2 * kMargin));
}

QRect ChoicePopup::rowRect(int index) const
{
    return QRect(kMargin, kMargin + index * kRowHeight - m_offset, width() - 2 * kMargin, kRowHeight);
}

int ChoicePopup::rowAt(const QPoint &point) const
{
    if (point.y() < kMargin || point.y() >= height() - kMargin || point.x() < 0 || point.x() >= width())
        return -1;
    const int index = (point.y() - kMargin + m_offset) / kRowHeight;
    return index < m_choices.size() ? index : -1;
}

void ChoicePopup::scrollTo(int offset)
{
    offset = std::clamp(offset, 0, maximumOffset());
    if (offset == m_offset)
        return;
    m_offset = offset;
    update();
}

void ChoicePopup::centreCurrent()
{
    if (m_current < 0)
        return;
    const int viewport = height() - 2 * kMargin;
    scrollTo(m_current * kRowHeight + kRowHeight / 2 - viewport / 2);
}

void ChoicePopup::setCurrent(int index)
{
    if (m_choices.isEmpty())
        return;
    index = std::clamp(index, 0, int(m_choices.size()) - 1);
    m_current = index;
    // Keep the row whole in view.
    const QRect row = rowRect(index);
    if (row.top() < kMargin)
        scrollTo(index * kRowHeight);
    else if (row.bottom() >= height() - kMargin)
        scrollTo((index + 1) * kRowHeight - (height() - 2 * kMargin));
    update();
}

void ChoicePopup::resizeEvent(QResizeEvent *event)
{
    KitPopup::resizeEvent(event);
    centreCurrent();
    scrollTo(m_offset); // still inside the new range
}

void ChoicePopup::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up: setCurrent(m_current < 0 ? 0 : m_current - 1); break;
    case Qt::Key_Down: setCurrent(m_current + 1); break;
    case Qt::Key_PageUp: setCurrent(m_current - visibleRows()); break;
    case Qt::Key_PageDown: setCurrent(m_current + visibleRows()); break;
    case Qt::Key_Home: setCurrent(0); break;
    case Qt::Key_End: setCurrent(int(m_choices.size()) - 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_current >= 0) {
            Q_EMIT chosen(m_current);
            close();
        }
        break;
    default: KitPopup::keyPressEvent(event); return;
    }
    event->accept();
}

void ChoicePopup::mouseMoveEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position().toPoint());
    if (row >= 0 && row != m_current) {
        m_current = row;
        update();
    }
}

void ChoicePopup::mouseReleaseEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || row < 0)
        return;
    m_current = row;
    Q_EMIT chosen(row);
    close();
}

void ChoicePopup::wheelEvent(QWheelEvent *event)
{
    scrollTo(m_offset - event->angleDelta().y() * kRowHeight / 40);
    event->accept();
}

void ChoicePopup::paintEvent(QPaintEvent *event)
{
    KitPopup::paintEvent(event);
    const MenuColors colors = menuColors(OrlixStyle::current());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(QRect(0, kMargin, width(), height() - 2 * kMargin));
    painter.setFont(font());
    const int first = std::max(0, m_offset / kRowHeight);
    const int last = std::min(int(m_choices.size()) - 1, (m_offset + height()) / kRowHeight);
    for (int index = first; index <= last; ++index) {
        const QRect row = rowRect(index).adjusted(0, 0, -(kThumb + 4), 0);
        const bool selected = index == m_current;
        if (selected)
            painter.fillPath(continuousRoundedRect(QRectF(row).adjusted(0, 0.5, 0, -0.5), kHighlightRadius),
                             colors.highlight);
        const QColor foreground = selected ? colors.highlightedText : colors.text;
        if (index == m_marked)
            IconProvider::paint(painter, QRect(row.left() + kPadX, row.top(), kCheck, row.height()), u"checkmark"_s,
                                kCheck, foreground, IconWeight::bold);
        painter.setPen(foreground);
        painter.drawText(row.adjusted(kPadX + kCheck + kCheckGap, 0, -kPadX, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         m_choices.at(index));
    }
    // The thumb, where the list scrolls.
    const int total = int(m_choices.size()) * kRowHeight;
    const int track = height() - 2 * kMargin;
    if (total > track && track > 0) {
        const int length = std::max(20, track * track / total);
        const int top = kMargin + (track - length) * m_offset / std::max(1, maximumOffset());
        painter.setClipping(false);
        painter.setPen(Qt::NoPen);
        painter.setBrush(withAlpha(colors.shortcutText, 0.6));
        painter.drawRoundedRect(QRectF(width() - kMargin - kThumb, top, kThumb, length), kThumb / 2.0, kThumb / 2.0);
    }
}

} // namespace kolu
