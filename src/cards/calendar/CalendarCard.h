#pragma once

#include "cards/calendar/CalendarDays.h"
#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

#include <vector>

namespace kolu {

class CalendarAgendaList;
class CalendarSummaryPill;
class CalendarWeekStrip;
class ElidedLabel;
class EmptyState;

// The calendar module: the seven days from today as a strip, the selected
// day's date and event count, and its agenda. It loads nothing: the events
// are the state's, and every view is worked out again whenever the state
// announces them or a day is pressed. The events are sorted into days only
// when the state announces new ones or the day turns. The chosen day lives only as long as
// the card and starts on today; when it is no longer in the strip (after
// midnight) the first day is shown and no cell is highlighted. Without a
// calendar folder the card says so in place of the week and its agenda, and
// offers the settings page where one is chosen.
class CalendarCard : public ModuleCard {
    Q_OBJECT
public:
    explicit CalendarCard(AppState &state, QWidget *parent = nullptr);

    const QString &selectedDayID() const { return m_selectedDayID; }
    void selectDay(const QString &id);
    // Works out the strip, the header and the agenda again.
    void refresh();

    CalendarWeekStrip *weekStrip() const { return m_strip; }
    CalendarAgendaList *agenda() const { return m_agenda; }
    QString summaryText() const;
    QString headerDateText() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onStateChanged(AppState::Field field);

    AppState &m_state;
    QString m_selectedDayID;
    // The events sorted into the days from `m_daysFrom`; stale when the state
    // announces new events.
    std::vector<calendar::CalendarDayGroup> m_days;
    QDate m_daysFrom;
    bool m_daysStale = true;
    ElidedLabel *m_headerDate;
    CalendarSummaryPill *m_summary;
    CalendarWeekStrip *m_strip;
    CalendarAgendaList *m_agenda;
    QWidget *m_noFolder;
    EmptyState *m_noFolderText;
};

} // namespace kolu
