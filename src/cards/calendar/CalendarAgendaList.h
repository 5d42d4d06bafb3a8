#pragma once

#include "cards/calendar/CalendarDays.h"

#include <QDateTime>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <vector>

class QScrollBar;
class QVBoxLayout;
class QVariantAnimation;

namespace kolu {

class AppState;
class CalendarEventAgendaRow;
class ElidedLabel;
class ShrinkLabel;

// The row that stands for a day without events.
class CalendarEmptyAgendaRow : public QWidget {
    Q_OBJECT
public:
    explicit CalendarEmptyAgendaRow(QWidget *parent = nullptr);
    void setIsToday(bool isToday);
    QString text() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ElidedLabel *m_text;
};

// The agenda of the selected day: a heading with the day's date over either
// its events on a timeline or the empty row. A new day fades the list in as
// it rises 6 into place, while the old day's list fades out sinking 6.
// Rows are kept and reused from one day to the next. A crowded day makes its
// rows a page at a time: the first page at once, the next ones as the
// scroll area around the card nears the end of the rows made so far.
class CalendarAgendaList : public QWidget {
    Q_OBJECT
public:
    CalendarAgendaList(AppState &state, QWidget *parent = nullptr);

    void setDay(const calendar::CalendarDayGroup &day, const QDateTime &now);
    // Shows the leads the state holds, for every row.
    void refreshLeads();
    // Makes the next page of the day's rows, if any are left.
    void showMore();

    // A page runs well past a screenful (a row is near 200 high), so a
    // scroll finds the next one made before it gets there.
    static constexpr std::size_t kRowPage = 8;

    const QString &dayID() const { return m_dayID; }
    // The rows in use, in order.
    std::vector<CalendarEventAgendaRow *> rows() const;
    CalendarEmptyAgendaRow *emptyRow() const { return m_empty; }
    QString dateText() const;
    // While one day's list gives way to the next: how far (0–1).
    bool isChangingDay() const;
    qreal dayChangeProgress() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void changeDay(QPixmap outgoing, QPoint outgoingAt);
    void showMoreIfNearTheEnd();

    AppState &m_state;
    QString m_dayID;
    ShrinkLabel *m_date;
    CalendarEmptyAgendaRow *m_empty;
    QWidget *m_rowsBox;
    QVBoxLayout *m_rowsLayout;
    std::vector<CalendarEventAgendaRow *> m_rows;
    std::size_t m_used = 0;
    calendar::CalendarDayGroup m_day;
    QDateTime m_now;
    std::size_t m_limit = kRowPage;
    QPointer<QScrollBar> m_watchedScroll;
    QVariantAnimation *m_fade = nullptr;
};

} // namespace kolu
