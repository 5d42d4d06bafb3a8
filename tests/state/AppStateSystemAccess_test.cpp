#include "AppStateFixture.h"

#include "services/notes/NotesService.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

using test::Status;

class FakeApplicationHider final : public ApplicationHider {
public:
    bool available = true;
    std::vector<int> answers; // one per call, in order
    int calls = 0;
    bool isAvailable() const override { return available; }
    int hideOtherApplications() override { return answers.at(static_cast<size_t>(calls++)); }
};

class AppStateSystemAccessTest : public test::AppStateActionsTest {
protected:
    std::vector<Status> statuses;

    std::unique_ptr<AppState> makeWatchedState()
    {
        auto state = makeState();
        QObject::connect(state.get(), &AppState::changed, state.get(), [this, s = state.get()](AppState::Field f) {
            if (f == AppState::Field::systemAccessStatusTint)
                statuses.emplace_back(s->systemAccessStatusMessage(), s->systemAccessStatusTint());
        });
        return state;
    }

    QString calendarRoot() const { return home.path(u".local/share/calendars"_s); }

    // Asks and waits for the answer: the asking line, then the result.
    Status ask(AppState &state, void (AppState::*request)(), const QString &asking)
    {
        statuses.clear();
        (state.*request)();
        EXPECT_TRUE(test::waitUntil([&] { return statuses.size() == 2; }));
        EXPECT_EQ(statuses.front(), std::make_pair(asking, StatusTint::secondary));
        return statuses.empty() ? Status{} : statuses.back();
    }
};


} // namespace

