#include "cards/calendar/CalendarWeekStrip.h"

#include "style/ContinuousCorners.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/Motion.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVariantAnimation>

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
// A weekday name shrunk this far still reads as the others; past it a
// shorter name of the locale takes its place.
constexpr qreal kFormShrink = 0.9;

qreal weekdayHeight()
{
    return std::ceil(QFontMetricsF(weekdayFont()).height());
}

// The desktop's fonts run wider than the ones the cell was measured for, so
// "Today" in a narrow panel shrinks a little before it is ever cut.
qreal weekdayScaleFor(const QString &text, qreal width)
{
    const qreal natural = QFontMetricsF(weekdayFont()).horizontalAdvance(text);
    if (natural <= width || natural <= 0)
        return 1;
    return std::max(0.75, width / natural);
}

QFont fittedWeekdayFont(const QString &text, qreal width)
{
    QFont font = weekdayFont();
    const qreal scale = weekdayScaleFor(text, width);
    if (scale >= 1)
        return font;
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

void CalendarDayCell::setDay(const QString &id, const QStringList &weekdays, const QString &dayNumber, bool hasEvents,
                             bool selected)
{
    if (id == m_id && weekdays == m_weekdays && dayNumber == m_dayNumber && hasEvents == m_hasEvents
        && selected == m_selected)
        return;
    m_id = id;
    m_weekdays = weekdays.isEmpty() ? QStringList{QString()} : weekdays;
    m_dayNumber = dayNumber;
    m_hasEvents = hasEvents;
    m_selected = selected;
    setObjectName(u"calendarDayCell_"_s + id);
    setAccessibleName(m_weekdays.front() + u' ' + dayNumber);
    update();
}

QString CalendarDayCell::shownWeekday() const
{
    const auto *strip = qobject_cast<const CalendarWeekStrip *>(parentWidget());
    return m_weekdays.at(std::min<qsizetype>(strip ? strip->weekdayForm() : 0, m_weekdays.size() - 1));
}

const QStringList &CalendarDayCell::weekdayForms() const
{
    return m_weekdays;
}

qreal CalendarDayCell::weekdayScale() const
{
    return weekdayScaleFor(shownWeekday(), width());
}

QSize CalendarDayCell::sizeHint() const
{
    return {int(kNumberW), int(kPadY + weekdayHeight() + kGap + kNumberH + kGap + kDot + kPadY)};
}

QRectF CalendarDayCell::dayNumberRect() const
{
    return {(width() - kNumberW) / 2, kPadY + weekdayHeight() + kGap, kNumberW, kNumberH};
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
    painter.setPen(m_selected ? style.readable(tint) : style.secondaryText());
    const QRectF weekday(0, y, width(), lineH);
    const QString name = shownWeekday();
    painter.setFont(fittedWeekdayFont(name, weekday.width()));
    painter.drawText(weekday, Qt::AlignCenter,
                     QFontMetricsF(painter.font()).elidedText(name, Qt::ElideRight, weekday.width()));
    y += lineH + kGap;

    // The strip paints the square behind the selected number.
    const QRectF number = dayNumberRect();
    painter.setFont(dayNumberFont());
    painter.setPen(m_selected ? style.text() : style.secondaryText());
    painter.drawText(number, Qt::AlignCenter, m_dayNumber);
    y += kNumberH + kGap;

    if (m_hasEvents) {
        painter.setPen(Qt::NoPen);
        // The dot says the day has events: a mark, so it reaches 3:1.
        painter.setBrush(style.symbolInk(withAlpha(tint, m_selected ? 0.95 : 0.52)));
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

QStringList CalendarWeekStrip::weekdayTexts(const QDate &day, const QDateTime &now, const DateText &dates)
{
    if (day == now.toLocalTime().date())
        return {u"Today"_s};
    QStringList forms;
    for (const QString &skeleton : {u"EEE"_s, u"cccccc"_s, u"ccccc"_s}) {
        const QString form = dates.format(day.startOfDay(), skeleton);
        if (!form.isEmpty() && !forms.contains(form))
            forms << form;
    }
    return forms;
}

int CalendarWeekStrip::weekdayForm() const
{
    const QFontMetricsF metrics(weekdayFont());
    int most = 0;
    for (const CalendarDayCell *cell : m_cells)
        most = std::max(most, int(cell->weekdayForms().size()) - 1);
    for (int form = 0; form < most; ++form) {
        // "Today" has one form, and shrinks a little where it must.
        const bool fits = std::all_of(m_cells.begin(), m_cells.end(), [&](const CalendarDayCell *cell) {
            const QStringList &forms = cell->weekdayForms();
            return forms.size() == 1
                   || metrics.horizontalAdvance(forms.at(std::min<qsizetype>(form, forms.size() - 1))) * kFormShrink
                          <= cell->width();
        });
        if (fits)
            return form;
    }
    return most;
}

void CalendarWeekStrip::setDays(const std::vector<calendar::CalendarDayGroup> &days, const QString &selectedDayID,
                                const QDateTime &now)
{
    setDays(days, selectedDayID, now, DateText::user());
}

void CalendarWeekStrip::setDays(const std::vector<calendar::CalendarDayGroup> &days, const QString &selectedDayID,
                                const QDateTime &now, const DateText &dates)
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
    qreal selected = -1;
    for (std::size_t i = 0; i < days.size(); ++i) {
        const calendar::CalendarDayGroup &day = days[i];
        m_cells[i]->setDay(day.id(), weekdayTexts(day.day, now, dates), dates.format(day.date, u"d"_s),
                           !day.events.empty(), day.id() == selectedDayID);
        if (day.id() == selectedDayID)
            selected = qreal(i);
    }
    const qreal target = isMoving() ? m_slide->endValue().toDouble() : m_position;
    if (selected == target)
        return;
    if (m_slide)
        m_slide->stop();
    // From or to no selection, and while unseen, the square just lands.
    if (selected < 0 || m_position < 0 || !isVisible()) {
        m_position = selected;
        update();
        return;
    }
    if (!m_slide) {
        m_slide = new QVariantAnimation(this);
        applyMotion(m_slide, OrlixMotion::smooth());
        connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
            m_position = value.toDouble();
            update();
        });
    }
    m_slide->setStartValue(m_position);
    m_slide->setEndValue(selected);
    runMotion(m_slide);
}

