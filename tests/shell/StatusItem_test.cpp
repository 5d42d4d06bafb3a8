#include "ShellFixture.h"

#include "shell/StatusItem.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

using StatusItemTest = test::ShellTest;

QStringList menuTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *action : menu.actions())
        texts << (action->isSeparator() ? u"-"_s : action->text() + u'|' + action->shortcut().toString());
    return texts;
}

} // namespace

TEST_F(StatusItemTest, NineCommandsInOrderWithCtrlHints)
{
    launch();
    const StatusItem &item = *delegate->statusItem();
    EXPECT_EQ(item.trayIcon()->toolTip(), u"Kolu"_s);
    EXPECT_FALSE(item.trayIcon()->icon().isNull());
    EXPECT_EQ(menuTexts(*item.menu()),
              (QStringList{u"Show Kolu|Ctrl+Shift+D"_s, u"-"_s, u"Agenda|"_s, u"Capture|"_s, u"Now Playing|"_s,
                           u"File Tray|"_s, u"Clipboard|"_s, u"-"_s, u"Settings...|Ctrl+,"_s,
                           u"Check for Updates...|"_s, u"-"_s, u"Quit Kolu|Ctrl+Q"_s}));
    for (bool dark : {false, true})
        EXPECT_FALSE(StatusItem::statusIcon(dark).pixmap(16, 16).isNull());
    EXPECT_FALSE(StatusItem::applicationIcon().pixmap(64, 64).isNull());
}

TEST_F(StatusItemTest, ModuleCommandsFollowTheRailsModules)
{
    launch();
    const StatusItem &item = *delegate->statusItem();
    const auto enabled = [&item](StatusCommand command) { return item.action(command)->isEnabled(); };
    for (StatusCommand command : {StatusCommand::showKolu, StatusCommand::openAgenda, StatusCommand::openCapture,
                                  StatusCommand::openNowPlaying, StatusCommand::openFileTray,
                                  StatusCommand::openClipboard, StatusCommand::settings, StatusCommand::quit})
        EXPECT_TRUE(enabled(command));
    EXPECT_FALSE(enabled(StatusCommand::checkForUpdates)) << "no update feed is built in";

    // Hiding the file tray disables its three commands together, at once.
    state().setRailModule(RailModule::fileTray, false);
    EXPECT_FALSE(enabled(StatusCommand::openCapture));
    EXPECT_FALSE(enabled(StatusCommand::openFileTray));
    EXPECT_FALSE(enabled(StatusCommand::openClipboard));
    EXPECT_TRUE(enabled(StatusCommand::openAgenda));
    state().setRailModule(RailModule::calendar, false);
    state().setRailModule(RailModule::fileTray, true);
    Q_EMIT item.menu()->aboutToShow();
    EXPECT_FALSE(enabled(StatusCommand::openAgenda));
    EXPECT_TRUE(enabled(StatusCommand::openClipboard));

    // Triggering a menu entry runs its command.
    item.action(StatusCommand::openClipboard)->trigger();
    EXPECT_TRUE(state().isExpanded());
    EXPECT_EQ(state().selectedModule(), RailModule::fileTray);
}

TEST_F(StatusItemTest, SettingsAndOnboardingWindowsAreMadeOnceAndReused)
{
    int settingsMade = 0;
    parts.settingsWindow = [&settingsMade](ApplicationDelegate &) {
        ++settingsMade;
        return new QWidget;
    };
    std::function<void()> finishOnboarding;
    parts.onboardingWindow = [&finishOnboarding](ApplicationDelegate &, std::function<void()> finish) {
        finishOnboarding = std::move(finish);
        return new QWidget;
    };
    launch();

    // First launch: onboarding 0.7 s after the rail.
    clock.advance(699ms);
    EXPECT_EQ(delegate->onboardingWindow(), nullptr);
    clock.advance(1ms);
    ASSERT_NE(delegate->onboardingWindow(), nullptr);
    EXPECT_TRUE(delegate->onboardingWindow()->isVisible());
    delegate->onboardingWindow()->close();
    Q_EMIT state().showOrlixOnboarding();
    EXPECT_TRUE(delegate->onboardingWindow()->isVisible()) << "the same window again";
    finishOnboarding();
    EXPECT_EQ(delegate->onboardingWindow(), nullptr);
    EXPECT_EQ(defaults.boolean(QString::fromLatin1(ApplicationDelegate::kOnboardingCompletedKey)), true);

    delegate->runStatusCommand(StatusCommand::settings);
    QWidget *settings = delegate->settingsWindow();
    ASSERT_NE(settings, nullptr);
    settings->close();
    Q_EMIT state().showOrlixSettings();
    EXPECT_EQ(delegate->settingsWindow(), settings);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(settingsMade, 1);
}

TEST_F(StatusItemTest, LaterLaunchesSkipTheOnboarding)
{
    defaults.set(QString::fromLatin1(ApplicationDelegate::kOnboardingCompletedKey), true);
    bool made = false;
    parts.onboardingWindow = [&made](ApplicationDelegate &, std::function<void()>) {
        made = true;
        return new QWidget;
    };
    launch();
    clock.advance(5s);
    EXPECT_FALSE(made);
}
