#include "model/SettingsKeys.h"
#include "settings/SettingsRowKit.h"
#include "settings/pages/DesktopAppsPage.h"
#include "settings/pages/SettingsPageParts.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"

#include "EventWait.h"
#include "../SettingsFixture.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

class DesktopAppsPageTest : public SettingsTest {
protected:
    static SettingsRow *row(const DesktopAppsPage &page, const QString &name) { return child<SettingsRow>(page, name); }
    static QString detail(SettingsRow *row) { return row->detailLabel()->text(); }
    SettingsSymbolLabel *message(const DesktopAppsPage &page)
    {
        return page.findChild<SettingsSymbolLabel *>(u"systemAccessMessage"_s);
    }
};

TEST_F(DesktopAppsPageTest, FirstLaunchShowsCountsAndNoMessage)
{
    DesktopAppsPage page(*state);
    page.show();
    EXPECT_FALSE(message(page)->isVisible());
    EXPECT_TRUE(detail(row(page, u"desktopAppsCalendarStatus"_s)).startsWith(u"0 events this week. "_s));
    EXPECT_EQ(detail(row(page, u"desktopAppsNotesStatus"_s)), u"0 recent notes"_s);
    EXPECT_EQ(detail(row(page, u"desktopAppsRemindersStatus"_s)), u"Choose a to-do folder to show your reminders."_s);

    state->setAppleNotes({AppleNoteItem{}});
    EXPECT_EQ(detail(row(page, u"desktopAppsNotesStatus"_s)), u"1 recent notes"_s);
    state->setRemindersConnection(RemindersConnectionState::denied());
    EXPECT_EQ(detail(row(page, u"desktopAppsRemindersStatus"_s)),
              u"Choose a readable to-do folder in Kolu Settings."_s);
}

TEST_F(DesktopAppsPageTest, CheckWithAListableDesktopIsReadyAtOnce)
{
    ASSERT_TRUE(QDir().mkpath(home.path(u"Desktop"_s)));
    DesktopAppsPage page(*state);
    page.show();
    QTest::mouseClick(row(page, u"desktopAppsDesktopAccess"_s)->requestButton(), Qt::LeftButton);
    EXPECT_TRUE(message(page)->isVisible());
    EXPECT_EQ(message(page)->text(), u"Desktop access is ready."_s);
    EXPECT_EQ(state->systemAccessStatusTint(), StatusTint::green);
}

TEST_F(DesktopAppsPageTest, RequestWithoutACalendarFolderAsksForOneStoresItAndRefreshes)
{
    const QString chosen = home.path(u"Calendars"_s);
    ASSERT_TRUE(QDir().mkpath(chosen + u"/work"_s));
    services.folderPicker->answer = chosen;
    DesktopAppsPage page(*state);
    page.show();
    EXPECT_TRUE(detail(row(page, u"desktopAppsCalendarAccess"_s)).contains(u"No usable folder yet"_s));
    QTest::mouseClick(row(page, u"desktopAppsCalendarAccess"_s)->requestButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return state->systemAccessStatusMessage() == u"Calendar access is ready."_s; }));
    EXPECT_EQ(services.folderPicker->asked.size(), 1);
    EXPECT_EQ(defaults.string(SettingsKey::calendarFolderPath), chosen);
    EXPECT_EQ(state->systemAccessStatusTint(), StatusTint::green);
    EXPECT_TRUE(detail(row(page, u"desktopAppsCalendarAccess"_s)).endsWith(u"Folder: ~/Calendars"_s));

    // Now that it works, asking again checks it without a picker; the gear
    // always opens the picker.
    QTest::mouseClick(row(page, u"desktopAppsCalendarAccess"_s)->requestButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return state->systemAccessStatusTint() == StatusTint::green; }));
    EXPECT_EQ(services.folderPicker->asked.size(), 1);
    services.folderPicker->answer.reset();
    QTest::mouseClick(row(page, u"desktopAppsCalendarAccess"_s)->settingsButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return services.folderPicker->asked.size() == 2; }));
    EXPECT_EQ(defaults.string(SettingsKey::calendarFolderPath), chosen) << "cancelling the gear keeps it";
    EXPECT_TRUE(services.urlOpener->opened.isEmpty()) << "no address goes to the opener";
}

TEST_F(DesktopAppsPageTest, AnUnusableChoiceIsReportedAndNotStored)
{
    ASSERT_TRUE(writeFile(home.path(u"not-a-folder"_s), "x"));
    struct Case {
        QString rowName;
        QString chosen;
        SettingsKey key;
        QString sentence;
    };
    const Case cases[] = {
        {u"desktopAppsCalendarAccess"_s, home.path(u"not-a-folder"_s), SettingsKey::calendarFolderPath,
         u"Calendar access needs Kolu Settings."_s},
        {u"desktopAppsCalendarAccess"_s, home.path(u"missing"_s), SettingsKey::calendarFolderPath,
         u"Calendar access needs Kolu Settings."_s},
        {u"desktopAppsRemindersAccess"_s, home.path(u"not-a-folder"_s), SettingsKey::remindersFolderPath,
         u"Reminders access needs Kolu Settings."_s},
    };
    DesktopAppsPage page(*state);
    page.show();
    for (const Case &c : cases) {
        state->setSystemAccessStatusMessage({});
        services.folderPicker->answer = c.chosen;
        QTest::mouseClick(row(page, c.rowName)->requestButton(), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return !state->systemAccessStatusMessage().isEmpty(); })) << c.chosen.toStdString();
        EXPECT_EQ(state->systemAccessStatusMessage(), c.sentence) << c.chosen.toStdString();
        EXPECT_EQ(state->systemAccessStatusTint(), StatusTint::orange);
        EXPECT_FALSE(defaults.contains(c.key)) << c.chosen.toStdString();
    }
}

TEST_F(DesktopAppsPageTest, RefreshAndOpenButtonsReachTheState)
{
    const QString calendars = home.path(u"Calendars"_s);
    ASSERT_TRUE(QDir().mkpath(calendars + u"/work"_s));
    defaults.set(SettingsKey::calendarFolderPath, calendars);
    DesktopAppsPage page(*state);
    page.show();
    const int before = services.server.requests().size();
    QTest::mouseClick(page.findChild<OrlixButton *>(u"desktopAppsRefresh"_s), Qt::LeftButton);
    // The weather is fetched, forced, from the local server: the refresh-all
    // sequence ran.
    EXPECT_TRUE(waitUntil([&] { return services.server.requests().size() > before; }));

    QTest::mouseClick(page.findChild<OrlixButton *>(u"desktopAppsOpenReminders"_s), Qt::LeftButton);
    EXPECT_EQ(state->selectedModule(), RailModule::reminders);
    QTest::mouseClick(page.findChild<OrlixButton *>(u"desktopAppsOpenCalendar"_s), Qt::LeftButton);
    EXPECT_EQ(state->selectedModule(), RailModule::calendar);
}

} // namespace

} // namespace kolu::test
