#pragma once

#include "cards/reminders/ReminderRules.h"
#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

#include <QAbstractButton>

class QScrollArea;
class QVBoxLayout;

namespace kolu {

class ElidedLabel;
class OrlixButton;
class ReminderComposer;

// A capsule chip of the filter strip.
class ReminderFilterChip : public QAbstractButton {
    Q_OBJECT
public:
    ReminderFilterChip(const QString &text, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The header's composer button: "plus" to open the composer, a filled
// "checkmark" once the draft can be added.
class ReminderComposerButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ReminderComposerButton(QWidget *parent = nullptr);
    void setReady(bool ready);
    bool isReady() const { return m_ready; }
    QString symbol() const;
    QSize sizeHint() const override { return {30, 28}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_ready = false;
};

// The reminders module: the open reminders filtered by day and grouped in
// dated sections, each completed with one click, and an inline composer.
// The chosen filter is kept in the settings; the composer lives with the card.
class RemindersCard : public ModuleCard {
    Q_OBJECT
public:
    explicit RemindersCard(AppState &state, QWidget *parent = nullptr);

    ReminderFilter selectedFilter() const;
    bool isComposing() const { return m_composing; }

    // The header button: opens the composer, or adds a ready draft.
    void composerAction();

private:
    void addReminder();
    void onStateChanged(AppState::Field field);
    void updateHeader();
    void updateChips();
    void rebuildList();

    AppState &m_state;
    ElidedLabel *m_connectionLine;
    ElidedLabel *m_countLine;
    OrlixButton *m_refresh;
    ReminderComposerButton *m_composerButton;
    std::vector<std::pair<ReminderFilter, ReminderFilterChip *>> m_chips;
    ReminderComposer *m_composer;
    QScrollArea *m_scroll;
    QWidget *m_list;
    QVBoxLayout *m_listLayout;
    bool m_composing = false;
    // An add was handed to the state; its answer decides whether the draft goes.
    bool m_addPending = false;
};

} // namespace kolu
