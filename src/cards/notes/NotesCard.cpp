#include "cards/notes/NotesCard.h"

#include "cards/FolderTexts.h"
#include "cards/StatusTintColor.h"
#include "cards/notes/NotesRules.h"
#include "cards/notes/NotesWidgets.h"
#include "model/Error.h"
#include "platform/desktop/UrlOpener.h"
#include "services/notes/NotesService.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/Reveal.h"
#include "style/widgets/SmallSpinner.h"
#include "style/widgets/StyledWidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace kolu {

NotesCard::NotesCard(AppState &state, QWidget *parent)
    : ModuleCard(u"Notes"_s, u"note.text"_s, parent)
    , m_state(state)
    , m_toggle(new OrlixButton(OrlixButton::Kind::primary, u"New note"_s, this))
    , m_openFolder(new OrlixButton(OrlixButton::Kind::secondary, u"Notes folder"_s, this))
    , m_refresh(new OrlixButton(OrlixButton::Kind::secondary, {}, this))
    , m_spinner(new SmallSpinner(m_refresh, 14))
    , m_composer(new NotesComposer(this))
    , m_empty(new EmptyState(u"note.text"_s, {}, {}, this))
    , m_openSettings(new OrlixButton(OrlixButton::Kind::secondary, u"Open Settings"_s, this))
    , m_list(new QWidget(this))
    , m_count(new ElidedLabel({}, m_list))
    , m_grid(new QGridLayout)
{
    setObjectName(u"notesCard"_s);
    m_toggle->setObjectName(u"notesComposerToggle"_s);
    m_toggle->setSymbol(u"plus"_s);
    m_openFolder->setObjectName(u"notesOpenFolderButton"_s);
    m_openFolder->setSymbol(u"note.text"_s);
    // Where the desktop's fonts are wide, this one gives up its symbol first.
    m_openFolder->setShrinkable(true);
    m_refresh->setObjectName(u"notesRefreshButton"_s);
    m_refresh->setToolTip(u"Refresh notes"_s);
    m_refresh->setAccessibleName(u"Refresh notes"_s);
    // The spinner takes the symbol's place in a button of the same size.
    m_refresh->setSymbol(u"arrow.clockwise"_s);
    m_refresh->setFixedSize(m_refresh->sizeHint());
    m_spinner->setObjectName(u"notesRefreshSpinner"_s);
    m_spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_empty->setObjectName(u"notesEmptyState"_s);
    m_openSettings->setObjectName(u"notesOpenSettingsButton"_s);
    m_openSettings->setSymbol(u"gearshape"_s);
    m_openSettings->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_openSettings->hide();
    m_list->setObjectName(u"notesList"_s);
    m_count->setObjectName(u"notesCount"_s);
    m_composer->hide();
    m_reveal = new Reveal(m_composer, OrlixMotion::contentSwap());

    QVBoxLayout *stack = contentLayout();
    stack->setSpacing(10);
    auto *toolbar = new QHBoxLayout;
    toolbar->setSpacing(8);
    toolbar->addWidget(m_toggle);
    toolbar->addWidget(m_openFolder);
    toolbar->addStretch(1);
    toolbar->addWidget(m_refresh);
    stack->addLayout(toolbar);
    stack->addWidget(m_composer);
    stack->addWidget(m_empty);
    stack->addWidget(m_openSettings);

    auto *listStack = new QVBoxLayout(m_list);
    listStack->setContentsMargins(0, 0, 0, 0);
    listStack->setSpacing(8);
    auto *heading = new ElidedLabel(u"Recent notes"_s, m_list);
    heading->setFont(OrlixFonts::system(13, QFont::Bold));
    m_count->setFont(OrlixFonts::system(10, QFont::DemiBold));
    auto *header = new QVBoxLayout;
    header->setSpacing(2);
    header->addWidget(heading);
    header->addWidget(m_count);
    listStack->addLayout(header);
    m_grid->setSpacing(8);
    m_grid->setColumnStretch(0, 1);
    m_grid->setColumnStretch(1, 1);
    listStack->addLayout(m_grid);
    stack->addWidget(m_list);

    const auto applyColors = [this, heading] {
        heading->setColor(OrlixStyle::current().text());
        m_count->setColor(OrlixStyle::current().secondaryText());
        m_spinner->setColor(OrlixStyle::current().secondaryText());
    };
    applyColors();
    onStyleChange(this, applyColors);

    connect(m_toggle, &QAbstractButton::clicked, this, &NotesCard::toggleComposer);
    connect(m_openFolder, &QAbstractButton::clicked, this, &NotesCard::openNotesFolder);
    connect(m_openSettings, &QAbstractButton::clicked, this, [this] { m_state.openDesktopAppsSettings(); });
    connect(m_refresh, &QAbstractButton::clicked, this, [this] {
        m_state.refreshAppleNoteFolders(true);
        m_state.refreshAppleNotes(true);
    });
    connect(m_composer, &NotesComposer::saveRequested, this, &NotesCard::saveNote);
    connect(m_composer, &NotesComposer::folderChosen, this,
            [this](const QString &id) { m_state.setSelectedAppleNoteFolderID(id); });
    connect(&m_state, &AppState::changed, this, &NotesCard::onStateChanged);

    updateFolders();
    updateRefreshButton();
    updateNotes();
}