TEST_F(AppStateSystemAccessTest, CalendarAndRemindersAccessFollowTheirFolder)
{
    auto state = makeWatchedState();
    const QString asksCalendar = u"Requesting Calendar access..."_s;
    const QString asksReminders = u"Requesting Reminders access..."_s;
    const Status calendarRefused{u"Calendar access needs Kolu Settings."_s, StatusTint::orange};
    const Status remindersRefused{u"Reminders access needs Kolu Settings."_s, StatusTint::orange};

    // Missing.
    EXPECT_EQ(ask(*state, &AppState::requestCalendarPermission, asksCalendar), calendarRefused);
    EXPECT_EQ(ask(*state, &AppState::requestRemindersPermission, asksReminders), remindersRefused);

    // A file where the folder should be cannot be listed.
    ASSERT_TRUE(test::writeFile(calendarRoot()));
    EXPECT_EQ(ask(*state, &AppState::requestCalendarPermission, asksCalendar), calendarRefused);
    ASSERT_TRUE(QFile::remove(calendarRoot()));

    // Ready.
    ASSERT_TRUE(QDir().mkpath(calendarRoot()));
    EXPECT_EQ(ask(*state, &AppState::requestCalendarPermission, asksCalendar),
              Status(u"Calendar access is ready."_s, StatusTint::green));
    EXPECT_EQ(ask(*state, &AppState::requestRemindersPermission, asksReminders),
              Status(u"Reminders access is ready."_s, StatusTint::green));

    // Unreadable, where permissions bind (not for the superuser).
    if (::geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(calendarRoot(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        EXPECT_EQ(ask(*state, &AppState::requestRemindersPermission, asksReminders), remindersRefused)
            << "reminders need a folder they can write";
        ASSERT_TRUE(QFile::setPermissions(calendarRoot(), {}));
        EXPECT_EQ(ask(*state, &AppState::requestCalendarPermission, asksCalendar), calendarRefused);
        QFile::setPermissions(calendarRoot(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

TEST_F(AppStateSystemAccessTest, NotesAccessFollowsTheNotesFolder)
{
    auto state = makeWatchedState();
    const QString asking = u"Requesting Notes automation..."_s;
    EXPECT_EQ(ask(*state, &AppState::requestNotesPermission, asking),
              Status(u"Notes automation is ready."_s, StatusTint::green));
    ASSERT_TRUE(QDir(home.path(u"Notes"_s)).removeRecursively());
    EXPECT_EQ(ask(*state, &AppState::requestNotesPermission, asking),
              Status(u"Notes automation needs Kolu Settings."_s, StatusTint::orange));
}

TEST_F(AppStateSystemAccessTest, DesktopFolderCheck)
{
    auto state = makeWatchedState();
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    ASSERT_TRUE(desktop.startsWith(home.home())) << desktop.toStdString();
    QDir(desktop).removeRecursively();
    state->requestDesktopPermission();
    EXPECT_EQ(statuses.back(), Status(u"Desktop folder was not found."_s, StatusTint::orange));

    ASSERT_TRUE(QDir().mkpath(desktop));
    state->requestDesktopPermission();
    EXPECT_EQ(statuses.back(), Status(u"Desktop access is ready."_s, StatusTint::green));
}

TEST_F(AppStateSystemAccessTest, HidingOtherApplicationsReportsTheCount)
{
    auto state = makeWatchedState();
    auto hider = std::make_unique<FakeApplicationHider>();
    FakeApplicationHider *fake = hider.get();
    fake->answers = {2, 1, 0};
    state->setApplicationHider(std::move(hider));
    EXPECT_TRUE(state->canMinimizeAllApplications());

    state->minimizeAllApplications();
    EXPECT_EQ(statuses.back(), Status(u"Hid 2 apps."_s, StatusTint::green));
    state->minimizeAllApplications();
    EXPECT_EQ(statuses.back(), Status(u"Hid 1 app."_s, StatusTint::green));
    state->minimizeAllApplications();
    EXPECT_EQ(statuses.back(), Status(u"No visible apps were found."_s, StatusTint::secondary));

    fake->available = false;
    EXPECT_FALSE(state->canMinimizeAllApplications());
}

TEST_F(AppStateSystemAccessTest, DesktopCheckLooksInEveryScreenshotsFolder)
{
    auto state = makeWatchedState();
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    ASSERT_TRUE(pictures.startsWith(home.home())) << pictures.toStdString();
    const Status ready{u"Desktop access is ready."_s, StatusTint::green};
    const Status notFound{u"Desktop folder was not found."_s, StatusTint::orange};
    const Status refused{u"Desktop access needs Kolu Settings."_s, StatusTint::orange};
    const bool permissionsBind = ::geteuid() != 0;
    struct Case {
        const char *name;
        QStringList folders; // made, listable
        QString unlistable;  // made, without any permission
        Status expected;
    };
    const Case cases[] = {
        {"none", {}, {}, notFound},
        {"only the screenshots folder", {pictures + u"/Screenshots"_s}, {}, ready},
        {"only the pictures folder", {pictures}, {}, ready},
        {"an unlistable desktop alone", {}, desktop, permissionsBind ? refused : ready},
        {"an unlistable desktop beside screenshots", {pictures + u"/Screenshots"_s}, desktop, ready},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &folder : {desktop, pictures}) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QDir(folder).removeRecursively();
        }
        for (const QString &folder : c.folders)
            ASSERT_TRUE(QDir().mkpath(folder));
        if (!c.unlistable.isEmpty()) {
            ASSERT_TRUE(QDir().mkpath(c.unlistable));
            ASSERT_TRUE(QFile::setPermissions(c.unlistable, {}));
        }
        state->requestDesktopPermission();
        ASSERT_FALSE(statuses.empty());
        EXPECT_EQ(statuses.back(), c.expected);
    }
    QFile::setPermissions(desktop, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(AppStateSystemAccessTest, TheNotesFollowTheChosenNotesFolder)
{
    ASSERT_TRUE(test::writeFile(home.path(u"Notes/Old.md"_s)));
    ASSERT_TRUE(test::writeFile(home.path(u"Sync/notes/One.md"_s)));
    ASSERT_TRUE(test::writeFile(home.path(u"Sync/notes/Work/Two.md"_s)));
    auto state = makeWatchedState();
    state->refreshAppleNotes(true);
    ASSERT_TRUE(waitUntil([&] { return state->appleNotes().size() == 1; }));

    // A change of the setting alone, as from the settings file or the page.
    defaults.set(SettingsKey::notesFolderPath, u"~/Sync/notes"_s);
    ASSERT_TRUE(waitUntil([&] { return state->appleNotes().size() == 2 && state->appleNoteFolders().size() == 2; }));
    EXPECT_EQ(state->notesService().notesLocation(), QUrl::fromLocalFile(home.path(u"Sync/notes"_s)));
    EXPECT_EQ(ask(*state, &AppState::requestNotesPermission, u"Requesting Notes automation..."_s),
              Status(u"Notes automation is ready."_s, StatusTint::green));

    defaults.remove(SettingsKey::notesFolderPath);
    ASSERT_TRUE(waitUntil([&] { return state->appleNotes().size() == 1; }));
    EXPECT_EQ(state->notesService().notesLocation(), QUrl::fromLocalFile(home.path(u"Notes"_s)));
}
