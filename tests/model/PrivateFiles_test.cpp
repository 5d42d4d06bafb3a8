#include "model/PrivateFiles.h"

#include "model/LocalStore.h"
#include "model/PersistedFiles.h"
#include "model/UserDefaults.h"

#include "LogCapture.h"
#include "ScopedUmask.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

mode_t modeOf(const QString &path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : mode_t(-1);
}

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Files are made under the umask a user's session commonly has.
class PrivateFilesTest : public ::testing::Test {
protected:
    test::ScopedUmask umask{022};
    test::TemporaryHome home;
};

} // namespace

TEST_F(PrivateFilesTest, AFolderIsUsedOnlyWhenItIsTheUsersAloneOrTheUsersOwnLinkLeadsToOne)
{
    const QString folder = home.path(u"own"_s);
    EXPECT_FALSE(PrivateFolder::open(folder)) << "missing";
    EXPECT_FALSE(PrivateFolder::open(u"relative/own"_s, {.create = true}));
    const auto made = PrivateFolder::open(folder, {.create = true});
    ASSERT_TRUE(made);
    EXPECT_EQ(modeOf(folder), 0700u);

    // A folder others may enter is refused, or narrowed when that is asked.
    ASSERT_TRUE(setMode(folder, 0755));
    EXPECT_FALSE(PrivateFolder::open(folder));
    EXPECT_EQ(modeOf(folder), 0755u);
    ASSERT_TRUE(setMode(folder, 0777));
    EXPECT_TRUE(PrivateFolder::open(folder, {.tighten = true}));
    EXPECT_EQ(modeOf(folder), 0700u);

    // Another account's folder is refused however it is asked for: with an
    // owner of its own (as any user can test), and for real as root.
    EXPECT_FALSE(PrivateFolder::open(folder, {.create = true, .tighten = true, .owner = ::geteuid() + 1}));
    if (::geteuid() == 0) {
        const QString foreign = home.path(u"foreign"_s);
        ASSERT_TRUE(QDir().mkpath(foreign) && setMode(foreign, 0700));
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        EXPECT_FALSE(PrivateFolder::open(foreign, {.create = true, .tighten = true}));
        EXPECT_EQ(modeOf(foreign), 0700u);
    }

    // The user's own link to a folder of theirs is followed (as a dotfiles
    // manager makes them), relative ones too, and keeps its own path.
    const QString linked = home.path(u"linked"_s);
    ASSERT_TRUE(QFile::link(folder, linked));
    const auto throughLink = PrivateFolder::open(linked, {.create = true, .tighten = true});
    ASSERT_TRUE(throughLink);
    EXPECT_EQ(throughLink->path(), linked);
    ASSERT_TRUE(throughLink->writeFile(u"a"_s, "through the link"));
    EXPECT_EQ(test::readFile(folder + u"/a"_s), "through the link");
    const QString relative = home.path(u"relative"_s);
    ASSERT_EQ(::symlink("own", QFile::encodeName(relative).constData()), 0);
    EXPECT_TRUE(PrivateFolder::open(relative));
    EXPECT_EQ(foreignFolderReason(linked), QString());

    // Behind a link, a folder others may write to is nothing an earlier run
    // made under the umask: refused, and left as it is. Only one no one else
    // may write to is narrowed.
    ASSERT_TRUE(setMode(folder, 0777));
    EXPECT_FALSE(PrivateFolder::open(linked, {.create = true, .tighten = true}));
    EXPECT_EQ(modeOf(folder), 0777u);
    EXPECT_EQ(foreignFolderReason(linked), u"is a symbolic link"_s);
    ASSERT_TRUE(setMode(folder, 0755));
    EXPECT_FALSE(PrivateFolder::open(linked));
    EXPECT_TRUE(PrivateFolder::open(linked, {.tighten = true}));
    EXPECT_EQ(modeOf(folder), 0700u);

    // Another account's link, or a link to another account's folder, is not.
    EXPECT_FALSE(PrivateFolder::open(linked, {.tighten = true, .owner = ::geteuid() + 1}));
    if (::geteuid() == 0) {
        ASSERT_EQ(::lchown(QFile::encodeName(linked).constData(), 65534, 65534), 0);
        EXPECT_FALSE(PrivateFolder::open(linked, {.create = true, .tighten = true}));
        EXPECT_EQ(foreignFolderReason(linked), u"is a symbolic link"_s);
        const QString toTheirs = home.path(u"to-theirs"_s);
        ASSERT_TRUE(QFile::link(home.path(u"foreign"_s), toTheirs));
        EXPECT_FALSE(PrivateFolder::open(toTheirs, {.create = true, .tighten = true}));
    }
}

