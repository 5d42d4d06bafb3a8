#include "AppStateFixture.h"

#include <QStandardPaths>

using AppStateSystemAccessTest = test::AppStateActionsTest;

// Calendars and reminders are there when their folder is, notes when the
// notes folder can be used, the desktop when its folder can be listed; each
// answer follows an asking line in the one status line.
TEST_F(AppStateSystemAccessTest, EachAccessFollowsItsFolder)
{
    const auto state = makeState();
    const auto status = [&] {
        return test::Status{state->systemAccessStatusMessage(), state->systemAccessStatusTint()};
    };
    QStringList shown;
    QObject::connect(state.get(), &AppState::changed, [&](AppState::Field field) {
        if (field == AppState::Field::systemAccessStatusTint)
            shown.append(state->systemAccessStatusMessage());
    });
    state->requestCalendarPermission();
    EXPECT_EQ(status(), test::Status(u"Calendar access needs Kolu Settings."_s, StatusTint::orange));
    ASSERT_TRUE(QDir().mkpath(home.path(u".local/share/calendars"_s)));
    state->requestRemindersPermission();
    EXPECT_EQ(status(), test::Status(u"Reminders access is ready."_s, StatusTint::green));
    ASSERT_TRUE(QDir(home.path(u"Notes"_s)).removeRecursively());
    state->requestNotesPermission();
    ASSERT_TRUE(waitUntil([&] { return shown.size() == 6; }));
    EXPECT_EQ(status(), test::Status(u"Notes automation needs Kolu Settings."_s, StatusTint::orange));
    EXPECT_EQ(shown[0], u"Requesting Calendar access..."_s);
    EXPECT_EQ(shown[4], u"Requesting Notes automation..."_s);

    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    ASSERT_TRUE(desktop.startsWith(home.home())) << desktop.toStdString();
    QDir(desktop).removeRecursively();
    state->requestDesktopPermission();
    EXPECT_EQ(status(), test::Status(u"Desktop folder was not found."_s, StatusTint::orange));
    ASSERT_TRUE(QDir().mkpath(desktop));
    state->requestDesktopPermission();
    EXPECT_EQ(status(), test::Status(u"Desktop access is ready."_s, StatusTint::green));
}
