#include "services/notes/NotesService.h"

#include "../ServiceTests.h"

#include <QLocale>

using namespace kolu;

namespace {

struct MadeNote {
    QString folderID, fallbackFolderName, title, content;
};

class FakeNoteStore final : public NoteStore {
public:
    std::vector<NoteStoreFolder> folders() const override { return listedFolders; }
    std::vector<NoteStoreNote> notes() const override { return listedNotes; }
    bool isAccessible() const override { return accessible; }
    QUrl location() const override { return {}; }
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
    return test::utc(2026, 3, 14, hour);
}

struct NotesServiceTest : ::testing::Test {
    QString saveFailure(const QString &title, const QString &body)
    {
        return test::failureText<NotesServiceError>([&] { service.saveNote(title, body, std::nullopt); });
    }

    std::shared_ptr<FakeNoteStore> store = std::make_shared<FakeNoteStore>();
    NotesService service{store};
};

} // namespace

TEST_F(NotesServiceTest, FoldersAndRecentNotesAreListedInOrderAndSavingFillsInTheMissingHalfAndReportsFailures)
{
    store->listedFolders = {{u"n:"_s, u"Notes"_s, u"Notes"_s},    {u"c:Work"_s, u"work"_s, u"Cloud"_s},
                            {u"n:Work"_s, u"Work"_s, u"Notes"_s}, {u"n:Work"_s, u"Again"_s, u"Notes"_s},
                            {u" "_s, u"No id"_s, u"Notes"_s},     {u"n:x"_s, u"  "_s, u"Notes"_s},
                            {u"n:b"_s, u"banana"_s, u""_s},       {u"n:a"_s, u"Apple"_s, u""_s}};
    EXPECT_EQ(test::each(test::awaitTask(service.fetchNoteFolders()), &AppleNoteFolder::displayName),
              (QStringList{u"Apple"_s, u"banana"_s, u"Notes · Notes"_s, u"work · Cloud"_s, u"Work · Notes"_s}));

    store->listedNotes = {{u"a"_s, u"Older"_s, at(9)},         {u"b"_s, u""_s, at(11)},
                          {u"c"_s, u"Undated"_s, QDateTime()}, {u"d"_s, u"Newest"_s, at(12)},
                          {u"b"_s, u"Twice"_s, at(8)},         {u"e"_s, u"Tie"_s, at(9)}};
    const auto notes = test::awaitTask(service.fetchOrlixNotes(6));
    EXPECT_EQ(test::each(notes, [](const auto &note) { return note.title; }),
              (QStringList{u"Newest"_s, u"Untitled note"_s, u"Older"_s, u"Tie"_s, u"Undated"_s}));
    EXPECT_EQ(notes.back().modifiedDate, std::nullopt);

    EXPECT_EQ(test::awaitTask(service.fetchOrlixNotes(2)).size(), 2u);
    EXPECT_TRUE(test::awaitTask(service.fetchOrlixNotes(-3)).empty());

    // A tile shows the short local date and time to the minute: no seconds,
    // no time zone, in the locale's own order.
    const QDateTime dated = at(12).addSecs(50);
    store->listedNotes = {{u"a"_s, u"Dated"_s, dated}};
    const QString shown = test::awaitTask(service.fetchOrlixNotes(1)).front().modifiedText;
    const QLocale locale = QLocale::system();
    EXPECT_TRUE(shown.startsWith(locale.toString(dated.toLocalTime().date(), QLocale::ShortFormat)))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(dated.toLocalTime().toString(u"mm"_s))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(u":50"_s)) << shown.toStdString();
    EXPECT_FALSE(shown.contains(dated.toLocalTime().timeZoneAbbreviation())) << shown.toStdString();

    EXPECT_EQ(saveFailure(u" \n "_s, u"\r\n\t"_s), u"Write a note first."_s);
    EXPECT_TRUE(store->made.empty());

    service.saveNote(u"  "_s, u"1 < 2\r\nsecond line "_s, std::nullopt);
    ASSERT_EQ(store->made.size(), 1u);
    EXPECT_EQ(std::tuple(store->made[0].title, store->made[0].content, store->made[0].fallbackFolderName),
              std::tuple(u"Kolu Note"_s, u"# Kolu Note\n\n1 < 2\nsecond line\n"_s, u"Kolu"_s));

    service.saveNote(u" Title "_s, u""_s, AppleNoteFolder{u"n:Work"_s, u"Work"_s, u"Notes"_s});
    EXPECT_EQ(std::tuple(store->made[1].title, store->made[1].content, store->made[1].folderID),
              std::tuple(u"Title"_s, u"# Title\n\nTitle\n"_s, u"n:Work"_s));

    // The store's failures are reported.
    store->answer.errorText = u"Permission denied"_s;
    EXPECT_EQ(saveFailure(u"T"_s, u"B"_s), u"Notes rejected the note: Permission denied"_s);
    store->answer.prepared = false;
    EXPECT_EQ(saveFailure(u"T"_s, u"B"_s), u"Kolu could not prepare the note."_s);
}