TEST_F(PrivateFilesTest, FilesAreWrittenPrivatelyAndWholeAndALinkPlantedInTheFolderIsReplacedNotFollowed)
{
    const auto folder = PrivateFolder::open(home.path(u"own"_s), {.create = true});
    ASSERT_TRUE(folder);
    const QString path = folder->path() + u"/sound.wav"_s;
    const test::ScopedUmask none(0);
    ASSERT_TRUE(folder->writeFile(u"sound.wav"_s, "first"));
    EXPECT_EQ(modeOf(path), 0600u) << "whatever the umask";
    EXPECT_EQ(folder->readFile(u"sound.wav"_s, 100), "first");
    EXPECT_EQ(folder->readFile(u"sound.wav"_s, 4), std::nullopt) << "larger than asked for";

    const QString victim = home.path(u"victim.txt"_s);
    ASSERT_TRUE(test::writeFile(victim, "the user's own"));
    const QString dangling = home.path(u"would-be-created"_s);
    for (const QString &target : {victim, dangling}) {
        SCOPED_TRACE(target.toStdString());
        ASSERT_TRUE(QFile::remove(path) && QFile::link(target, path));
        EXPECT_EQ(folder->readFile(u"sound.wav"_s, 100), std::nullopt) << "read through the link";
        ASSERT_TRUE(folder->writeFile(u"sound.wav"_s, "second"));
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        EXPECT_EQ(test::readFile(path), "second");
    }
    EXPECT_EQ(test::readFile(victim), "the user's own");
    EXPECT_FALSE(QFileInfo::exists(dangling));
    EXPECT_FALSE(folder->writeFile(u"../escape"_s, "x"));
    EXPECT_FALSE(QFileInfo::exists(home.path(u"escape"_s)));
    EXPECT_EQ(QDir(folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{u"sound.wav"_s})
        << "no temporary file is left";
}

TEST_F(PrivateFilesTest, TemporaryFilesGoToAPrivateRuntimeFolderOrElseTheCacheNeverASharedOne)
{
    EXPECT_EQ(temporaryFilesFolder(), home.runtimeDir());
    for (const char *runtime : {"", "relative/run", "wide"}) {
        SCOPED_TRACE(runtime);
        QByteArray value = runtime;
        if (value == "wide") {
            const QString wide = home.path(u"wide"_s);
            ASSERT_TRUE(QDir().mkpath(wide) && setMode(wide, 0755));
            value = QFile::encodeName(wide);
        }
        value.isEmpty() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", value);
        EXPECT_EQ(userRuntimeFolder(), std::nullopt);
        EXPECT_EQ(temporaryFilesFolder(), home.path(u".cache/Kolu"_s));
        EXPECT_EQ(modeOf(home.path(u".cache/Kolu"_s)), 0700u);
    }
    EXPECT_EQ(modeOf(home.path(u"wide"_s)), 0755u) << "not Kolu's to narrow";

    // The user's own link in the cache folder's place does not stop Kolu.
    const QString cache = home.path(u".cache/Kolu"_s);
    const QString elsewhere = home.path(u"elsewhere/kolu-cache"_s);
    ASSERT_TRUE(QDir(cache).removeRecursively() && QDir().mkpath(elsewhere) && QFile::link(elsewhere, cache));
    EXPECT_EQ(temporaryFilesFolder(), cache);
    EXPECT_EQ(modeOf(elsewhere), 0700u);
}

// A history of copied passwords must not be readable by other accounts or
// carried off by backups of a home folder that is open to all.
TEST_F(PrivateFilesTest, TheDataFolderAndEverythingInItAreTheUsersAloneAndAnEarlierRunsFilesAreNarrowed)
{
    const QString data = home.dataHome() + u"/Kolu"_s;
    const QString outside = home.path(u"shared.txt"_s);
    ASSERT_TRUE(test::writeFile(data + u"/clipboardItems.json"_s, "[]"));
    ASSERT_TRUE(test::writeFile(data + u"/Clipboard/clipboard-1.png"_s, "png"));
    ASSERT_TRUE(test::writeFile(outside, "shared"));
    ASSERT_TRUE(QFile::link(outside, data + u"/Clipboard/link.png"_s));
    ASSERT_EQ(::mkfifo(QFile::encodeName(data + u"/pipe"_s).constData(), 0644), 0);
    ASSERT_EQ(std::tuple(modeOf(data), modeOf(data + u"/Clipboard"_s), modeOf(data + u"/clipboardItems.json"_s)),
              std::tuple(0755u, 0755u, 0644u));

    const LocalStore store;
    EXPECT_EQ(std::tuple(modeOf(data), modeOf(data + u"/Clipboard"_s), modeOf(data + u"/clipboardItems.json"_s),
                         modeOf(data + u"/Clipboard/clipboard-1.png"_s)),
              std::tuple(0700u, 0700u, 0600u, 0600u));
    EXPECT_EQ(std::pair(modeOf(outside), modeOf(data + u"/pipe"_s)), std::pair(0644u, 0644u))
        << "a link's target and what is no file stay as they are";

    // What this run makes is private from the start.
    const QString wallpapers = store.subdirectory(u"Wallpapers"_s);
    EXPECT_EQ(modeOf(wallpapers), 0700u);
    PersistedFiles files(store.directory());
    ASSERT_TRUE(files.write<LinksFile>({}));
    EXPECT_EQ(modeOf(files.pathOf<LinksFile>()), 0600u);
    ASSERT_TRUE(setMode(files.pathOf<LinksFile>(), 0644));
    ASSERT_TRUE(PersistedFiles(store.directory()).write<LinksFile>({}));
    EXPECT_EQ(modeOf(files.pathOf<LinksFile>()), 0600u) << "a file replaced is narrowed too";

    // The cache folder an earlier run left open is narrowed the same way.
    // Below one already 0700 nothing is in others' reach, and nothing is
    // walked: a launch does not pay for what the cache holds.
    const QString cache = cacheFolderPath();
    const QString cover = cache + u"/art/cover.png"_s;
    ASSERT_TRUE(test::writeFile(cover, "png") && setMode(cache, 0755));
    narrowCacheFolder();
    EXPECT_EQ(std::tuple(modeOf(cache), modeOf(cache + u"/art"_s), modeOf(cover)), std::tuple(0700u, 0700u, 0600u));
    ASSERT_TRUE(setMode(cover, 0644));
    narrowCacheFolder();
    EXPECT_EQ(modeOf(cover), 0644u);
}

// The settings name the folders Kolu writes to: nobody else may change them,
// whatever the umask, nor in what an earlier run left open. Nor may anyone
// swap a folder for one of theirs in a parent Kolu made: missing parents
// of the settings, data and cache folders are made 0700 too.
TEST_F(PrivateFilesTest, TheSettingsFolderAndFileAreTheUsersAloneAndAnEarlierRunsAreNarrowed)
{
    const QString path = UserDefaults::defaultFilePath();
    const QString folder = QFileInfo(path).absolutePath();
    // A umask of 0 would leave them open to all; one that takes the owner's
    // own bits (0277) would leave folders Kolu cannot write in.
    for (const mode_t mask : {mode_t(0), mode_t(0277)}) {
        SCOPED_TRACE(mask);
        const test::ScopedUmask open(mask);
        for (const char *parent : {".config", ".local", ".cache"})
            ASSERT_TRUE(QDir(home.path(QString::fromLatin1(parent))).removeRecursively());
        UserDefaults defaults;
        defaults.set(u"railSize"_s, u"large"_s);
        ASSERT_TRUE(defaults.lastSaveSucceeded());
        EXPECT_EQ(std::pair(modeOf(folder), modeOf(path)), std::pair(0700u, 0600u));
        const LocalStore store;
        EXPECT_TRUE(PersistedFiles(store.folder()).write<LinksFile>({}));
        EXPECT_FALSE(privateCacheFolder().isEmpty());
        for (const char *parent : {".config", ".local", ".local/share", ".cache"})
            EXPECT_EQ(modeOf(home.path(QString::fromLatin1(parent))), 0700u) << parent;
    }
    ASSERT_TRUE(setMode(folder, 0777) && setMode(path, 0666));
    const UserDefaults reopened;
    EXPECT_EQ(std::pair(modeOf(folder), modeOf(path)), std::pair(0700u, 0600u)) << "narrowed before any save";
    EXPECT_EQ(reopened.string(u"railSize"_s), u"large"_s);
}

// Where a parent folder is open to others (made so by another program, or by
// an earlier release), another user can put a folder of theirs, or a link,
// in place of Kolu's: its settings would steer Kolu and the user's data
// would land in it. Each is refused with one line, and nothing is read from
// it or written to it.
TEST_F(PrivateFilesTest, AFolderPlantedInPlaceOfTheSettingsDataOrCacheFolderIsNeitherReadNorWritten)
{
    const QString places[] = {QFileInfo(UserDefaults::defaultFilePath()).absolutePath(), home.dataHome() + u"/Kolu"_s,
                              cacheFolderPath()};
    const QByteArray planted = R"({"railSize":"small"})";
    for (const bool foreign : {false, true}) {
        if (foreign && ::geteuid() != 0)
            GTEST_SKIP() << "making another user's folder needs root: only planted links were tried";
        SCOPED_TRACE(foreign ? "another user's folder" : "a link");
        QStringList theirs;
        for (const QString &place : places) {
            QFile::remove(place); // a link of the round before
            ASSERT_TRUE(QDir(place).removeRecursively() && !QFileInfo::exists(place));
            const QString folder = foreign ? place : home.path(u"theirs"_s + QString::number(theirs.size()));
            ASSERT_TRUE(test::writeFile(folder + u"/defaults.json"_s, planted)
                        && test::writeFile(folder + u"/links.json"_s, "[]") && setMode(folder, 0777));
            if (foreign) {
                for (const QString &name : {u""_s, u"/defaults.json"_s, u"/links.json"_s})
                    ASSERT_EQ(::chown(QFile::encodeName(folder + name).constData(), 65534, 65534), 0);
            } else {
                ASSERT_TRUE(QFile::link(folder, place));
            }
            theirs.append(folder);
        }
        test::LogCapture log;
        UserDefaults defaults;
        EXPECT_EQ(std::pair(defaults.isRefused(), defaults.contains(u"railSize"_s)), std::pair(true, false));
        defaults.set(u"railSize"_s, u"large"_s);
        EXPECT_FALSE(defaults.lastSaveSucceeded());
        const LocalStore store;
        EXPECT_EQ(std::tuple(store.isRefused(), store.directory(), store.subdirectory(u"Clipboard"_s)),
                  std::tuple(true, QString(), QString()));
        const PersistedFiles files(store.directory());
        EXPECT_EQ(std::pair(files.read<LinksFile>().has_value(), files.write<LinksFile>({})), std::pair(false, false));
        narrowCacheFolder();
        EXPECT_EQ(privateCacheFolder(), QString());
        EXPECT_EQ(log.warningsWith(u"Kolu does not use its"_s).size(), 3);
        for (const QString &folder : theirs) {
            EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                      (QStringList{u"defaults.json"_s, u"links.json"_s}));
            EXPECT_EQ(std::pair(test::readFile(folder + u"/defaults.json"_s), modeOf(folder)),
                      std::pair(planted, 0777u));
        }
    }
}