QRectF CalendarWeekStrip::highlightRect() const
{
    if (m_position < 0 || m_cells.empty())
        return {};
    // The spring swings a little past the new cell; the square stays on the strip.
    const qreal position = std::clamp<qreal>(m_position, 0, qreal(m_cells.size() - 1));
    const auto at = [this](std::size_t i) {
        const CalendarDayCell *cell = m_cells[i];
        return cell->dayNumberRect().translated(cell->pos());
    };
    const std::size_t low = std::size_t(std::floor(position));
    const std::size_t high = std::min(low + 1, m_cells.size() - 1);
    const qreal t = position - qreal(low);
    const QRectF a = at(low), b = at(high);
    return {a.x() + (b.x() - a.x()) * t, a.y() + (b.y() - a.y()) * t, a.width(), a.height()};
}

bool CalendarWeekStrip::isMoving() const
{
    return m_slide && m_slide->state() == QAbstractAnimation::Running;
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

    const QRectF highlight = highlightRect();
    if (highlight.isEmpty())
        return;
    const QColor tint = style.tint(RailModule::calendar);
    const QPainterPath square = continuousRoundedRect(highlight.adjusted(0.4, 0.4, -0.4, -0.4), 9);
    painter.fillPath(square, withAlpha(tint, 0.22));
    painter.setPen(QPen(withAlpha(tint, 0.38), 0.8));
    painter.drawPath(square);
}

} // namespace kolu
