#include "cards/notes/NotesCard.h"

#include "cards/notes/NotesWidgets.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixTextField.h"
#include "cards/notes/NotesRules.h"
#include "style/widgets/Reveal.h"

#include "../CardTest.h"

#include <QMenu>
#include <QDir>
#include <QDirIterator>
#include <QGraphicsOpacityEffect>
#include <QSignalSpy>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

class NotesCardTest : public test::CardTest<NotesCard> {
protected:
    QString root;

    NotesCardTest() { cardSize = {340, 700}; }

    void SetUp() override
    {
        root = home.path(u"Notes"_s);
        ASSERT_TRUE(QDir().mkpath(root + u"/Work"_s));
        CardTest::SetUp();
        state->loadSavedState();
        state->setRailModule(RailModule::notes, true);
    }

    bool idle() const override { return !state->isLoadingAppleNotes() && !state->isLoadingAppleNoteFolders(); }

    void openComposer()
    {
        click(u"notesComposerToggle"_s);
        ASSERT_TRUE(card->isComposerOpen());
        waitIdle();
    }

    void save() { click(u"noteSaveButton"_s); }

    QStringList noteFiles() const
    {
        QStringList files;
        QDirIterator it(home.home(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(u".md"_s))
                files << QDir(root).relativeFilePath(path);
        }
        files.sort();
        return files;
    }
};

TEST_F(NotesCardTest, BlankSaveKeepsTheTextsABodyOnlySaveWritesAKoluNoteAndTheListOpensNotes)
{
    makeCard();
    openComposer();
    auto *composer = card->composer();
    composer->titleField()->setText(u"   "_s);
    composer->bodyEditor()->setPlainText(u" \n "_s);
    save();
    EXPECT_EQ(composer->statusText(), u"Write a note first."_s);
    EXPECT_EQ(composer->titleField()->text() + composer->bodyEditor()->toPlainText(), u"    \n "_s);
    EXPECT_TRUE(card->isComposerOpen());
    EXPECT_TRUE(noteFiles().isEmpty());

    composer->titleField()->clear();
    composer->bodyEditor()->setPlainText(u"Buy bread"_s);
    save();
    EXPECT_EQ(composer->statusText(), u"Saved in Notes."_s);
    EXPECT_EQ(noteFiles(), (QStringList{u"Kolu/Kolu Note.md"_s}));
    EXPECT_EQ(composer->titleField()->text() + composer->bodyEditor()->toPlainText(), QString());
    EXPECT_FALSE(card->isComposerOpen());

    // A new note starts with no status, and the button stays where it was.
    openComposer();
    EXPECT_EQ(composer->statusText(), QString());
    auto *saveButton = find(u"noteSaveButton"_s);
    // Let the save's list reload land first, then lay out only: a late
    // answer arriving between the two reads would move the whole composer.
    waitIdle();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QPoint at = saveButton->mapTo(composer, QPoint());
    composer->setStatus(u"Write a note first."_s, Qt::red);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_EQ(saveButton->mapTo(composer, QPoint()), at);

    // The list shows loading, empty or four tiles that open their note.
    waitIdle();
    state->setAppleNotes({});
    state->setIsLoadingAppleNotes(true);
    auto *empty = find<EmptyState>(u"notesEmptyState"_s);
    EXPECT_EQ(empty->titleLabel()->text(), u"Loading notes"_s);
    EXPECT_FALSE(find(u"notesRefreshButton"_s)->isEnabled());
    state->setIsLoadingAppleNotes(false);
    EXPECT_EQ(empty->titleLabel()->text(), u"No notes found"_s);
    EXPECT_TRUE(find(u"notesRefreshButton"_s)->isEnabled());

    for (const int count : {6, 3}) {
        std::vector<AppleNoteItem> notes;
        for (int i = 0; i < count; ++i)
            notes.push_back({u"Notes:n%1.md"_s.arg(i), u"Note %1"_s.arg(i), {}, u"Today"_s, {}});
        state->setAppleNotes(notes);
        EXPECT_FALSE(empty->isVisibleTo(card.get()));
        ASSERT_EQ(card->findChildren<NoteTile *>().size(), std::min(count, 4)) << count;
        EXPECT_EQ(text(u"notesCount"_s), u"%1 from Notes"_s.arg(count));
    }
    // Loading with notes known keeps the tiles.
    state->setIsLoadingAppleNotes(true);
    EXPECT_EQ(card->findChildren<NoteTile *>().size(), 3);
    state->setIsLoadingAppleNotes(false);

    ASSERT_TRUE(test::writeFile(root + u"/n1.md"_s, "# Note 1\n"));
    NoteTile *tile = card->findChildren<NoteTile *>().at(1);
    ASSERT_EQ(tile->note().id, u"Notes:n1.md"_s);
    QTest::mouseClick(tile, Qt::LeftButton);
    ASSERT_FALSE(services.processes->runs().isEmpty());
    EXPECT_EQ(services.processes->runs().last().arguments.value(0), QFileInfo(root + u"/n1.md"_s).absoluteFilePath());

    click(u"notesOpenFolderButton"_s);
    EXPECT_EQ(services.urlOpener->opened, QList<QUrl>{QUrl::fromLocalFile(root)});

    // A tile's date is the short local date and time, whole on one line.
    state->refreshAppleNotes(true);
    waitIdle();
    ASSERT_FALSE(card->findChildren<NoteTile *>().isEmpty());
    QCoreApplication::sendPostedEvents();
    auto *modified = card->findChildren<NoteTile *>().front()->findChild<ElidedLabel *>(u"noteTileModified"_s);
    ASSERT_NE(modified, nullptr);
    EXPECT_FALSE(modified->text().isEmpty());
    EXPECT_FALSE(modified->isElided(modified->width())) << modified->text().toStdString();
}

