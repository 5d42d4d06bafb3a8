#pragma once

#include "style/widgets/ModuleCard.h"

#include <QColor>
#include <QString>

#include <optional>

namespace kolu {

class AppState;
class FocusDurationControl;
class FocusTimerRing;
class MenuPicker;
class OrlixButton;

// The focus module's card: the session ring, the focus length (typed into
// the ring or stepped by minutes), start / pause / resume, reset, skip and
// the alert sound. The countdown itself belongs to the state's tick; the card
// rewrites the timer through its own operations and saves it.
class FocusCard : public ModuleCard {
    Q_OBJECT
public:
    explicit FocusCard(AppState &state, QWidget *parent = nullptr);

    int focusMinutes() const { return m_focusMinutes; }
    bool isEditingDuration() const { return m_editing; }
    QString durationText() const;

    void beginDurationEdit();
    void cancelDurationEdit();
    void commitDurationText();
    void adjustFocusMinutes(int step);
    void toggleFocus();

private:
    bool isLocked() const;
    void setDurationText(const QString &text);
    void filterDurationText();
    void setEditing(bool editing);
    void chooseAlertSound(int index);
    void showAlertSound();
    void pomodoroChanged();
    void refresh();
    QColor modeTint() const;

    AppState &m_state;
    FocusTimerRing *m_ring;
    FocusDurationControl *m_duration;
    OrlixButton *m_primary;
    MenuPicker *m_sound;
    OrlixButton *m_reset;
    OrlixButton *m_skip;

    int m_focusMinutes = 25;
    int m_seenPomodoroMinutes = 25;
    bool m_editing = false;
    // Set while the card rewrites the field's text from its own filter.
    bool m_filtering = false;
};

} // namespace kolu