void NotesCard::onStateChanged(AppState::Field field)
{
    switch (field) {
    case AppState::Field::appleNoteFolders:
    case AppState::Field::isLoadingAppleNoteFolders:
    case AppState::Field::selectedAppleNoteFolderID: updateFolders(); break;
    case AppState::Field::isLoadingAppleNotes:
        updateRefreshButton();
        updateNotes();
        break;
    case AppState::Field::appleNotes:
    case AppState::Field::notesFolderMissing: updateNotes(); break;
    default: break;
    }
}

void NotesCard::toggleComposer()
{
    m_composerOpen = !m_composerOpen;
    m_reveal->setOpen(m_composerOpen);
    m_toggle->setText(m_composerOpen ? u"Close"_s : u"New note"_s);
    m_toggle->setSymbol(m_composerOpen ? u"xmark"_s : u"plus"_s);
    fadeIn(m_toggle, OrlixMotion::contentSwap());
    if (m_composerOpen) {
        // A new note has not been saved yet: the last save's line goes.
        m_composer->setStatus({}, {});
        m_composer->titleField()->setFocus();
        m_state.refreshAppleNoteFolders(false);
    }
}

void NotesCard::openNotesFolder()
{
    // The notes are files; the desktop opens their folder in the user's file
    // manager or editor. A failure is not reported, as for a tile.
    const QUrl location = m_state.notesService().notesLocation();
    if (!location.isEmpty())
        m_state.urlOpener().openUrl(location);
}

void NotesCard::saveNote()
{
    const std::optional<AppleNoteFolder> folder = notes::folderForSave(
        m_state.appleNoteFolders(), m_state.selectedAppleNoteFolderID(), m_state.isLoadingAppleNoteFolders());
    try {
        m_state.notesService().saveNote(m_composer->titleField()->text(), m_composer->bodyEditor()->toPlainText(),
                                        folder);
    } catch (const Error &error) {
        m_composer->setStatus(error.description(), statusTintColor(StatusTint::orange, {}));
        return;
    }
    if (!m_state.isModuleHidden(RailModule::notes)) {
        m_state.refreshAppleNotes(true);
        m_state.refreshAppleNoteFolders(true);
    }
    m_composer->titleField()->clear();
    m_composer->bodyEditor()->clear();
    m_composer->setStatus(u"Saved in Notes."_s, statusTintColor(StatusTint::green, {}));
    if (m_composerOpen)
        toggleComposer();
}

void NotesCard::updateFolders()
{
    m_composer->setFolders(m_state.appleNoteFolders(), m_state.selectedAppleNoteFolderID(),
                           m_state.isLoadingAppleNoteFolders());
}

void NotesCard::updateRefreshButton()
{
    const bool loading = m_state.isLoadingAppleNotes();
    m_refresh->setEnabled(!loading);
    m_refresh->setSymbol(loading ? QString() : u"arrow.clockwise"_s);
    m_spinner->setVisible(loading);
    m_spinner->move((m_refresh->width() - 14) / 2, (m_refresh->height() - 14) / 2);
}

void NotesCard::updateNotes()
{
    const std::vector<AppleNoteItem> &notes = m_state.appleNotes();
    // Without a notes folder the card says what is missing, not that there
    // are no notes.
    const bool folderMissing = notes.empty() && m_state.notesFolderMissing();
    m_openSettings->setVisible(folderMissing);
    if (folderMissing) {
        // A folder chosen once and gone since is named, not taken for none.
        if (const std::optional<QString> chosen = m_state.chosenNotesFolder()) {
            const GoneFolderText text = goneFolderText(CardFolder::notes, *chosen);
            m_empty->setPathContent(u"note.text"_s, text.title, text.beforePath, text.path, text.afterPath);
        } else {
            m_empty->setContent(u"note.text"_s, u"No notes folder"_s, u"Choose the folder your notes are kept in."_s);
        }
        m_empty->show();
        m_list->hide();
        return;
    }
    if (notes.empty()) {
        const bool loading = m_state.isLoadingAppleNotes();
        m_empty->setContent(u"note.text"_s, loading ? u"Loading notes"_s : u"No notes found"_s,
                            loading ? u"Recent notes are loading in the background."_s
                                    : u"Recent notes will appear here when Kolu can read them."_s);
        m_empty->show();
        m_list->hide();
        return;
    }
    m_empty->hide();
    m_list->show();
    m_count->setText(notes::countText(qsizetype(notes.size())));
    for (NoteTile *tile : m_tiles)
        delete tile;
    m_tiles.clear();
    const std::size_t shown = std::min<std::size_t>(notes.size(), notes::kTileCount);
    for (std::size_t i = 0; i < shown; ++i) {
        auto *tile = new NoteTile(notes[i], m_list);
        connect(tile, &NoteTile::openRequested, this,
                [this](const QString &id) { m_state.notesService().openNote(id); });
        m_grid->addWidget(tile, int(i / 2), int(i % 2));
        m_tiles.push_back(tile);
    }
}

} // namespace kolu