TEST_F(NotesCardTest, SaveWhileFoldersLoadGoesToTheStoredFolderAndAStaleIdShowsKolu)
{
    makeCard();
    state->setSelectedAppleNoteFolderID(u"Notes:Work"_s);
    state->setAppleNoteFolders({});
    state->setIsLoadingAppleNoteFolders(true);
    click(u"notesComposerToggle"_s);
    auto *menu = find<QToolButton>(u"noteFolderMenu"_s);
    EXPECT_EQ(menu->text(), u"Loading..."_s);
    EXPECT_FALSE(menu->isEnabled());
    card->composer()->titleField()->setText(u"Plan"_s);
    save();
    EXPECT_EQ(noteFiles(), (QStringList{u"Work/Plan.md"_s}));
    test::waitUntil([&] { return !state->isLoadingAppleNoteFolders(); });

    state->setIsLoadingAppleNoteFolders(false);
    state->setAppleNoteFolders({{u"Notes:Work"_s, u"Work"_s, u"Notes"_s}});
    state->setSelectedAppleNoteFolderID(u"Notes:Gone"_s);
    EXPECT_EQ(menu->text(), u"Kolu"_s);
    EXPECT_TRUE(menu->isEnabled());
    int entries = 0;
    for (QAction *action : menu->menu()->actions()) {
        entries += !action->isSeparator();
        EXPECT_FALSE(action->isChecked()) << action->text().toStdString();
    }
    EXPECT_EQ(entries, 2);
    menu->menu()->actions().last()->trigger();
    EXPECT_EQ(state->selectedAppleNoteFolderID(), u"Notes:Work"_s);
    EXPECT_EQ(menu->text(), u"Work"_s);
}

TEST(NoteTileTest, ShownTitlesDropControlsAndDirectionOverridesAndReadInTheirOwnDirection)
{
    const std::tuple<QString, QString, Qt::LayoutDirection> cases[] = {
        {QString(u"invoice"_s + QChar(0x202E) + u"fdp.exe"_s), u"invoicefdp.exe"_s, Qt::LeftToRight},
        {u"ملاحظة"_s, u"ملاحظة"_s, Qt::RightToLeft},
    };
    for (const auto &[raw, shown, direction] : cases) {
        const AppleNoteItem note{u"Notes:x.md"_s, raw, {}, u"Today"_s, {}};
        NoteTile tile(note);
        auto *title = tile.findChild<ElidedLabel *>(u"noteTileTitle"_s);
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), shown);
        EXPECT_EQ(title->layoutDirection(), direction) << shown.toStdString();
        EXPECT_EQ(tile.note().title, raw) << "the note keeps its own text";
    }

    const std::pair<QString, QString> titles[] = {
        {QString(u"a"_s + QChar(0) + u"b"_s + QChar(0)), u"ab"_s},
        {u"Line one\nline\ttwo"_s, u"Line one line two"_s},
        {QString(u"abc"_s + QChar(0x202E) + u"def"_s), u"abcdef"_s},
        {QString(QChar(0x2067) + u"x"_s + QChar(0x2069) + QChar(0x1B) + u"[31m"_s), u"x[31m"_s},
        {QString(u"  "_s + QChar(0x7F) + QChar(0x85) + u"Plan  "_s), u"Plan"_s},
        {u"مرحبا بالعالم"_s, u"مرحبا بالعالم"_s},
    };
    for (const auto &[title, shown] : titles)
        EXPECT_EQ(notes::shownTitle(title), shown) << shown.toStdString();
}

TEST(NotesRules, FolderTitleAndSaveTargetFollowTheStoredId)
{
    const std::vector<AppleNoteFolder> folders{{u"Notes:Work"_s, u"Work"_s, u"Notes"_s},
                                               {u"Notes:Home"_s, u"Home"_s, u"Notes"_s}};
    EXPECT_EQ(notes::selectedFolderTitle(folders, u"Notes:Home"_s), u"Home"_s);
    for (const QString &id : {u""_s, u"Notes:Gone"_s})
        EXPECT_EQ(notes::selectedFolderTitle(folders, id), u"Kolu"_s) << id.toStdString();
    EXPECT_EQ(notes::selectedFolderTitle({}, u"Notes:Work"_s), u"Kolu"_s);

    EXPECT_EQ(notes::folderForSave(folders, u"Notes:Work"_s, false), folders[0]);
    EXPECT_EQ(notes::folderForSave(folders, u""_s, true), std::nullopt);
    EXPECT_EQ(notes::folderForSave(folders, u"Notes:Gone"_s, false), std::nullopt) << "a loaded list is trusted";
    // While the list is late, the stored id still names the target.
    for (const bool loading : {true, false}) {
        const auto target = notes::folderForSave({}, u"Notes:Work"_s, loading);
        ASSERT_TRUE(target) << loading;
        EXPECT_EQ(target->id, u"Notes:Work"_s);
        EXPECT_EQ(target->name, u"Kolu"_s);
    }
    EXPECT_EQ(notes::folderForSave(folders, u"Notes:New"_s, true)->id, u"Notes:New"_s);
}

