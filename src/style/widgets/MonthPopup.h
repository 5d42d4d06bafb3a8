#pragma once

#include "style/widgets/KitPopup.h"

#include <QDate>

namespace kolu {

// The month a date field opens: the month's name between two chevrons,
// the weekday initials from the locale's first day of the week, and six
// weeks of days (those of the neighbouring months muted). The chosen day
// sits on the accent, today has a ring, the day under the pointer or the
// keyboard's cursor a raised fill. Arrows move the cursor a day or a week,
// Page Up and Page Down a month, Home and End to the month's first and
// last day; Enter, Return or Space choose the cursor's day, Escape closes.
class MonthPopup : public KitPopup {
    Q_OBJECT
public:
    MonthPopup(QDate chosen, QDate today, QWidget *parent);

    QDate chosen() const { return m_chosen; }
    QDate cursor() const { return m_cursor; }
    // The first of the month on show.
    QDate month() const { return m_month; }
    // The first day drawn (the grid's top-left cell).
    QDate firstShown() const;
    // Where a day's cell is; an empty rectangle for a day not on show.
    QRect dayRect(QDate day) const;
    QRect previousRect() const;
    QRect nextRect() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void dayChosen(QDate day);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void moveCursor(QDate day);
    void choose(QDate day);
    QDate dayAt(const QPoint &point) const;

    QDate m_chosen;
    QDate m_today;
    QDate m_cursor;
    QDate m_month;
    QDate m_hovered;
};

} // namespace kolu
