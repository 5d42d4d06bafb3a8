#include "AppStateFixture.h"

#include "model/AtomicFile.h"
#include "model/DamagedFile.h"

#include <QDir>
#include <QProcess>

#include <sys/stat.h>

#include <map>

namespace {

class LaunchTest : public test::EngineTest {
protected:
    // The files are written before the state exists, as a previous run left them.
    PersistedFiles files{LocalStore(home.dataHome()).directory()};

    void writeRaw(const QString &path, const QByteArray &bytes)
    {
        makeFile(QDir(home.home()).relativeFilePath(path), bytes);
    }
};

} // namespace

TEST_F(LaunchTest, ALaunchWritesOnlyWhatItHoldsAndRemovesOnlyTheLeftoversOfAKilledRun)
{
    const QString data = LocalStore(home.dataHome()).directory();
    QProcess gone; // a process that has ended, standing for a killed Kolu
    gone.start(u"true"_s, {});
    ASSERT_TRUE(gone.waitForFinished());
    const QString dead = QString::number(gone.processId());
    const QString alive = QString::number(QCoreApplication::applicationPid());

    const QStringList leftovers{data + u"/links.json.Ab12Z9"_s,
                                defaults.filePath() + u".q0W9e8"_s,
                                data + u"/Clipboard/clipboard-20260314-090000-000.png.XyZ123"_s,
                                data + u"/Wallpapers/orlix-wallpapers-dropbox.zip.a1b2c3"_s,
                                data + u"/Wallpapers/.DropboxLibrary-"_s + dead + u"-k3J9pQ/a.jpg"_s,
                                data + u"/Wallpapers/.DropboxLibrary-"_s + dead + u"-k3J9pQ-old/b.jpg"_s,
                                data + u"/Wallpapers/.DropboxLibrary-Qm2L0v/c.jpg"_s};
    const QStringList kept{data + u"/links.json"_s, data + u"/notes.txt.Ab12Z9"_s, data + u"/links.json.Ab12Z"_s,
                           data + u"/Wallpapers/DropboxLibrary/d.jpg"_s,
                           data + u"/Wallpapers/.DropboxLibrary-"_s + alive + u"-r5T6y7/e.jpg"_s};
    for (const QString &path : leftovers + kept)
        writeRaw(path, "x");

    writeRaw(files.pathOf<PrayerDayFile>(), "not json");
    state = makeState();
    state->start();
    EXPECT_TRUE(state->links().empty() && !state->prayerDay());
    EXPECT_EQ(state->files().read<PrayerNotificationStatesFile>(), PrayerNotificationStates{})
        << "written back at launch";
    EXPECT_EQ(clock.activeTimerCount(), 2) << "the tick and the start-up refresh";
    state->persist();
    EXPECT_TRUE(QFile::exists(state->files().pathOf<PomodoroFile>()));
    EXPECT_EQ(readWholeFile(files.pathOf<PrayerDayFile>(), 100), QByteArray("not json")) << "no day held, none written";

    // Sounds and players are made on first use: an idle launch makes no
    // alert sound and opens no player.
    advance(2s);
    EXPECT_TRUE(QDir(home.runtimeDir()).entryList({u"Kolu-*"_s}, QDir::Files).isEmpty()
                && services.audio->created.isEmpty() && services.sounds->played.empty());

    for (const QString &path : leftovers)
        EXPECT_TRUE(waitUntil([&] { return !QFile::exists(path); })) << path.toStdString();
    EXPECT_FALSE(QFileInfo::exists(data + u"/Wallpapers/.DropboxLibrary-Qm2L0v"_s));
    for (const QString &path : kept)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
}

