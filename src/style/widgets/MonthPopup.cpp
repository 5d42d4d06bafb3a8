#include "style/widgets/MonthPopup.h"

#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/MenuLook.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr int kMargin = 10, kHeader = 28, kWeekdays = 22, kCellW = 32, kCellH = 28, kGap = 4;
constexpr qreal kDayRadius = 8;
} // namespace

MonthPopup::MonthPopup(QDate chosen, QDate today, QWidget *parent)
    : KitPopup(parent)
    , m_chosen(chosen.isValid() ? chosen : today)
    , m_today(today)
    , m_cursor(m_chosen)
    , m_month(m_chosen.year(), m_chosen.month(), 1)
{
    setObjectName(u"monthPopup"_s);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

QSize MonthPopup::sizeHint() const
{
    return {2 * kMargin + 7 * kCellW, 2 * kMargin + kHeader + kGap + kWeekdays + 6 * kCellH};
}

QDate MonthPopup::firstShown() const
{
    const int first = int(QLocale().firstDayOfWeek());
    const int lead = (m_month.dayOfWeek() - first + 7) % 7;
    return m_month.addDays(-lead);
}

QRect MonthPopup::dayRect(QDate day) const
{
    const qint64 index = firstShown().daysTo(day);
    if (index < 0 || index >= 42)
        return {};
    const int top = kMargin + kHeader + kGap + kWeekdays;
    return QRect(kMargin + int(index % 7) * kCellW, top + int(index / 7) * kCellH, kCellW, kCellH);
}

QRect MonthPopup::previousRect() const
{
    return QRect(width() - kMargin - 2 * kHeader, kMargin, kHeader, kHeader);
}

QRect MonthPopup::nextRect() const
{
    return QRect(width() - kMargin - kHeader, kMargin, kHeader, kHeader);
}

QDate MonthPopup::dayAt(const QPoint &point) const
{
    const int top = kMargin + kHeader + kGap + kWeekdays;
    if (point.x() < kMargin || point.y() < top)
        return {};
    const int column = (point.x() - kMargin) / kCellW, row = (point.y() - top) / kCellH;
    if (column >= 7 || row >= 6)
        return {};
    return firstShown().addDays(row * 7 + column);
}

void MonthPopup::moveCursor(QDate day)
{
    if (!day.isValid())
        return;
    m_cursor = day;
    m_month = QDate(day.year(), day.month(), 1);
    update();
}

void MonthPopup::choose(QDate day)
{
    if (!day.isValid())
        return;
    m_chosen = day;
    Q_EMIT dayChosen(day);
    close();
}

void MonthPopup::keyPressEvent(QKeyEvent *event)
{
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    switch (event->key()) {
    case Qt::Key_Left: moveCursor(m_cursor.addDays(rtl ? 1 : -1)); break;
    case Qt::Key_Right: moveCursor(m_cursor.addDays(rtl ? -1 : 1)); break;
    case Qt::Key_Up: moveCursor(m_cursor.addDays(-7)); break;
    case Qt::Key_Down: moveCursor(m_cursor.addDays(7)); break;
    case Qt::Key_PageUp: moveCursor(m_cursor.addMonths(-1)); break;
    case Qt::Key_PageDown: moveCursor(m_cursor.addMonths(1)); break;
    case Qt::Key_Home: moveCursor(QDate(m_cursor.year(), m_cursor.month(), 1)); break;
    case Qt::Key_End: moveCursor(QDate(m_cursor.year(), m_cursor.month(), m_cursor.daysInMonth())); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: choose(m_cursor); break;
    default: KitPopup::keyPressEvent(event); return;
    }
    event->accept();
}

void MonthPopup::mouseMoveEvent(QMouseEvent *event)
{
    const QDate day = dayAt(event->position().toPoint());
    if (day != m_hovered) {
        m_hovered = day;
        update();
    }
}

void MonthPopup::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    // The release of the press that opened the month lands wherever the
    // pointer is, often outside: no day is chosen there.
    if (!rect().contains(point))
        return;
    if (previousRect().contains(point)) {
        m_month = m_month.addMonths(-1);
        update();
    } else if (nextRect().contains(point)) {
        m_month = m_month.addMonths(1);
        update();
    } else {
        choose(dayAt(point));
    }
}

void MonthPopup::leaveEvent(QEvent *)
{
    m_hovered = {};
    update();
}

void MonthPopup::paintEvent(QPaintEvent *event)
{
    KitPopup::paintEvent(event);
    const OrlixStyle &style = OrlixStyle::current();
    const MenuColors colors = menuColors(style);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // The month and the two chevrons.
    painter.setFont(OrlixFonts::system(13, QFont::Bold));
    painter.setPen(colors.text);
    const QRect title(kMargin + 6, kMargin, width() - 2 * kMargin - 2 * kHeader - 6, kHeader);
    painter.drawText(
        title, Qt::AlignVCenter | Qt::AlignLeft,
        painter.fontMetrics().elidedText(DateText::user().format(QDateTime(m_month, QTime(12, 0)), u"yMMMM"_s),
                                         Qt::ElideRight, title.width()));
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    IconProvider::paint(painter, previousRect(), rtl ? u"chevron.right"_s : u"chevron.left"_s, 11, colors.shortcutText,
                        IconWeight::bold);
    IconProvider::paint(painter, nextRect(), rtl ? u"chevron.left"_s : u"chevron.right"_s, 11, colors.shortcutText,
                        IconWeight::bold);

    // Weekday initials.
    const QDate first = firstShown();
    painter.setFont(OrlixFonts::system(10, QFont::DemiBold));
    painter.setPen(colors.shortcutText);
    for (int column = 0; column < 7; ++column) {
        const QRect cell(kMargin + column * kCellW, kMargin + kHeader + kGap, kCellW, kWeekdays);
        painter.drawText(cell, Qt::AlignCenter,
                         DateText::user().format(QDateTime(first.addDays(column), QTime(12, 0)), u"EEEEE"_s));
    }

    // The days.
    const QFont dayFont = OrlixFonts::monospacedDigits(12, QFont::Medium);
    const QFont chosenFont = OrlixFonts::monospacedDigits(12, QFont::Bold);
    for (int index = 0; index < 42; ++index) {
        const QDate day = first.addDays(index);
        const QRectF cell = QRectF(dayRect(day)).adjusted(2, 1, -2, -1);
        const bool chosen = day == m_chosen;
        const bool inMonth = day.month() == m_month.month();
        if (chosen) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colors.highlight);
            painter.drawRoundedRect(cell, kDayRadius, kDayRadius);
        } else if (day == m_cursor || day == m_hovered) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(withAlpha(colors.text, day == m_cursor && hasFocus() ? 0.16 : 0.1));
            painter.drawRoundedRect(cell, kDayRadius, kDayRadius);
        }
        if (day == m_today && !chosen) {
            painter.setPen(QPen(colors.highlight, 1.4));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(cell.adjusted(0.7, 0.7, -0.7, -0.7), kDayRadius, kDayRadius);
        }
        if (chosen && day == m_cursor && hasFocus()) {
            painter.setPen(QPen(colors.highlightedText, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(cell.adjusted(2, 2, -2, -2), kDayRadius - 2, kDayRadius - 2);
        }
        painter.setFont(chosen ? chosenFont : dayFont);
        painter.setPen(chosen ? colors.highlightedText : inMonth ? colors.text : colors.disabledText);
        painter.drawText(cell, Qt::AlignCenter, QString::number(day.day()));
    }
}

} // namespace kolu
