#include "platform/notes/LocalNoteStore.h"

#include "RecordingProcessRunner.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class LocalNoteStoreTest : public ::testing::Test {
protected:
    QString path(const QString &relative) const { return QDir(temp.path()).filePath(relative); }

    void write(const QString &relative, const QByteArray &content = "text",
               const QDateTime &modified = QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC))
    {
        ASSERT_TRUE(test::writeFile(path(relative), content, modified));
    }

    // A symbolic link at `at` to `target`, both below the temporary folder.
    void link(const QString &target, const QString &at)
    {
        ASSERT_EQ(::symlink(path(target).toLocal8Bit().constData(), path(at).toLocal8Bit().constData()), 0);
    }

    QByteArray read(const QString &relative) const
    {
        return QFile::exists(path(relative)) ? test::readFile(path(relative)) : QByteArray("<missing>");
    }

    // A write that failed and said why.
    static void expectRefused(const NoteStoreWrite &write, const QString &what = {})
    {
        EXPECT_FALSE(write.succeeded()) << what.toStdString();
        EXPECT_FALSE(write.errorText.isEmpty()) << what.toStdString();
    }

    LocalNoteStore store(std::vector<NoteRoot> roots = {})
    {
        if (roots.empty())
            roots = {{path(u"Notes"_s), u"Notes"_s}};
        return LocalNoteStore(std::move(roots), runner);
    }

    QTemporaryDir temp;
    test::RecordingProcessRunner runner;
};

std::vector<QString> ids(const auto &items)
{
    std::vector<QString> result;
    for (const auto &item : items)
        result.push_back(item.id);
    return result;
}

} // namespace

TEST_F(LocalNoteStoreTest, ListsAVaultSkippingHiddenFoldersAndLinks)
{
    // A vault laid out as Markdown note apps keep theirs.
    write(u"Vault/Welcome.md"_s);
    write(u"Vault/Projects/Plan.markdown"_s);
    write(u"Vault/Projects/Old/Notes.txt"_s);
    write(u"Vault/Projects/image.png"_s);
    write(u"Vault/.obsidian/workspace.md"_s);
    write(u"Vault/.trash/Deleted.md"_s);
    write(u"Vault/.hidden.md"_s);
    write(u"Outside/Secret.md"_s);
    link(u"Outside"_s, u"Vault/Linked"_s);
    link(u"Outside/Secret.md"_s, u"Vault/Secret.md"_s);
    // A name in another encoding cannot be opened again by its decoded name.
    const QByteArray oddName = path(u"Vault/"_s).toLocal8Bit() + "\xff\xfe.md";
    FILE *raw = ::fopen(oddName.constData(), "w");
    ASSERT_NE(raw, nullptr);
    ::fclose(raw);

    const auto s = store({{path(u"Vault"_s), u"Vault"_s}});
    const std::vector<NoteStoreFolder> folders{{u"Vault:"_s, u"Vault"_s, u"Vault"_s},
                                               {u"Vault:Projects"_s, u"Projects"_s, u"Vault"_s},
                                               {u"Vault:Projects/Old"_s, u"Old"_s, u"Vault"_s}};
    EXPECT_EQ(s.folders(), folders);

    const std::vector<QString> noteIDs{u"Vault:Welcome.md"_s, u"Vault:Projects/Plan.markdown"_s,
                                       u"Vault:Projects/Old/Notes.txt"_s};
    EXPECT_EQ(ids(s.notes()), noteIDs);
    EXPECT_EQ(s.notes().at(1).name, u"Plan"_s);
    EXPECT_EQ(s.notes().at(1).modified, QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC));
}

TEST_F(LocalNoteStoreTest, ListsSeveralAccountsWithStableIds)
{
    // A synced notes folder: notes at the top, categories as folders.
    write(u"Cloud/Groceries.md"_s);
    write(u"Cloud/Work/Standup.txt"_s);
    write(u"Notes/Ideas.md"_s);
    write(u"Notes/Work/Todo.md"_s);
    const auto s =
        store({{path(u"Notes"_s), u"Notes"_s}, {path(u"Cloud"_s), u"Nextcloud"_s}, {path(u"Elsewhere"_s), u"Notes"_s}});
    ASSERT_EQ(s.roots().size(), 2u);
    const std::vector<QString> folderIDs{u"Notes:"_s, u"Notes:Work"_s, u"Nextcloud:"_s, u"Nextcloud:Work"_s};
    EXPECT_EQ(ids(s.folders()), folderIDs);
    const std::vector<QString> noteIDs{u"Notes:Ideas.md"_s, u"Notes:Work/Todo.md"_s, u"Nextcloud:Groceries.md"_s,
                                       u"Nextcloud:Work/Standup.txt"_s};
    EXPECT_EQ(ids(s.notes()), noteIDs);
    EXPECT_EQ(s.notePath(u"Nextcloud:Work/Standup.txt"_s), path(u"Cloud/Work/Standup.txt"_s));
    EXPECT_EQ(s.folderPath(u"Notes:"_s), path(u"Notes"_s));
    // The desktop is shown the first account's folder.
    EXPECT_EQ(s.location(), QUrl::fromLocalFile(path(u"Notes"_s)));
}

