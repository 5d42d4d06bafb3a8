#pragma once

#include "cards/calendar/CalendarDays.h"

#include <QAbstractButton>
#include <QStringList>
#include <QWidget>

#include <vector>

class QHBoxLayout;
class QVariantAnimation;

namespace kolu {

class DateText;

// One day of the week strip: the weekday ("Today" for the first), the day of
// the month on a tinted square while selected, and a dot when it has events.
class CalendarDayCell : public QAbstractButton {
    Q_OBJECT
public:
    explicit CalendarDayCell(QWidget *parent = nullptr);

    // `weekdays`: the day's name from the longest form to the shortest; the
    // cell shows the form its strip chooses for every cell.
    void setDay(const QString &id, const QStringList &weekdays, const QString &dayNumber, bool hasEvents,
                bool selected);
    const QString &dayID() const { return m_id; }
    const QString &weekdayText() const { return m_weekdays.front(); }
    // The form shown, and the scale of the font it is drawn in at the
    // cell's width (below 0.9 only where even the shortest form runs over).
    QString shownWeekday() const;
    const QStringList &weekdayForms() const;
    qreal weekdayScale() const;
    const QString &dayNumberText() const { return m_dayNumber; }
    bool hasEvents() const { return m_hasEvents; }
    bool isSelected() const { return m_selected; }
    // Where the day number sits, in the cell.
    QRectF dayNumberRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_id;
    QStringList m_weekdays{QString()};
    QString m_dayNumber;
    bool m_hasEvents = false;
    bool m_selected = false;
};

// The seven days from today as pressable cells. Pressing a cell announces
// its day's id; which cell is highlighted is the card's call. The tinted
// square behind the selected day's number slides to a new selection with the
// shared spring.
class CalendarWeekStrip : public QWidget {
    Q_OBJECT
public:
    explicit CalendarWeekStrip(QWidget *parent = nullptr);

    void setDays(const std::vector<calendar::CalendarDayGroup> &days, const QString &selectedDayID,
                 const QDateTime &now, const DateText &dates);
    void setDays(const std::vector<calendar::CalendarDayGroup> &days, const QString &selectedDayID,
                 const QDateTime &now);
    // Which of the weekday forms every cell shows: the longest in which each
    // day's name fits its cell (shrunk a little at most), so the names read
    // alike across the week.
    int weekdayForm() const;
    std::vector<CalendarDayCell *> cells() const;

    // "Today" for the local day of `now`; else the abbreviated weekday, then
    // the locale's short and narrow stand-alone names where they differ
    // (where the abbreviated name is the whole word, as in Arabic).
    static QStringList weekdayTexts(const QDate &day, const QDateTime &now, const DateText &dates);

    // The square behind the selected number, in the strip; empty when no
    // cell is selected.
    QRectF highlightRect() const;
    bool isMoving() const;

Q_SIGNALS:
    void daySelected(const QString &id);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QHBoxLayout *m_row;
    std::vector<CalendarDayCell *> m_cells;
    // The highlighted cell's index, fractional while the square slides; -1
    // for none.
    qreal m_position = -1;
    QVariantAnimation *m_slide = nullptr; // made on the first move
};

} // namespace kolu
