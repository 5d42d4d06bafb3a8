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

TEST_F(PrivateFilesTest, AFolderIsUsedOnlyWhenItIsTheUsersAloneAndNeverThroughALink)
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

    // A link in the folder's place, even to a private folder, is not used.
    const QString linked = home.path(u"linked"_s);
    ASSERT_TRUE(QFile::link(folder, linked));
    EXPECT_FALSE(PrivateFolder::open(linked, {.create = true, .tighten = true}));
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
}

// The settings name the folders Kolu writes to: nobody else may change them,
// whatever the umask, nor in what an earlier run left open. Nor may anyone
// swap a folder for one of theirs in a parent Kolu made: missing parents
// of the settings, data and cache folders are made 0700 too.
TEST_F(PrivateFilesTest, TheSettingsFolderAndFileAreTheUsersAloneAndAnEarlierRunsAreNarrowed)
{
    const QString path = UserDefaults::defaultFilePath();
    const QString folder = QFileInfo(path).absolutePath();
    {
        const test::ScopedUmask open(0);
        for (const char *parent : {".config", ".local", ".cache"})
            ASSERT_TRUE(QDir(home.path(QString::fromLatin1(parent))).removeRecursively());
        UserDefaults defaults;
        defaults.set(u"railSize"_s, u"large"_s);
        ASSERT_TRUE(defaults.lastSaveSucceeded());
        EXPECT_EQ(std::pair(modeOf(folder), modeOf(path)), std::pair(0700u, 0600u));
        const LocalStore store;
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
