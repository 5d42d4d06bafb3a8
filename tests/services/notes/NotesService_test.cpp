#include "services/notes/NotesService.h"

#include "platform/notes/LocalNoteStore.h"

#include "AwaitTask.h"
#include "FailureText.h"
#include "RecordingProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

struct MadeNote {
    QString folderID, fallbackFolderName, title, content;
};

class FakeNoteStore final : public NoteStore {
public:
    std::vector<NoteStoreFolder> folders() const override { return listedFolders; }
    std::vector<NoteStoreNote> notes() const override { return listedNotes; }
    bool isAccessible() const override { return accessible; }
    bool open(const QString &) override { return true; }
    NoteStoreWrite makeNote(const QString &folderID, const QString &fallbackFolderName, const QString &title,
                            const QString &content) override
    {
        made.push_back({folderID, fallbackFolderName, title, content});
        return answer;
    }

    std::vector<NoteStoreFolder> listedFolders;
    std::vector<NoteStoreNote> listedNotes;
    bool accessible = true;
    NoteStoreWrite answer;
    std::vector<MadeNote> made;
};

QDateTime at(int hour)
{
    return QDateTime(QDate(2026, 3, 14), QTime(hour, 0), Qt::UTC);
}

class NotesServiceTest : public ::testing::Test {
protected:
    QString saveFailure(const QString &title, const QString &body)
    {
        return test::failureText<NotesServiceError>([&] { service.saveNote(title, body, std::nullopt); });
    }

    std::shared_ptr<FakeNoteStore> store = std::make_shared<FakeNoteStore>();
    NotesService service{store};
};

} // namespace

TEST_F(NotesServiceTest, FoldersAreSortedByDisplayNameAndListedOnce)
{
    store->listedFolders = {{u"n:"_s, u"Notes"_s, u"Notes"_s},  {u"c:Work"_s, u"work"_s, u"Cloud"_s},
                            {u"n:Work"_s, u"Work"_s, u"Notes"_s}, {u"n:Work"_s, u"Again"_s, u"Notes"_s},
                            {u" "_s, u"No id"_s, u"Notes"_s},     {u"n:x"_s, u"  "_s, u"Notes"_s},
                            {u"n:b"_s, u"banana"_s, u""_s},       {u"n:a"_s, u"Apple"_s, u""_s}};
    const auto folders = test::awaitTask(service.fetchNoteFolders());
    std::vector<QString> names;
    for (const auto &folder : folders)
        names.push_back(folder.displayName());
    const std::vector<QString> expected{u"Apple"_s, u"banana"_s, u"Notes · Notes"_s, u"work · Cloud"_s,
                                        u"Work · Notes"_s};
    EXPECT_EQ(names, expected);
}

TEST_F(NotesServiceTest, RecentNotesAreNewestFirstAndLimited)
{
    store->listedNotes = {{u"a"_s, u"Older"_s, at(9)},         {u"b"_s, u""_s, at(11)},
                          {u"c"_s, u"Undated"_s, QDateTime()}, {u"d"_s, u"Newest"_s, at(12)},
                          {u"b"_s, u"Twice"_s, at(8)},         {u"e"_s, u"Tie"_s, at(9)}};
    const auto notes = test::awaitTask(service.fetchOrlixNotes(6));
    std::vector<QString> titles;
    for (const auto &note : notes)
        titles.push_back(note.title);
    const std::vector<QString> expected{u"Newest"_s, u"Untitled note"_s, u"Older"_s, u"Tie"_s, u"Undated"_s};
    EXPECT_EQ(titles, expected);
    EXPECT_EQ(notes.back().modifiedDate, std::nullopt);

    EXPECT_EQ(test::awaitTask(service.fetchOrlixNotes(2)).size(), 2u);
    EXPECT_TRUE(test::awaitTask(service.fetchOrlixNotes(-3)).empty());
}

TEST_F(NotesServiceTest, SavingFillsInTheMissingHalfAndTheFolder)
{
    EXPECT_EQ(saveFailure(u" \n "_s, u"\r\n\t"_s), u"Write a note first."_s);
    EXPECT_TRUE(store->made.empty());

    service.saveNote(u"  "_s, u"1 < 2\r\nsecond line "_s, std::nullopt);
    ASSERT_EQ(store->made.size(), 1u);
    EXPECT_EQ(store->made[0].title, u"Kolu Note"_s);
    EXPECT_EQ(store->made[0].content, u"# Kolu Note\n\n1 < 2\nsecond line\n"_s);
    EXPECT_EQ(store->made[0].fallbackFolderName, u"Kolu"_s);

    service.saveNote(u" Title "_s, u""_s, AppleNoteFolder{u"n:Work"_s, u"Work"_s, u"Notes"_s});
    EXPECT_EQ(store->made[1].title, u"Title"_s);
    EXPECT_EQ(store->made[1].content, u"# Title\n\nTitle\n"_s);
    EXPECT_EQ(store->made[1].folderID, u"n:Work"_s);
}

TEST_F(NotesServiceTest, SavingReportsTheStoresFailures)
{
    store->answer.errorText = u"Permission denied"_s;
    EXPECT_EQ(saveFailure(u"T"_s, u"B"_s), u"Notes rejected the note: Permission denied"_s);
    store->answer.prepared = false;
    EXPECT_EQ(saveFailure(u"T"_s, u"B"_s), u"Kolu could not prepare the note."_s);
}

TEST(NotesServiceOnFiles, SavesAndListsNotesInATemporaryRoot)
{
    QTemporaryDir temp;
    test::RecordingProcessRunner runner;
    const QString root = QDir(temp.path()).filePath(u"Notes"_s);
    NotesService service(std::make_shared<LocalNoteStore>(std::vector<NoteRoot>{{root, u"Notes"_s}}, runner));

    EXPECT_FALSE(test::awaitTask(service.requestAutomationAccess()));
    service.saveNote(u"Groceries"_s, u"milk"_s, std::nullopt);
    service.saveNote(u"Groceries"_s, u"eggs"_s, std::nullopt);
    EXPECT_TRUE(test::awaitTask(service.requestAutomationAccess()));

    const auto folders = test::awaitTask(service.fetchNoteFolders());
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], (AppleNoteFolder{u"Notes:Kolu"_s, u"Kolu"_s, u"Notes"_s}));
    EXPECT_EQ(folders[1], (AppleNoteFolder{u"Notes:"_s, u"Notes"_s, u"Notes"_s}));

    const auto notes = test::awaitTask(service.fetchOrlixNotes(6));
    ASSERT_EQ(notes.size(), 2u);
    QFile second(QDir(root).filePath(u"Kolu/Groceries 2.md"_s));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.readAll(), "# Groceries\n\neggs\n");

    service.openNote(u"Notes:Kolu/Groceries 2.md"_s);
    service.openNote(u"Notes:../../etc/passwd"_s);
    ASSERT_EQ(runner.runs().size(), 1);
    EXPECT_EQ(runner.runs().front().arguments, QStringList{second.fileName()});
}
