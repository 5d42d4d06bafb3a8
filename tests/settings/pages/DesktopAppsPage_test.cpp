#include "model/SettingsKeys.h"
#include "settings/SettingsKit.h"
#include "settings/pages/DesktopAppsPage.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/SymbolLabel.h"

#include "EventWait.h"
#include "../SettingsFixture.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

class DesktopAppsPageTest : public SettingsTest {
protected:
    SettingsView view{*state, updates};

    static SettingsRow *row(const DesktopAppsPage &page, const QString &name) { return child<SettingsRow>(page, name); }
    static QString detail(SettingsRow *row) { return row->detailLabel()->text(); }
    SymbolLabel *message(const DesktopAppsPage &page)
    {
        return page.findChild<SymbolLabel *>(u"systemAccessMessage"_s);
    }
    // A usable folder is checked again without a picker; the gear always
    // asks, and cancelling it keeps the folder.
    void expectRecheckWithoutPicker(SettingsRow *row, SettingsKey key, const QString &folder)
    {
        QTest::mouseClick(row->requestButton(), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return state->systemAccessStatus().tint == StatusTint::green; }));
        EXPECT_EQ(services.folderPicker->asked.size(), 1);
        services.folderPicker->answer.reset();
        QTest::mouseClick(row->settingsButton(), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return services.folderPicker->asked.size() == 2; }));
        EXPECT_EQ(defaults.string(key), folder) << "cancelling the gear keeps it";
    }
};

TEST_F(DesktopAppsPageTest, FirstLaunchShowsCountsAndAListableDesktopIsReadyAtOnce)
{
    ASSERT_TRUE(QDir().mkpath(home.path(u"Desktop"_s)));
    DesktopAppsPage page(view);
    page.show();
    EXPECT_FALSE(message(page)->isVisible());
    // No calendar folder yet: no events are counted, not "0 events".
    EXPECT_EQ(detail(row(page, u"desktopAppsCalendarStatus"_s)),
              u"No calendar folder in use yet, so no events are read."_s);
    // Nor reminders, whatever the last read answered; the user is in Settings already.
    for (const auto &connection : {RemindersConnectionState::denied(), RemindersConnectionState::notDetermined()}) {
        state->setRemindersConnection(connection);
        EXPECT_EQ(detail(row(page, u"desktopAppsRemindersStatus"_s)),
                  u"No to-do folder in use yet, so no reminders are read."_s);
    }
    ASSERT_TRUE(QDir().mkpath(home.path(u".local/share/calendars/personal"_s)));
    state->setCalendarEvents({});
    EXPECT_TRUE(detail(row(page, u"desktopAppsCalendarStatus"_s)).startsWith(u"0 events this week. "_s));
    EXPECT_EQ(detail(row(page, u"desktopAppsNotesStatus"_s)), u"0 recent notes"_s);
    // Without a notes folder no notes are counted either.
    ASSERT_TRUE(QDir(home.path(u"Notes"_s)).removeRecursively());
    state->setAppleNotes({});
    EXPECT_EQ(detail(row(page, u"desktopAppsNotesStatus"_s)), u"No notes folder in use yet, so no notes are read."_s);
    ASSERT_TRUE(QDir().mkpath(home.path(u"Notes"_s)));
    EXPECT_EQ(detail(row(page, u"desktopAppsRemindersStatus"_s)), u"Choose a to-do folder to show your reminders."_s);

    state->setAppleNotes({AppleNoteItem{}});
    EXPECT_EQ(detail(row(page, u"desktopAppsNotesStatus"_s)), u"1 recent note"_s);
    // A folder in use that went since the last read.
    state->setRemindersConnection(RemindersConnectionState::denied());
    EXPECT_EQ(detail(row(page, u"desktopAppsRemindersStatus"_s)), u"To-do folder can’t be read."_s);

    QTest::mouseClick(row(page, u"desktopAppsDesktopAccess"_s)->requestButton(), Qt::LeftButton);
    EXPECT_TRUE(message(page)->isVisible());
    EXPECT_EQ(message(page)->text(), u"Desktop access is ready."_s);
    EXPECT_EQ(state->systemAccessStatus().tint, StatusTint::green);

    // A calendar request that finds the usual folder finds the to-dos there too.
    QTest::mouseClick(row(page, u"desktopAppsCalendarAccess"_s)->requestButton(), Qt::LeftButton);
    EXPECT_TRUE(
        waitUntil([&] { return detail(row(page, u"desktopAppsRemindersStatus"_s)) == u"Reminders are ready."_s; }));
    EXPECT_TRUE(detail(row(page, u"desktopAppsRemindersAccess"_s)).endsWith(u"Folder: ~/.local/share/calendars"_s));
}

