#pragma once

#include "model/Records.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QUrl>
#include <QWidget>

namespace kolu {

class AppState;
class AttendeeInitialsStack;
class CalendarStartPill;
class ElidedLabel;
class SegmentedPicker;
class ShrinkLabel;
class SymbolView;
class TimelineMarker;

// The button under an event that opens its meeting in the browser.
class CalendarMeetingButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CalendarMeetingButton(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// One event of the day's agenda: the timeline marker beside a card with the
// attendees, the start time, the title, the time range, the location, the
// alert lead picker and the meeting button. Colours change while the event
// runs (both ends included), as of the moment the row was last set. The
// lead picker writes straight to the state.
class CalendarEventAgendaRow : public QWidget {
    Q_OBJECT
public:
    CalendarEventAgendaRow(AppState &state, QWidget *parent = nullptr);

    void setEvent(const CalendarEvent &event, bool isFirst, bool isLast, const QDateTime &now);
    // Shows the lead the state holds for the event.
    void refreshLead();

    const CalendarEvent &event() const { return m_event; }
    bool isHappeningNow() const { return m_now; }
    TimelineMarker *marker() const { return m_marker; }
    AttendeeInitialsStack *initials() const { return m_initials; }
    SegmentedPicker *leadPicker() const { return m_lead; }
    CalendarMeetingButton *meetingButton() const { return m_meeting; }
    QString timeRangeText() const;
    // The location line's text, empty when the line is hidden.
    QString locationText() const;

private:
    void applyColors();
    void chooseLead(int index);
    void openMeetingLink();

    AppState &m_state;
    CalendarEvent m_event;
    bool m_now = false;
    QUrl m_meetingURL;
    TimelineMarker *m_marker;
    QWidget *m_card;
    AttendeeInitialsStack *m_initials;
    CalendarStartPill *m_pill;
    ElidedLabel *m_title;
    SymbolView *m_clockIcon;
    ShrinkLabel *m_timeRange;
    QWidget *m_locationLine;
    SymbolView *m_locationIcon;
    ElidedLabel *m_location;
    ShrinkLabel *m_notify;
    SegmentedPicker *m_lead;
    CalendarMeetingButton *m_meeting;
};

} // namespace kolu
