#pragma once

#include "cards/calendar/CalendarDays.h"

#include <QAbstractButton>
#include <QWidget>

#include <vector>

class QHBoxLayout;
class QVariantAnimation;

namespace kolu {

// One day of the week strip: the weekday ("Today" for the first), the day of
// the month on a tinted square while selected, and a dot when it has events.
class CalendarDayCell : public QAbstractButton {
    Q_OBJECT
public:
    explicit CalendarDayCell(QWidget *parent = nullptr);

    void setDay(const QString &id, const QString &weekday, const QString &dayNumber, bool hasEvents, bool selected);
    const QString &dayID() const { return m_id; }
    const QString &weekdayText() const { return m_weekday; }
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
    QString m_weekday;
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
                 const QDateTime &now);
    std::vector<CalendarDayCell *> cells() const;

    // "Today" for the local day of `now`, else the abbreviated weekday.
    static QString weekdayText(const QDate &day, const QDateTime &now);

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