TEST_F(LocalNoteStoreTest, ANoteWithoutANameTakesItsFirstLine)
{
    write(u"Notes/ .md"_s, "\n\n## Shopping list  \n- milk\n");
    write(u"Notes/  .txt"_s, "\xff\xfe\n");
    std::vector<QString> names;
    for (const auto &note : store().notes())
        names.push_back(note.name);
    EXPECT_EQ(names, (std::vector<QString>{u"\uFFFD\uFFFD"_s, u"Shopping list"_s}));
}

TEST_F(LocalNoteStoreTest, IdsThatLeadOutsideTheirRootAreRefused)
{
    write(u"Notes/Sub/A.md"_s);
    write(u"Secret.md"_s);
    write(u"Notes/.trash/B.md"_s);
    link(u"Secret.md"_s, u"Notes/Link.md"_s);
    link({}, u"Notes/Up"_s);
    auto s = store();
    EXPECT_TRUE(s.notePath(u"Notes:Sub/A.md"_s));
    for (const QString &id : {u"Notes:../Secret.md"_s, u"Notes:Sub/../../Secret.md"_s, u"Notes:/etc/passwd.md"_s,
                              u"Notes:Link.md"_s, u"Notes:Up/Secret.md"_s, u"Notes:.trash/B.md"_s, u"Notes:Sub//A.md"_s,
                              u"Notes:Sub\\..\\A.md"_s, u"Other:Sub/A.md"_s, u"Notes:Sub"_s, u"Notes:"_s, u""_s})
        EXPECT_FALSE(s.notePath(id)) << id.toStdString();
    for (const QString &id : {u"Notes:.."_s, u"Notes:Up"_s, u"Notes:Sub/A.md"_s})
        EXPECT_FALSE(s.folderPath(id)) << id.toStdString();

    EXPECT_FALSE(s.open(u"Notes:../Secret.md"_s));
    EXPECT_TRUE(s.open(u"Notes:Sub/A.md"_s));
    EXPECT_EQ(runner.commandLines(), (QList<QStringList>{{u"xdg-open"_s, path(u"Notes/Sub/A.md"_s)}}));
}

TEST_F(LocalNoteStoreTest, ANewNoteNeverReplacesAnother)
{
    write(u"Notes/Plan.md"_s, "first");
    auto s = store();
    EXPECT_EQ(s.makeNote(u"Notes:"_s, u"Notes"_s, u"Plan"_s, u"second"_s).noteID, u"Notes:Plan 2.md"_s);
    EXPECT_EQ(s.makeNote(u"Notes:"_s, u"Notes"_s, u"Plan"_s, u"third"_s).noteID, u"Notes:Plan 3.md"_s);
    EXPECT_EQ(read(u"Notes/Plan.md"_s), "first");
    EXPECT_EQ(read(u"Notes/Plan 2.md"_s), "second");
    EXPECT_EQ(read(u"Notes/Plan 3.md"_s), "third");

    // A dangling link holds its name too.
    link(u"nowhere"_s, u"Notes/Link.md"_s);
    EXPECT_EQ(s.makeNote(u"Notes:"_s, u"Notes"_s, u"Link"_s, u"x"_s).noteID, u"Notes:Link 2.md"_s);
    EXPECT_FALSE(QFileInfo::exists(path(u"nowhere"_s)));
}

