#include "AppStateFixture.h"

#include <QStandardPaths>

using test::Status;

namespace {

class AppStateSystemAccessTest : public test::AppStateActionsTest {
protected:
    std::unique_ptr<AppState> state = makeState();
    std::vector<Status> statuses; // every status line shown, in order

    AppStateSystemAccessTest()
    {
        QObject::connect(state.get(), &AppState::changed, state.get(), [this](AppState::Field field) {
            if (field == AppState::Field::systemAccessStatusTint)
                statuses.push_back(status());
        });
    }

    Status status() const { return {state->systemAccessStatusMessage(), state->systemAccessStatusTint()}; }

    // Asks for `area` ("Calendar", "Reminders" or "Notes"): the asking line, then the answer.
    QString ask(const QString &area)
    {
        const auto request = area == u"Calendar"_s    ? &AppState::requestCalendarPermission
                             : area == u"Reminders"_s ? &AppState::requestRemindersPermission
                                                      : &AppState::requestNotesPermission;
        statuses.clear();
        (state.get()->*request)();
        if (!waitUntil([&] { return statuses.size() == 2; }))
            return u"no answer"_s;
        EXPECT_EQ(statuses.front().second, StatusTint::secondary);
        EXPECT_TRUE(statuses.front().first.startsWith(u"Requesting "_s + area)) << statuses.front().first.toStdString();
        const auto &[answer, tint] = statuses.back();
        EXPECT_EQ(tint, answer.endsWith(u" is ready."_s) ? StatusTint::green : StatusTint::orange);
        return answer;
    }
};

} // namespace

TEST_F(AppStateSystemAccessTest, EachAccessFollowsItsFolder)
{
    const QString root = home.path(u".local/share/calendars"_s);
    EXPECT_EQ(ask(u"Calendar"_s), u"Calendar access needs Kolu Settings."_s);
    EXPECT_EQ(ask(u"Reminders"_s), u"Reminders access needs Kolu Settings."_s);
    ASSERT_TRUE(QDir().mkpath(root));
    EXPECT_EQ(ask(u"Calendar"_s), u"Calendar access is ready."_s);
    EXPECT_EQ(ask(u"Reminders"_s), u"Reminders access is ready."_s);

    EXPECT_EQ(ask(u"Notes"_s), u"Notes automation is ready."_s);
    ASSERT_TRUE(QDir(home.path(u"Notes"_s)).removeRecursively());
    EXPECT_EQ(ask(u"Notes"_s), u"Notes automation needs Kolu Settings."_s);

    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    ASSERT_TRUE(desktop.startsWith(home.home())) << desktop.toStdString();
    QDir(desktop).removeRecursively();
    state->requestDesktopPermission();
    EXPECT_EQ(status(), Status(u"Desktop folder was not found."_s, StatusTint::orange));
    ASSERT_TRUE(QDir().mkpath(desktop));
    state->requestDesktopPermission();
    EXPECT_EQ(status(), Status(u"Desktop access is ready."_s, StatusTint::green));
}
