#pragma once

#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

#include <vector>

class QGridLayout;

namespace kolu {

class ElidedLabel;
class EmptyState;
class NoteTile;
class NotesComposer;
class OrlixButton;
class Reveal;
class SmallSpinner;

// The notes module: the most recent notes as tiles that open in the user's
// editor, and a composer that saves a new note into a chosen folder.
class NotesCard : public ModuleCard {
    Q_OBJECT
public:
    explicit NotesCard(AppState &state, QWidget *parent = nullptr);

    NotesComposer *composer() const { return m_composer; }
    bool isComposerOpen() const { return m_composerOpen; }
    // The composer's entry and exit.
    const Reveal &composerReveal() const { return *m_reveal; }

private:
    void onStateChanged(AppState::Field field);
    void toggleComposer();
    void openNotesFolder();
    void saveNote();
    void updateFolders();
    void updateRefreshButton();
    void updateNotes();

    AppState &m_state;
    bool m_composerOpen = false;
    OrlixButton *m_toggle;
    OrlixButton *m_openFolder;
    OrlixButton *m_refresh;
    SmallSpinner *m_spinner;
    NotesComposer *m_composer;
    Reveal *m_reveal;
    EmptyState *m_empty;
    OrlixButton *m_openSettings;
    QWidget *m_list;
    ElidedLabel *m_count;
    QGridLayout *m_grid;
    std::vector<NoteTile *> m_tiles;
};

} // namespace kolu