namespace {

// What another user does where a parent of `place` is open to others: takes
// the user's folder away (to `movedTo`) and puts a folder of theirs in its
// place, open to all, with a link at `fileName` to a file of the user's.
void swapForTheirs(const QString &place, const QString &movedTo, const QString &fileName, const QString &victim)
{
    ASSERT_TRUE(QDir().rename(place, movedTo));
    ASSERT_TRUE(QDir().mkpath(place) && setMode(place, 0777));
    ASSERT_TRUE(QFile::link(victim, place + u'/' + fileName));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(place).constData(), 65534, 65534), 0);
        ASSERT_EQ(::lchown(QFile::encodeName(place + u'/' + fileName).constData(), 65534, 65534), 0);
    }
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

// The settings and data folders are checked once, at launch, and held: a
// folder swapped in later (where a parent is open to others) never receives
// the user's settings or data, and a link in it never leads a save onto
// another file. Every save still lands in the user's own folder, wherever it
// was moved.
TEST_F(PrivateFilesTest, TheSettingsAndDataFoldersAreHeldFromLaunchSoASwapAfterwardsChangesNothing)
{
    const QString victim = home.path(u"taxes.txt"_s);
    ASSERT_TRUE(test::writeFile(victim, "the user's own"));
    const QString settingsFolder = QFileInfo(UserDefaults::defaultFilePath()).absolutePath();
    UserDefaults defaults;
    defaults.set(u"railSize"_s, u"large"_s);
    const LocalStore store;
    const PersistedFiles files(store.folder());
    const std::vector<SavedLink> links{
        {QUuid::createUuid(), u"Qt"_s, u"https://qt.io"_s, QDateTime::fromSecsSinceEpoch(1, Qt::UTC), true}};
    ASSERT_TRUE(files.write<LinksFile>({}));
    const auto clipboard = store.subfolder(u"Clipboard"_s);
    ASSERT_TRUE(clipboard);

    ASSERT_NO_FATAL_FAILURE(swapForTheirs(settingsFolder, settingsFolder + u"-moved"_s, u"defaults.json"_s, victim));
    ASSERT_NO_FATAL_FAILURE(swapForTheirs(store.directory(), store.directory() + u"-moved"_s, u"links.json"_s, victim));
    defaults.set(u"railSize"_s, u"small"_s);
    EXPECT_TRUE(defaults.lastSaveSucceeded());
    EXPECT_TRUE(files.write<LinksFile>(links));
    EXPECT_EQ(clipboard->saveFile(u"clipboard-1.png"_s, "png"), WriteOutcome::written);

    EXPECT_EQ(test::readFile(victim), "the user's own");
    EXPECT_EQ(entriesOf(settingsFolder), QStringList{u"defaults.json"_s});
    EXPECT_EQ(entriesOf(store.directory()), QStringList{u"links.json"_s});
    EXPECT_EQ(UserDefaults(settingsFolder + u"-moved/defaults.json"_s).string(u"railSize"_s), u"small"_s);
    EXPECT_EQ(PersistedFiles(store.directory() + u"-moved"_s).read<LinksFile>(), links);
    EXPECT_EQ(test::readFile(store.directory() + u"-moved/Clipboard/clipboard-1.png"_s), "png");
    EXPECT_EQ(store.directory(), home.dataHome() + u"/Kolu"_s) << "the path shown and stored stays the same";

    // The user removing the settings folder meanwhile gets a fresh one, made
    // and checked as at launch.
    ASSERT_TRUE(QDir(settingsFolder + u"-moved"_s).removeRecursively() && QDir(settingsFolder).removeRecursively());
    defaults.set(u"railSize"_s, u"medium"_s);
    EXPECT_TRUE(defaults.lastSaveSucceeded());
    EXPECT_EQ(std::pair(UserDefaults().string(u"railSize"_s), modeOf(settingsFolder)),
              std::pair(std::optional(u"medium"_s), 0700u));
}

