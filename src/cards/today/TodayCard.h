#pragma once

#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

#include <QUrl>
#include <QWidget>

#include <array>

namespace kolu {

class ElidedLabel;
class OrlixButton;
class ShrinkLabel;
class SymbolView;
class TodaySummaryTile;

// One reminder due today: a flag or a circle and the title on one line.
class TodayReminderLine : public QWidget {
    Q_OBJECT
public:
    explicit TodayReminderLine(QWidget *parent = nullptr);
    void setReminder(const ReminderItem &reminder);
    QString title() const;
    bool isFlagged() const;

private:
    SymbolView *m_mark;
    ElidedLabel *m_title;
};

// The today module: a greeting that follows the hour, today's date, the
// weather, and a glass summary of the next event, the next prayer and the
// reminders due today. It owns no data: every text is worked out again from
// the state whenever the state announces a change or the card is shown. Each
// showing asks the state for the weather (the state decides whether to fetch).
class TodayCard : public ModuleCard {
    Q_OBJECT
public:
    explicit TodayCard(AppState &state, QWidget *parent = nullptr);

    // Works out every text again from the state and the clock.
    void refresh();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildGreetingSection(QVBoxLayout *stack);
    void buildWeatherSection(QVBoxLayout *stack);
    void buildSummarySection(QVBoxLayout *stack);
    QWidget *buildRemindersTile(QWidget *panel);
    void onStateChanged(AppState::Field field);
    void refreshWeather();
    void refreshNextEvent();
    void refreshNextPrayer();
    void refreshReminders();
    void openMeetingLink();

    AppState &m_state;
    ShrinkLabel *m_greeting;
    ElidedLabel *m_date;
    SymbolView *m_weatherIcon;
    ElidedLabel *m_temperature;
    ElidedLabel *m_weatherDetail;
    TodaySummaryTile *m_nextEvent;
    OrlixButton *m_meetingButton;
    OrlixButton *m_calendarSettingsButton;
    TodaySummaryTile *m_nextPrayer;
    SymbolView *m_remindersIcon;
    ElidedLabel *m_remindersTitle;
    ElidedLabel *m_reminderCount;
    ElidedLabel *m_remindersEmpty;
    std::array<TodayReminderLine *, 3> m_reminderLines{};
    QUrl m_meetingURL;
};

} // namespace kolu