TEST(NotesRules, TileTintIsFixedPerIdAndSpreadsOverThePalette)
{
    // Fixed values: a change of hash would recolour every user's tiles.
    EXPECT_EQ(notes::tintIndex(u""_s), int(2166136261u % 4u));
    int seen[4] = {};
    for (int i = 0; i < 200; ++i) {
        const QString id = u"Notes:Inbox/note %1.md"_s.arg(i);
        const int index = notes::tintIndex(id);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 4);
        EXPECT_EQ(notes::tintIndex(QString(id)), index);
        ++seen[index];
    }
    for (int count : seen)
        EXPECT_GT(count, 20);
    EXPECT_EQ(notes::countText(6), u"6 from Notes"_s);
}

using NotesMotion = test::CardTest<NotesCard>;

TEST_F(NotesMotion, ComposerSlidesInAndLeavesOnTheSwapCurve)
{
    test::Frames frames;
    cardSize = {340, 700};
    NotesCard &notes = makeCard();
    auto *toggle = find<QAbstractButton>(u"notesComposerToggle"_s);
    toggle->click();
    frames.advanceBy(OrlixMotion::contentSwap().durationMs / 2);
    auto *label = dynamic_cast<QGraphicsOpacityEffect *>(toggle->graphicsEffect());
    ASSERT_NE(label, nullptr) << "the toggle's new label fades in";
    EXPECT_TRUE(test::between(label->opacity(), 0.2, 0.8));
    EXPECT_TRUE(test::between(notes.composerReveal().progress(), 0.2, 0.8));
    frames.advanceBy(OrlixMotion::contentSwap().durationMs);
    EXPECT_DOUBLE_EQ(notes.composerReveal().progress(), 1.0);
    EXPECT_EQ(notes.composer()->graphicsEffect(), nullptr);
    EXPECT_EQ(toggle->graphicsEffect(), nullptr);

    toggle->click();
    EXPECT_FALSE(notes.isComposerOpen());
    EXPECT_TRUE(notes.composer()->isVisible()) << "it leaves before it goes";
    frames.advanceBy(OrlixMotion::contentSwap().durationMs + 16);
    EXPECT_FALSE(notes.composer()->isVisible());
    EXPECT_FALSE(notes.composerReveal().isMoving());
    EXPECT_FALSE(test::anyRunning(notes));
}

TEST_F(NotesCardTest, WithoutANotesFolderTheCardSaysSoAndOffersTheSettingsPage)
{
    makeCard();
    waitIdle();
    QSignalSpy asked(state.get(), &AppState::showDesktopAppsSettings);
    auto *empty = find<EmptyState>(u"notesEmptyState"_s);
    auto *open = find<QAbstractButton>(u"notesOpenSettingsButton"_s);
    ASSERT_TRUE(QDir(home.path(u"Notes"_s)).removeRecursively());
    state->refreshAppleNotes(true);
    ASSERT_TRUE(test::waitUntil([&] { return state->notesFolderMissing() && !state->isLoadingAppleNotes(); }));
    EXPECT_EQ(empty->titleLabel()->text(), u"No notes folder"_s);
    EXPECT_TRUE(open->isVisible());
    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(asked.size(), 1);

    ASSERT_TRUE(QDir().mkpath(home.path(u"Notes"_s)));
    state->refreshAppleNotes(true);
    ASSERT_TRUE(test::waitUntil([&] { return !state->notesFolderMissing() && !state->isLoadingAppleNotes(); }));
    EXPECT_EQ(empty->titleLabel()->text(), u"No notes found"_s);
    EXPECT_FALSE(open->isVisible());

    // A chosen folder that has gone is named, as the calendar names its own.
    defaults.set(SettingsKey::notesFolderPath, u"~/Gone"_s);
    state->refreshAppleNotes(true);
    ASSERT_TRUE(test::waitUntil([&] { return state->notesFolderMissing() && !state->isLoadingAppleNotes(); }));
    EXPECT_EQ(empty->titleLabel()->text(), u"Notes folder can’t be read"_s);
    EXPECT_EQ(empty->subtitleLabel()->text(),
              u"“~/Gone” is gone or can’t be opened. Bring it back, or choose another folder."_s);
    EXPECT_TRUE(open->isVisible());
}

} // namespace
} // namespace kolu