// A link at a file's name in the user's own folder (left there by another
// account while an earlier run's folder was open, or by a tool) is neither
// read nor written through: the save is refused and the file it leads to
// keeps what it held.
TEST_F(PrivateFilesTest, ALinkAtAFilesNameInsideIsNeitherReadNorWrittenThrough)
{
    const QString victim = home.path(u"taxes.txt"_s);
    ASSERT_TRUE(test::writeFile(victim, R"({"railSize":"small"})"));
    const LocalStore store;
    const QString settings = UserDefaults::defaultFilePath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).absolutePath()));
    ASSERT_TRUE(QFile::link(victim, settings));
    ASSERT_TRUE(QFile::link(victim, store.directory() + u"/clipboardItems.json"_s));

    UserDefaults defaults;
    EXPECT_FALSE(defaults.contains(u"railSize"_s));
    EXPECT_FALSE(defaults.loadFailed()) << "nothing of the user's to set aside";
    defaults.set(u"railSize"_s, u"large"_s);
    EXPECT_FALSE(defaults.lastSaveSucceeded());
    const PersistedFiles files(store.folder());
    EXPECT_EQ(files.read<ClipboardItemsFile>(), std::nullopt);
    EXPECT_FALSE(files.write<ClipboardItemsFile>({}));
    EXPECT_EQ(test::readFile(victim), R"({"railSize":"small"})");
    EXPECT_TRUE(QFileInfo(settings).isSymLink()
                && QFileInfo(store.directory() + u"/clipboardItems.json"_s).isSymLink());
}

