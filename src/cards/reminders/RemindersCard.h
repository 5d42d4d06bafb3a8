#pragma once

#include "cards/reminders/ReminderRules.h"
#include "state/AppState.h"
#include "style/widgets/ComposerToggleButton.h"
#include "style/widgets/ModuleCard.h"

#include <QAbstractButton>

#include <optional>
#include <vector>

class QVBoxLayout;
class QVariantAnimation;

namespace kolu {

class ElidedLabel;
class OrlixButton;
class ReminderComposer;
class Reveal;

// A capsule chip of the filter strip. Its colours move to the chosen look
// with the shared spring.
class ReminderFilterChip : public QAbstractButton {
    Q_OBJECT
public:
    ReminderFilterChip(const QString &text, QWidget *parent = nullptr);
    QSize sizeHint() const override;
    // 0 drawn as not chosen, 1 as chosen; between while it moves.
    qreal selectedness() const { return m_selectedness; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_selectedness = 0;
    QVariantAnimation *m_motion = nullptr; // made on the first move
};

// The header's composer button: "plus" to open the composer, a filled
// "checkmark" once the draft can be added.
class ReminderComposerButton : public ComposerToggleButton {
    Q_OBJECT
public:
    explicit ReminderComposerButton(QWidget *parent = nullptr);
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
    // The composer's opening and closing.
    const Reveal &composerReveal() const { return *m_reveal; }

    // The header button: opens the composer, or adds a ready draft.
    void composerAction();

private:
    void addReminder();
    void onStateChanged(AppState::Field field);
    void updateHeader();
    void updateChips();
    // Lays the list out again when what it shows changed, keeping the row of
    // every reminder that stays as it was.
    void rebuildList();

    AppState &m_state;
    ElidedLabel *m_connectionLine;
    ElidedLabel *m_countLine;
    OrlixButton *m_refresh;
    ReminderComposerButton *m_composerButton;
    std::vector<std::pair<ReminderFilter, ReminderFilterChip *>> m_chips;
    ReminderComposer *m_composer;
    Reveal *m_reveal;
    QWidget *m_list;
    QVBoxLayout *m_listLayout;
    // What the list shows: its sections, or the empty state when none.
    struct ListContent {
        std::vector<reminderrules::Section> sections;
        std::optional<reminderrules::EmptyContent> empty;
        friend bool operator==(const ListContent &, const ListContent &) = default;
    };
    std::optional<ListContent> m_shown; // nothing until built, and after a style change
    bool m_composing = false;
    // The day the sections were worked out for.
    QDateTime m_shownDay;
    // An add was handed to the state; its answer decides whether the draft goes.
    bool m_addPending = false;
};

} // namespace kolu