TEST_F(LocalNoteStoreTest, TitlesCannotLeaveTheirFolder)
{
    auto s = store();
    EXPECT_EQ(s.makeNote({}, u"Kolu"_s, u"../../etc/passwd"_s, u"x"_s).noteID, u"Notes:Kolu/-..-etc-passwd.md"_s);
    EXPECT_EQ(s.makeNote({}, u"Kolu"_s, u"..."_s, u"x"_s).noteID, u"Notes:Kolu/Kolu Note.md"_s);
    EXPECT_EQ(s.makeNote({}, u"Kolu"_s, u"a\r\nb\tc\u0001d"_s, u"x"_s).noteID, u"Notes:Kolu/a b c d.md"_s);
    // A backslash would give a name whose own id is refused.
    const NoteStoreWrite backslash = s.makeNote({}, u"Kolu"_s, u"Say \"hi\" \\ bye"_s, u"x"_s);
    EXPECT_EQ(backslash.noteID, u"Notes:Kolu/Say \"hi\" - bye.md"_s);
    EXPECT_TRUE(s.notePath(backslash.noteID));
    for (const QString &title : {QString(300, u'\u00e9'), QString(1'000'000, u'x'), u"\U0001F600"_s.repeated(60)}) {
        const NoteStoreWrite longTitle = s.makeNote({}, u"Kolu"_s, title, u"x"_s);
        ASSERT_TRUE(longTitle.succeeded()) << longTitle.errorText.toStdString();
        EXPECT_LE(QFileInfo(longTitle.noteID).fileName().toUtf8().size(), 255);
        EXPECT_TRUE(s.notePath(longTitle.noteID));
    }
    // A cut never splits a character, and a cut that ends in a space loses it.
    EXPECT_EQ(LocalNoteStore::fileStem(u"\U0001F600"_s.repeated(60)), u"\U0001F600"_s.repeated(50));
    EXPECT_EQ(LocalNoteStore::fileStem(QString(u" .. "_s + QString(199, u'a') + u" b"_s)), QString(199, u'a'));
}

TEST_F(LocalNoteStoreTest, ANoteGoesToItsFolderOrTheFolderOfItsName)
{
    write(u"Notes/Work/Old.md"_s);
    auto s = store();
    EXPECT_EQ(s.makeNote(u"Notes:Work"_s, u"Work"_s, u"A"_s, u"x"_s).noteID, u"Notes:Work/A.md"_s);
    // The chosen folder is gone: the one of its name at the top is used, made when missing.
    EXPECT_EQ(s.makeNote(u"Notes:Gone/Deep"_s, u"Deep"_s, u"B"_s, u"x"_s).noteID, u"Notes:Deep/B.md"_s);
    EXPECT_TRUE(QFileInfo(path(u"Notes/Deep"_s)).isDir());
    EXPECT_EQ(s.makeNote(u"Notes:.stale"_s, u"../../x"_s, u"C"_s, u"x"_s).noteID, u"Notes:-..-x/C.md"_s);
    // A folder id that names a place outside the root is refused.
    link({}, u"Notes/Up"_s);
    for (const QString &id : {u"Notes:../.."_s, u"Notes:Work/../.."_s, u"Notes:/tmp"_s, u"Notes:Up"_s})
        expectRefused(s.makeNote(id, u"Work"_s, u"E"_s, u"x"_s), id);
    EXPECT_EQ(QDir(path(u"Notes/Work"_s)).entryList(QDir::Files), (QStringList{u"A.md"_s, u"Old.md"_s}));

    // A file in the way of the folder is reported, not replaced.
    write(u"Notes/Kolu"_s, "not a folder");
    expectRefused(s.makeNote({}, u"Kolu"_s, u"D"_s, u"x"_s));
    EXPECT_EQ(read(u"Notes/Kolu"_s), "not a folder");
}

TEST_F(LocalNoteStoreTest, WithoutARootNothingIsPrepared)
{
    EXPECT_FALSE(LocalNoteStore({}, runner).makeNote({}, u"Kolu"_s, u"A"_s, u"x"_s).prepared);
    EXPECT_TRUE(LocalNoteStore({}, runner).location().isEmpty());
}

TEST_F(LocalNoteStoreTest, AnUnwritableFolderIsReported)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    QDir().mkpath(path(u"Notes/Locked"_s));
    QFile::setPermissions(path(u"Notes/Locked"_s), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    expectRefused(store().makeNote(u"Notes:Locked"_s, u"Locked"_s, u"A"_s, u"x"_s));
}

TEST(LocalNoteStoreRootsTest, TheChosenFolderElseNotesInTheHomeFolder)
{
    const QString home = u"/home/ada"_s;
    const struct {
        std::optional<QString> configured;
        QString root;
    } cases[] = {
        {std::nullopt, u"/home/ada/Notes"_s},
        {u""_s, u"/home/ada/Notes"_s},
        {u"  "_s, u"/home/ada/Notes"_s},
        {u"~"_s, u"/home/ada"_s},
        {u"~/Sync/notes/"_s, u"/home/ada/Sync/notes"_s},
        {u" /srv/notes "_s, u"/srv/notes"_s},
        {u"/srv/../notes"_s, u"/notes"_s},
        {u"~other/notes"_s, u"~other/notes"_s}, // another user's home is not guessed
    };
    for (const auto &c : cases) {
        const std::vector<NoteRoot> roots = LocalNoteStore::rootsFor(c.configured, home);
        ASSERT_EQ(roots.size(), 1u);
        EXPECT_EQ(roots.front(), (NoteRoot{c.root, u"Notes"_s})) << c.configured.value_or(u"<absent>"_s).toStdString();
    }
}