TEST_F(DesktopAppsPageTest, RequestWithoutACalendarFolderAsksForOneStoresItAndRefreshes)
{
    const QString chosen = home.path(u"Calendars"_s);
    ASSERT_TRUE(QDir().mkpath(chosen + u"/work"_s));
    services.folderPicker->answer = chosen;
    DesktopAppsPage page(view);
    page.show();
    // Both usual places are named where none was chosen.
    EXPECT_TRUE(detail(row(page, u"desktopAppsCalendarAccess"_s))
                    .endsWith(u"No usable folder yet (looked in ~/.local/share/calendars, ~/.calendars)."_s))
        << detail(row(page, u"desktopAppsCalendarAccess"_s)).toStdString();
    QTest::mouseClick(row(page, u"desktopAppsCalendarAccess"_s)->requestButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return state->systemAccessStatus().message == u"Calendar access is ready."_s; }));
    EXPECT_EQ(services.folderPicker->asked.size(), 1);
    EXPECT_EQ(defaults.string(SettingsKey::calendarFolderPath), chosen);
    EXPECT_EQ(state->systemAccessStatus().tint, StatusTint::green);
    EXPECT_TRUE(detail(row(page, u"desktopAppsCalendarAccess"_s)).endsWith(u"Folder: ~/Calendars"_s));

    expectRecheckWithoutPicker(row(page, u"desktopAppsCalendarAccess"_s), SettingsKey::calendarFolderPath, chosen);
    EXPECT_TRUE(services.urlOpener->opened.isEmpty()) << "no address goes to the opener";
}

TEST_F(DesktopAppsPageTest, RefreshAndOpenButtonsReachTheState)
{
    const QString calendars = home.path(u"Calendars"_s);
    ASSERT_TRUE(QDir().mkpath(calendars + u"/work"_s));
    defaults.set(SettingsKey::calendarFolderPath, calendars);
    DesktopAppsPage page(view);
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

TEST_F(DesktopAppsPageTest, RequestWithoutAUsableNotesFolderAsksForOneAndTheNotesFollow)
{
    ASSERT_TRUE(QDir(home.path(u"Notes"_s)).removeRecursively());
    const QString chosen = home.path(u"Sync/notes"_s);
    ASSERT_TRUE(writeFile(chosen + u"/One.md"_s));
    services.folderPicker->answer = chosen;
    DesktopAppsPage page(view);
    page.show();
    SettingsRow *notes = row(page, u"desktopAppsNotesAccess"_s);
    EXPECT_TRUE(detail(notes).endsWith(u"No usable folder yet (looked in ~/Notes)."_s)) << detail(notes).toStdString();
    QTest::mouseClick(notes->requestButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return state->systemAccessStatus().message == u"Notes automation is ready."_s; }));
    ASSERT_EQ(services.folderPicker->asked.size(), 1);
    EXPECT_EQ(services.folderPicker->asked.front().title, u"Choose Notes Folder"_s);
    EXPECT_EQ(defaults.string(SettingsKey::notesFolderPath), chosen);
    EXPECT_TRUE(detail(notes).endsWith(u"Folder: ~/Sync/notes"_s)) << detail(notes).toStdString();
    ASSERT_TRUE(waitUntil([&] { return state->appleNotes().size() == 1; }));
    EXPECT_EQ(detail(row(page, u"desktopAppsNotesStatus"_s)), u"1 recent note"_s);

    expectRecheckWithoutPicker(notes, SettingsKey::notesFolderPath, chosen);

    // The gear's choice replaces the folder and the notes follow it.
    const QString other = home.path(u"Other"_s);
    ASSERT_TRUE(writeFile(other + u"/A.md"_s));
    ASSERT_TRUE(writeFile(other + u"/B.md"_s));
    services.folderPicker->answer = other;
    QTest::mouseClick(notes->settingsButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return state->appleNotes().size() == 2; }));
    EXPECT_EQ(defaults.string(SettingsKey::notesFolderPath), other);
    EXPECT_TRUE(detail(notes).endsWith(u"Folder: ~/Other"_s)) << detail(notes).toStdString();
    EXPECT_TRUE(services.urlOpener->opened.isEmpty()) << "no address goes to the opener";
}