// A user who keeps a folder elsewhere and links it in (as a dotfiles manager
// does) has it used: settings read and saved, data kept, the cache used.
TEST_F(PrivateFilesTest, TheUsersOwnLinkInPlaceOfTheSettingsDataOrCacheFolderLeadsToTheirFolder)
{
    const QString places[] = {QFileInfo(UserDefaults::defaultFilePath()).absolutePath(), home.dataHome() + u"/Kolu"_s,
                              cacheFolderPath()};
    QStringList targets;
    for (const QString &place : places) {
        const QString target = home.path(u"dotfiles/kolu"_s + QString::number(targets.size()));
        ASSERT_TRUE(QDir().mkpath(target) && setMode(target, 0755) && QDir(place).removeRecursively());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(place).absolutePath()) && QFile::link(target, place));
        targets.append(target);
    }
    ASSERT_TRUE(test::writeFile(targets[0] + u"/defaults.json"_s, R"({"railSize":"small"})"));

    test::LogCapture log;
    UserDefaults defaults;
    EXPECT_EQ(std::pair(defaults.isRefused(), defaults.string(u"railSize"_s)),
              std::pair(false, std::optional(u"small"_s)));
    defaults.set(u"railSize"_s, u"large"_s);
    EXPECT_TRUE(defaults.lastSaveSucceeded());
    EXPECT_EQ(UserDefaults(targets[0] + u"/defaults.json"_s).string(u"railSize"_s), u"large"_s);
    const LocalStore store;
    EXPECT_EQ(std::pair(store.isRefused(), store.directory()), std::pair(false, places[1]));
    EXPECT_TRUE(PersistedFiles(store.folder()).write<LinksFile>({}));
    EXPECT_TRUE(QFileInfo::exists(targets[1] + u"/links.json"_s));
    narrowCacheFolder();
    EXPECT_EQ(privateCacheFolder(), places[2]);
    EXPECT_EQ(log.warningsWith(u"Kolu does not use its"_s), QStringList());
    for (const QString &target : targets)
        EXPECT_EQ(modeOf(target), 0700u) << "narrowed: the user's alone";
}