TEST_F(LaunchTest, AFocusRunThatEndedWhileClosedIsAnnouncedAndSavesComeWithinSecondsTouchingOnlyChangedFiles)
{
    defaults.set(u"hiddenRailModules"_s, QJsonArray{u"focus"_s});
    ASSERT_TRUE(
        files.write<PomodoroFile>({.remaining = 60, .isRunning = true, .startedAt = clock.now().addSecs(-600)}));
    ASSERT_TRUE(files.write<PrayerSettingsFile>(PrayerSettings{u"Berlin"_s, u"Germany"_s, 3}));
    writeRaw(files.pathOf<ClipboardItemsFile>(), "[{\"broken\":");

    state = makeState();
    state->start();
    EXPECT_EQ(state->prayerSettings().city, u"Berlin"_s);
    EXPECT_TRUE(state->clipboardItems().empty() && !state->pomodoroAlertVisible());
    advance(1s);
    EXPECT_TRUE(state->pomodoroAlertVisible() && !state->pomodoro().finishedPendingNotification);
    EXPECT_EQ(lastBanner(), u"Focus finished: Nice work. Time for a short break."_s);

    // The next save replaces the unreadable history, and keeps it aside.
    state->persist();
    EXPECT_EQ(files.read<ClipboardItemsFile>(), ClipboardItemsFile::Value{});
    const QStringList kept = damagedCopies(files.pathOf<ClipboardItemsFile>());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readWholeFile(kept.front(), 100), QByteArray("[{\"broken\":"));

    // From then on saves come within seconds of a change and touch only changed files.
    const QString directory = state->store().directory();
    const auto inodes = [&] {
        std::map<QString, ino_t> found;
        for (const QString &name : QDir(directory).entryList(QDir::Files)) {
            struct stat entry { };
            ::lstat(QFile::encodeName(directory + u'/' + name).constData(), &entry);
            found[name] = entry.st_ino;
        }
        return found;
    };
    const auto before = inodes();
    advance(30s);
    EXPECT_EQ(inodes(), before) << "idle ticks write nothing";

    // A change no operation saves: on disk within the delay, not before.
    const SavedLink link{QUuid::createUuid(), u"T"_s, u"https://kolu.test"_s, clock.now(), true};
    state->setLinks({link});
    advance(AppState::stateSaveDelay - 1ms);
    EXPECT_EQ(files.read<LinksFile>(), LinksFile::Value{});
    advance(1ms);
    EXPECT_EQ(files.read<LinksFile>(), LinksFile::Value{link});

    // A capture rewrites the history alone.
    const auto afterLink = inodes();
    state->addClipboardCaptureResult(
        {ClipboardItem{QUuid::createUuid(), ClipboardItemKind::text, u"t"_s, u"text"_s, clock.now(), {}, {}}});
    advance(AppState::stateSaveDelay);
    auto now = inodes();
    for (const auto &[name, inode] : afterLink)
        EXPECT_EQ(now[name] != inode, name == u"clipboardItems.json"_s) << name.toStdString();

    // A running focus timer is saved at once, then after more than twenty seconds.
    const QString pomodoroPath = files.pathOf<PomodoroFile>();
    QFile::remove(pomodoroPath);
    state->setPomodoro({.isRunning = true, .startedAt = clock.now()});
    advance(1s);
    EXPECT_TRUE(QFile::remove(pomodoroPath));
    advance(20s);
    EXPECT_FALSE(QFile::exists(pomodoroPath));
    advance(1s);
    EXPECT_TRUE(QFile::exists(pomodoroPath));

    // Hidden, the focus module still counts a running timer down and finishes it.
    state->setPomodoroAlertVisible(false);
    state->setPomodoro({.remaining = 3, .isRunning = true, .startedAt = clock.now()});
    advance(1s);
    EXPECT_EQ(state->pomodoro().remaining, 2);
    advance(2s);
    EXPECT_TRUE(state->pomodoroAlertVisible() && !state->pomodoro().isRunning);

    // The tick captures the clipboard unless the links module is hidden; the
    // tray, which shows the history, is no gate.
    const auto captured = [&] { return state->clipboardItems().size(); };
    const std::size_t held = captured();
    state->setRailModule(RailModule::fileTray, false);
    services.pasteboard->copy().setText(u"captured with the tray hidden"_s);
    advance(1s);
    ASSERT_TRUE(waitUntil([&] { return captured() == held + 1; }));
    state->setRailModule(RailModule::links, false);
    services.pasteboard->copy().setText(u"not captured with links hidden"_s);
    advance(1s);
    advance(1s);
    QCoreApplication::processEvents();
    EXPECT_EQ(captured(), held + 1);
}