TEST_F(DesktopAppsPageTest, AnUnusableChoiceIsReportedAndNotStored)
{
    ASSERT_TRUE(QDir(home.path(u"Notes"_s)).removeRecursively());
    const QString file = home.path(u"not-a-folder"_s), missing = home.path(u"missing"_s);
    ASSERT_TRUE(writeFile(file, "x"));
    const QString readOnly = home.path(u"read-only"_s);
    ASSERT_TRUE(QDir().mkpath(readOnly));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    struct Case {
        const char *row;
        std::optional<QString> chosen;
        SettingsKey key;
        QString sentence;
    };
    const QString calendar = u"Calendar access needs Kolu Settings."_s,
                  notes = u"Notes automation needs Kolu Settings."_s;
    std::vector<Case> cases{
        {"desktopAppsCalendarAccess", file, SettingsKey::calendarFolderPath, calendar},
        {"desktopAppsCalendarAccess", missing, SettingsKey::calendarFolderPath, calendar},
        {"desktopAppsRemindersAccess", file, SettingsKey::remindersFolderPath,
         u"Reminders access needs Kolu Settings."_s},
        {"desktopAppsNotesAccess", file, SettingsKey::notesFolderPath, notes},
        {"desktopAppsNotesAccess", missing, SettingsKey::notesFolderPath, notes},
        {"desktopAppsNotesAccess", std::nullopt, SettingsKey::notesFolderPath, notes},
    };
    if (::geteuid() != 0) // notes are written too
        cases.push_back({"desktopAppsNotesAccess", readOnly, SettingsKey::notesFolderPath, notes});
    DesktopAppsPage page(view);
    page.show();
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.row) + " " + c.chosen.value_or(u"<cancelled>"_s).toStdString());
        state->setSystemAccessStatus({{}, state->systemAccessStatus().tint});
        services.folderPicker->answer = c.chosen;
        QTest::mouseClick(child<SettingsRow>(page, c.row)->requestButton(), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return !state->systemAccessStatus().message.isEmpty(); }));
        EXPECT_EQ(state->systemAccessStatus().message, c.sentence);
        EXPECT_EQ(state->systemAccessStatus().tint, StatusTint::orange);
        EXPECT_FALSE(defaults.contains(c.key));
    }
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(DesktopAppsPageTest, TheDesktopRowNamesTheScreenshotsFoldersInUse)
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString screenshots = pictures + u"/Screenshots"_s;
    ASSERT_TRUE(screenshots.startsWith(home.home())) << screenshots.toStdString();
    {
        DesktopAppsPage page(view);
        EXPECT_TRUE(detail(row(page, u"desktopAppsDesktopAccess"_s))
                        .endsWith(u"No usable folder yet (looked in ~/Pictures/Screenshots, ~/Pictures, ~/Desktop)."_s))
            << detail(row(page, u"desktopAppsDesktopAccess"_s)).toStdString();
    }
    ASSERT_TRUE(QDir().mkpath(screenshots));
    DesktopAppsPage page(view);
    page.show();
    SettingsRow *desktop = row(page, u"desktopAppsDesktopAccess"_s);
    EXPECT_TRUE(detail(desktop).endsWith(u"Folders: ~/Pictures/Screenshots, ~/Pictures"_s))
        << detail(desktop).toStdString();
    QTest::mouseClick(desktop->requestButton(), Qt::LeftButton);
    EXPECT_EQ(message(page)->text(), u"Desktop access is ready."_s);
    QTest::mouseClick(desktop->settingsButton(), Qt::LeftButton);
    ASSERT_EQ(services.urlOpener->opened.size(), 1);
    EXPECT_EQ(services.urlOpener->opened.front(), QUrl::fromLocalFile(screenshots));
}

// A long folder path is never broken over two lines: it takes a line of its
// own, cut in its middle where it must be, and its last name stays whole.
TEST_F(DesktopAppsPageTest, AFolderPathKeepsItsLastNameOnOneLine)
{
    const QString chosen = home.path(u"Sync/shared/family/notes/groceries-and-household-lists"_s);
    defaults.set(SettingsKey::notesFolderPath, chosen);
    DesktopAppsPage page(view);
    page.resize(560, page.sizeHint().height());
    page.show();
    ElidedLabel *label = row(page, u"desktopAppsNotesAccess"_s)->detailLabel();
    for (int width : {260, 320, 400, label->width()}) {
        const QStringList lines = label->visibleLines(width);
        ASSERT_FALSE(lines.isEmpty());
        // How much of the path's start is kept, and whether the words before
        // it leave it a line of its own within the label's lines, depends on
        // the font's widths.
        EXPECT_TRUE(lines.constLast().contains(u"~/S"_s)) << width << lines.join(u'|').toStdString();
        EXPECT_TRUE(lines.constLast().endsWith(u"/groceries-and-household-lists)."_s))
            << width << lines.join(u'|').toStdString();
        EXPECT_TRUE(
            lines.join(u' ').startsWith(u"Allow Kolu to use your notes folder when saving or reading notes."_s));
    }
}

} // namespace

} // namespace kolu::test
