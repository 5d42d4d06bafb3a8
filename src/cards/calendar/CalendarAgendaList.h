#pragma once

#include "cards/calendar/CalendarDays.h"

#include <QWidget>

#include <vector>

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
// it rises 6 into place.
// Rows are kept and reused from one day to the next.
class CalendarAgendaList : public QWidget {
    Q_OBJECT
public:
    CalendarAgendaList(AppState &state, QWidget *parent = nullptr);

    void setDay(const calendar::CalendarDayGroup &day, const QDateTime &now);
    // Shows the leads the state holds, for every row.
    void refreshLeads();

    const QString &dayID() const { return m_dayID; }
    // The rows in use, in order.
    std::vector<CalendarEventAgendaRow *> rows() const;
    CalendarEmptyAgendaRow *emptyRow() const { return m_empty; }
    QString dateText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void fadeIn();

    AppState &m_state;
    QString m_dayID;
    ShrinkLabel *m_date;
    CalendarEmptyAgendaRow *m_empty;
    QWidget *m_rowsBox;
    QVBoxLayout *m_rowsLayout;
    std::vector<CalendarEventAgendaRow *> m_rows;
    std::size_t m_used = 0;
    QVariantAnimation *m_fade = nullptr;
};

} // namespace kolu
