#include "AppStateFixture.h"

#include "services/notes/NotesService.h"

#include <QStandardPaths>

#include <unistd.h>

namespace {

// The calendar and reminders checks are driven by the settings page's cases.
class AppStateSystemAccessTest : public test::AppStateActionsTest {
protected:
    std::unique_ptr<AppState> state = makeState();

    test::Status status() const { return test::pairOf(state->systemAccessStatus()); }
    // The answer, which may come at once or after the asking line.
    test::Status askNotes()
    {
        state->requestNotesPermission();
        EXPECT_TRUE(waitUntil([&] { return status().second != StatusTint::secondary; }));
        return status();
    }
};

} // namespace

TEST_F(AppStateSystemAccessTest, TheDesktopCheckLooksInEveryScreenshotsFolderAndTheNotesFollowTheirFolder)
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    ASSERT_TRUE(pictures.startsWith(home.home())) << pictures.toStdString();
    const test::Status ready{u"Desktop access is ready."_s, StatusTint::green};
    const test::Status refused{u"Desktop access needs Kolu Settings."_s, StatusTint::orange};
    const struct {
        const char *name;
        QStringList folders; // made, listable
        QString unlistable;  // made, without any permission
        test::Status expected;
    } cases[] = {
        {"none", {}, {}, {u"Desktop folder was not found."_s, StatusTint::orange}},
        {"only the screenshots folder", {pictures + u"/Screenshots"_s}, {}, ready},
        {"only the pictures folder", {pictures}, {}, ready},
        {"an unlistable desktop alone", {}, desktop, ::geteuid() != 0 ? refused : ready},
        {"an unlistable desktop beside screenshots", {pictures + u"/Screenshots"_s}, desktop, ready},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &folder : {desktop, pictures}) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QDir(folder).removeRecursively();
        }
        for (const QString &folder : c.folders)
            ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(c.unlistable.isEmpty() || (QDir().mkpath(c.unlistable) && QFile::setPermissions(c.unlistable, {})));
        state->requestDesktopPermission();
        EXPECT_EQ(status(), c.expected);
    }
    QFile::setPermissions(desktop, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // The notes follow the chosen notes folder: a change of the setting alone,
    // as from the settings file or the page, moves them.
    ASSERT_TRUE(test::writeFile(home.path(u"Notes/Old.md"_s)));
    ASSERT_TRUE(test::writeFile(home.path(u"Sync/notes/One.md"_s)));
    ASSERT_TRUE(test::writeFile(home.path(u"Sync/notes/Work/Two.md"_s)));
    state->refreshAppleNotes(true);
    ASSERT_TRUE(waitUntil([&] { return state->appleNotes().size() == 1; }));
    defaults.set(SettingsKey::notesFolderPath, u"~/Sync/notes"_s);
    ASSERT_TRUE(waitUntil([&] { return state->appleNotes().size() == 2 && state->appleNoteFolders().size() == 2; }));
    EXPECT_EQ(state->notesService().notesLocation(), QUrl::fromLocalFile(home.path(u"Sync/notes"_s)));
    EXPECT_EQ(askNotes(), test::Status(u"Notes automation is ready."_s, StatusTint::green));

    defaults.remove(SettingsKey::notesFolderPath);
    ASSERT_TRUE(waitUntil([&] { return state->appleNotes().size() == 1; }));
    EXPECT_EQ(state->notesService().notesLocation(), QUrl::fromLocalFile(home.path(u"Notes"_s)));
    ASSERT_TRUE(QDir(home.path(u"Notes"_s)).removeRecursively());
    EXPECT_EQ(askNotes(), test::Status(u"Notes automation needs Kolu Settings."_s, StatusTint::orange));
}