// The reminders load then too, and with the slow refresh, without their module opened.
TEST_F(LaunchTest, StartUpRefreshComes1600MillisecondsAfterLaunchAndSlowRefreshAfter300Seconds)
{
    answerWeather();
    answerPrayers(500);
    PrayerDay yesterday{u"2026-03-13"_s, u"Makkah"_s, u"Saudi Arabia"_s, 4, clock.now().addDays(-1), {}};
    ASSERT_TRUE(files.write<PrayerDayFile>(yesterday));
    state = makeState();
    calendar->todos = {{.id = u"t1"_s, .title = u"Pay rent"_s}};

    state->start();
    advance(1500ms);
    EXPECT_FALSE(state->isLoadingTodayWeather() || state->isLoadingPrayers());
    advance(100ms);
    EXPECT_TRUE(state->isLoadingTodayWeather() && state->isLoadingPrayers());
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingTodayWeather() && !state->isLoadingPrayers(); }));
    EXPECT_EQ(state->todayWeatherStatus().message, u"Berlin"_s);
    EXPECT_EQ(state->prayerStatus().tint, StatusTint::orange);
    EXPECT_EQ(state->prayerDay(), yesterday) << "a failure keeps the held day";
    ASSERT_TRUE(waitUntil([&] { return state->reminders().size() == 1; }));

    calendar->todos.push_back({.id = u"t2"_s, .title = u"Water plants"_s}); // another program adds a to-do
    advance(300s - 1600ms);
    EXPECT_FALSE(state->isLoadingPrayers());
    advance(1s);
    EXPECT_TRUE(state->isLoadingPrayers()) << "the first slow refresh";
    EXPECT_FALSE(state->isLoadingTodayWeather()) << "weather is not part of it";
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingPrayers() && state->reminders().size() == 2; }));
}

TEST_F(LaunchTest, AStartThatWaitsForTheFirstFrameRefreshesOnceTheLateFrameIsShown)
{
    answerWeather();
    answerPrayers(500);
    state = makeState();
    state->start(true);
    advance(5s);
    EXPECT_FALSE(state->isLoadingTodayWeather() || state->isLoadingPrayers());
    EXPECT_FALSE(calendar->onFolderChange) << "the folders are watched once the rail is up";
    state->firstFrameShown();
    EXPECT_TRUE(state->isLoadingTodayWeather() && state->isLoadingPrayers());
    EXPECT_TRUE(calendar->onFolderChange);
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingTodayWeather() && !state->isLoadingPrayers(); }));
}

TEST_F(LaunchTest, ASavedListThatCouldNotBeReadIsSaidUntilThatListChanges)
{
    writeRaw(files.pathOf<LinksFile>(), "[{\"title\": \"Kol");
    writeRaw(files.pathOf<ClipboardItemsFile>(), "not a history");
    const QString picture = LocalStore(home.dataHome()).directory() + u"/Clipboard/clipboard-1.png"_s;
    writeRaw(picture, "png");
    ASSERT_TRUE(files.write<PrayerSettingsFile>(PrayerSettings{u"Berlin"_s, u"Germany"_s, 3}));

    state = makeState();
    state->loadSavedState();
    EXPECT_TRUE(state->links().empty() && state->clipboardItems().empty());
    EXPECT_TRUE(state->savedLinksUnreadable());
    EXPECT_TRUE(state->savedClipboardUnreadable());
    EXPECT_TRUE(QFile::exists(picture)) << "a history that could not be read may name it";
    // A save keeps the old file aside and says nothing new: the line stays.
    state->persist();
    EXPECT_TRUE(state->savedLinksUnreadable() && state->savedClipboardUnreadable());

    // Each list's line goes with its own first change.
    state->addLink(u"Kolu"_s, u"https://kolu.example"_s);
    EXPECT_FALSE(state->savedLinksUnreadable());
    EXPECT_TRUE(state->savedClipboardUnreadable());
    state->setClipboardItems(
        {ClipboardItem{QUuid::createUuid(), ClipboardItemKind::text, u"t"_s, u"text"_s, clock.now(), {}, {}}});
    EXPECT_FALSE(state->savedClipboardUnreadable());

    // Files that read, or are not there, say nothing.
    state->persist();
    state = makeState();
    state->loadSavedState();
    EXPECT_EQ(state->links().size(), 1u);
    EXPECT_FALSE(state->savedLinksUnreadable() || state->savedClipboardUnreadable());
    EXPECT_FALSE(QFile::exists(picture)) << "the history read names it not";
    QFile::remove(files.pathOf<LinksFile>());
    QFile::remove(files.pathOf<ClipboardItemsFile>());
    state = makeState();
    state->loadSavedState();
    EXPECT_FALSE(state->savedLinksUnreadable() || state->savedClipboardUnreadable());
}
