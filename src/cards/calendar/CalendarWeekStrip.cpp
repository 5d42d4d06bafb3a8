#include "cards/calendar/CalendarWeekStrip.h"

#include "style/ContinuousCorners.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QFont weekdayFont()
{
    return OrlixFonts::system(10, QFont::Bold);
}

QFont dayNumberFont()
{
    return OrlixFonts::monospacedDigits(13, QFont::Bold);
}

constexpr qreal kPadY = 8, kGap = 5, kNumberW = 30, kNumberH = 28, kDot = 4;

qreal weekdayHeight()
{
    return std::ceil(QFontMetricsF(weekdayFont()).height());
}

// The desktop's fonts run wider than the ones the cell was measured for, so
// "Today" in a narrow panel shrinks a little before it is ever cut.
QFont fittedWeekdayFont(const QString &text, qreal width)
{
    QFont font = weekdayFont();
    const qreal natural = QFontMetricsF(font).horizontalAdvance(text);
    if (natural <= width || natural <= 0)
        return font;
    const qreal scale = std::max(0.75, width / natural);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else
        font.setPixelSize(std::max(1, int(std::floor(font.pixelSize() * scale))));
    return font;
}

} // namespace

CalendarDayCell::CalendarDayCell(QWidget *parent)
    : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

void CalendarDayCell::setDay(const QString &id, const QString &weekday, const QString &dayNumber, bool hasEvents,
                             bool selected)
{
    if (id == m_id && weekday == m_weekday && dayNumber == m_dayNumber && hasEvents == m_hasEvents
        && selected == m_selected)
        return;
    m_id = id;
    m_weekday = weekday;
    m_dayNumber = dayNumber;
    m_hasEvents = hasEvents;
    m_selected = selected;
    setObjectName(u"calendarDayCell_"_s + id);
    setAccessibleName(weekday + u' ' + dayNumber);
    update();
}

QSize CalendarDayCell::sizeHint() const
{
    return {int(kNumberW), int(kPadY + weekdayHeight() + kGap + kNumberH + kGap + kDot + kPadY)};
}

QSize CalendarDayCell::minimumSizeHint() const
{
    return {20, sizeHint().height()};
}

void CalendarDayCell::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = style.tint(RailModule::calendar);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    qreal y = kPadY;
    const qreal lineH = weekdayHeight();
    painter.setPen(m_selected ? tint : style.secondaryText());
    const QRectF weekday(0, y, width(), lineH);
    painter.setFont(fittedWeekdayFont(m_weekday, weekday.width()));
    painter.drawText(weekday, Qt::AlignCenter,
                     QFontMetricsF(painter.font()).elidedText(m_weekday, Qt::ElideRight, weekday.width()));
    y += lineH + kGap;

    const QRectF number((width() - kNumberW) / 2, y, kNumberW, kNumberH);
    if (m_selected) {
        const QPainterPath path = continuousRoundedRect(number.adjusted(0.4, 0.4, -0.4, -0.4), 9);
        painter.fillPath(path, withAlpha(tint, 0.22));
        painter.setPen(QPen(withAlpha(tint, 0.38), 0.8));
        painter.drawPath(path);
    }
    painter.setFont(dayNumberFont());
    painter.setPen(m_selected ? style.text() : style.secondaryText());
    painter.drawText(number, Qt::AlignCenter, m_dayNumber);
    y += kNumberH + kGap;

    if (m_hasEvents) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(withAlpha(tint, m_selected ? 0.95 : 0.52));
        painter.drawEllipse(QRectF((width() - kDot) / 2, y, kDot, kDot));
    }
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(withAlpha(tint, 0.6), 1.2));
        painter.drawPath(continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 9));
    }
}

CalendarWeekStrip::CalendarWeekStrip(QWidget *parent)
    : QWidget(parent)
    , m_row(new QHBoxLayout(this))
{
    setObjectName(u"calendarWeekStrip"_s);
    m_row->setContentsMargins(8, 7, 8, 7);
    m_row->setSpacing(6);
    repaintOnStyleChange(this);
}

QString CalendarWeekStrip::weekdayText(const QDate &day, const QDateTime &now)
{
    if (day == now.toLocalTime().date())
        return u"Today"_s;
    return DateText::user().format(day.startOfDay(), u"EEE"_s);
}

void CalendarWeekStrip::setDays(const std::vector<calendar::CalendarDayGroup> &days, const QString &selectedDayID,
                                const QDateTime &now)
{
    while (m_cells.size() < days.size()) {
        auto *cell = new CalendarDayCell(this);
        connect(cell, &QAbstractButton::clicked, this, [this, cell] { Q_EMIT daySelected(cell->dayID()); });
        m_row->addWidget(cell, 1);
        m_cells.push_back(cell);
    }
    while (m_cells.size() > days.size()) {
        delete m_cells.back();
        m_cells.pop_back();
    }
    const DateText &dates = DateText::user();
    for (std::size_t i = 0; i < days.size(); ++i) {
        const calendar::CalendarDayGroup &day = days[i];
        m_cells[i]->setDay(day.id(), weekdayText(day.day, now), dates.format(day.date, u"d"_s), !day.events.empty(),
                           day.id() == selectedDayID);
    }
}

std::vector<CalendarDayCell *> CalendarWeekStrip::cells() const
{
    return m_cells;
}

void CalendarWeekStrip::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), 14);
    painter.fillPath(path, withAlpha(style.surface(), 0.46));
    painter.setPen(QPen(withAlpha(style.hairline(), 0.3), 0.8));
    painter.drawPath(path);
}

} // namespace kolu
