#include "model/PersistedFiles.h"

#include "model/DamagedFile.h"

#include "FailingDevice.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

#include <functional>

using namespace kolu;

// Records here name only the fields a case needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
using namespace Qt::StringLiterals;

namespace {

QDateTime at(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

class PersistedFilesTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    QString folder = home.path(u"data"_s);
    PersistedFiles files{folder};

    void SetUp() override { QDir().mkpath(folder); }

    template<typename Format>
    void expectAbsent(const QByteArray &bytes)
    {
        ASSERT_TRUE(test::writeFile(files.pathOf<Format>(), bytes));
        EXPECT_FALSE(files.read<Format>()) << bytes.toStdString();
        EXPECT_EQ(test::readFile(files.pathOf<Format>()), bytes) << "the reader must leave the file alone";
    }

    // Writes `value`, reads it back, and writes what was read: the same bytes.
    template<typename Format>
    void expectRoundTrip(const typename Format::Value &value)
    {
        ASSERT_TRUE(files.write<Format>(value));
        const QByteArray first = test::readFile(files.pathOf<Format>());
        const auto read = files.read<Format>();
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, value);
        ASSERT_TRUE(files.write<Format>(*read));
        EXPECT_EQ(test::readFile(files.pathOf<Format>()), first);
    }
};

const QUuid kId = QUuid::fromString(u"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b");

} // namespace

TEST_F(PersistedFilesTest, EveryStoredFileReadsBackWhatWasWrittenAlwaysInTheSameBytes)
{
    const ClipboardItem bare{kId, ClipboardItemKind::text, u"hello"_s, u"hello"_s, at(10), std::nullopt, std::nullopt};
    const ClipboardItem full{
        QUuid::createUuid(),      ClipboardItemKind::image, u"a"_s, u"/x/Clipboard/a.png"_s, at(11),
        u"https://example.org"_s, u"/x/Clipboard/a.png"_s};

    expectRoundTrip<LinksFile>({{kId, u"Qt"_s, u"https://qt.io"_s, at(1'700'000'000), true},
                                {QUuid::createUuid(), u"B"_s, u"b.example"_s, at(6), false}});
    expectRoundTrip<LinksFile>({}); // an empty list is not a missing file
    expectRoundTrip<ClipboardItemsFile>({bare, full});
    expectRoundTrip<PomodoroFile>({.remaining = 321.5});
    expectRoundTrip<PomodoroFile>({.mode = PomodoroMode::breakTime, .isRunning = true, .startedAt = at(1000)});
    expectRoundTrip<PrayerSettingsFile>({u"Cairo"_s, u"Egypt"_s, 5});
    expectRoundTrip<PrayerDayFile>({u"2026-12-06"_s,
                                    u"Cairo"_s,
                                    u"Egypt"_s,
                                    5,
                                    at(2000),
                                    {{PrayerName::fajr, at(3000), true}, {PrayerName::isha, at(4000), false}}});
    expectRoundTrip<PrayerNotificationStatesFile>({{u"fajr"_s, true}, {u"isha"_s, false}, {u"someday"_s, true}});
    expectRoundTrip<WebSearchProvidersFile>(
        {WebSearchProvider::google(), {u"ddg"_s, u"Ducks"_s, u"https://ducks.example/?q={query}"_s, false}});
}

TEST_F(PersistedFilesTest, FilesKeepTheirExactShapeAndLeaveAbsentValuesOut)
{
    ASSERT_TRUE(files.write<LinksFile>({{kId, u"Qt"_s, u"https://qt.io"_s, at(1'700'000'000), true}}));
    const QByteArray links = test::readFile(files.pathOf<LinksFile>());
    EXPECT_TRUE(links.contains("\"id\": \"6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B\""));
    EXPECT_TRUE(links.contains("\"dateAdded\": \"2023-11-14T22:13:20Z\""));
    const QList<QByteArray> keys{"dateAdded", "id", "isFavorite", "title", "url"};
    for (qsizetype i = 1; i < keys.size(); ++i)
        EXPECT_LT(links.indexOf(keys[i - 1]), links.indexOf(keys[i]));

    ASSERT_TRUE(files.write<ClipboardItemsFile>(
        {{kId, ClipboardItemKind::text, u"hello"_s, u"hello"_s, at(10), std::nullopt, std::nullopt}}));
    const auto top = QJsonDocument::fromJson(test::readFile(files.pathOf<ClipboardItemsFile>())).array();
    EXPECT_EQ(top.at(0).toObject().keys(), (QStringList{u"dateAdded"_s, u"id"_s, u"kind"_s, u"title"_s, u"value"_s}));

    ASSERT_TRUE(files.write<PomodoroFile>({}));
    EXPECT_FALSE(test::readFile(files.pathOf<PomodoroFile>()).contains("startedAt"));

    // Sub-second dates and null optionals read back.
    ClipboardItem item{kId,
                       ClipboardItemKind::link,
                       u"t"_s,
                       u"https://a.b"_s,
                       QDateTime::fromMSecsSinceEpoch(1'700'000'000'750, Qt::UTC),
                       std::nullopt,
                       std::nullopt};
    ASSERT_TRUE(files.write<ClipboardItemsFile>({item}));
    EXPECT_EQ(files.read<ClipboardItemsFile>()->front().dateAdded, at(1'700'000'000));

    ASSERT_TRUE(test::writeFile(
        files.pathOf<ClipboardItemsFile>(),
        R"([{"dateAdded":"2026-01-01T00:00:00Z","id":"6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B","kind":"file",
                 "title":"a","value":"/a","filePath":null,"sourceURL":null,"unknown":[1,2]}])"));
    const auto read = files.read<ClipboardItemsFile>();
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->front().filePath || read->front().sourceURL);
}

// One bad element loses the whole file; the reader leaves the file alone.
TEST_F(PersistedFilesTest, MalformedFilesReadAsAbsent)
{
    const QByteArray good = R"({"dateAdded":"2026-01-01T00:00:00Z","id":"6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B",
                               "kind":"text","title":"a","value":"b"})";
    expectAbsent<ClipboardItemsFile>("[" + good + R"(, {"dateAdded":"2026-01-01T00:00:00Z",
        "id":"6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B","kind":"video","title":"a","value":"b"}])");
    expectAbsent<ClipboardItemsFile>("[" + good + ", 17]");
    expectAbsent<LinksFile>(R"([{"dateAdded":"2026-01-01T00:00:00.5","id":"6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B",
        "isFavorite":false,"title":"a","url":"b"}])");
    expectAbsent<LinksFile>(R"([{"dateAdded":"2026-01-01T00:00:00Z","id":"6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B",
        "isFavorite":"yes","title":"a","url":"b"}])");
    EXPECT_FALSE(files.read<LinksFile>()); // missing
    expectAbsent<LinksFile>("");
    expectAbsent<LinksFile>("[{\"id\": ");
    expectAbsent<LinksFile>("{}"); // an object where an array belongs
    expectAbsent<PomodoroFile>("[]");
    expectAbsent<PrayerSettingsFile>(R"({"city":"Cairo","country":"Egypt","method":5.5})");
    expectAbsent<PrayerNotificationStatesFile>(R"({"fajr":true,"isha":"no"})");
    expectAbsent<PrayerDayFile>(R"({"city":"c","country":"d","dateID":"2026-01-01","fetchedAt":"2026-01-01T00:00:00Z",
        "method":2,"times":[{"date":"2026-01-01T05:00:00Z","name":"midnight","notificationsEnabled":true}]})");

    // A folder where the file belongs reads as absent too.
    QDir().mkpath(files.pathOf<WebSearchProvidersFile>());
    EXPECT_FALSE(files.read<WebSearchProvidersFile>());
}

TEST_F(PersistedFilesTest, FocusTimerAtLaunchIsMigratedThenBroughtUpToDate)
{
    ASSERT_TRUE(files.write<PomodoroFile>({.focusDuration = 960, .remaining = 500}));
    const auto migrated = files.readPomodoroAtLaunch(at(0)).value();
    EXPECT_EQ(std::pair(migrated.focusDuration, migrated.remaining), std::pair(1500.0, 1500.0));

    ASSERT_TRUE(files.write<PomodoroFile>({.remaining = 100, .isRunning = true, .startedAt = at(1000)}));
    const auto finished = files.readPomodoroAtLaunch(at(1250)).value();
    EXPECT_EQ(std::tuple(finished.remaining, finished.isRunning, finished.finishedPendingNotification),
              std::tuple(0.0, false, true));
}

TEST_F(PersistedFilesTest, AFailedWriteLeavesTheOldFileIntact)
{
    const std::vector<SavedLink> old{{kId, u"old"_s, u"https://old.example"_s, at(1), false}};
    ASSERT_TRUE(files.write<LinksFile>(old));
    const QByteArray before = test::readFile(files.pathOf<LinksFile>());

    std::vector<SavedLink> many;
    for (int i = 0; i < 50; ++i)
        many.push_back({QUuid::createUuid(), u"new %1"_s.arg(i), u"https://new.example"_s, at(i), true});

    const PersistedFiles failing(folder, test::failAfterBytes(100));
    EXPECT_FALSE(failing.write<LinksFile>(many));
    EXPECT_EQ(test::readFile(files.pathOf<LinksFile>()), before);
    EXPECT_EQ(files.read<LinksFile>(), old);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{u"links.json"_s});

    // An unwritable folder fails quietly.
    ASSERT_TRUE(test::writeFile(home.path(u"blocker"_s), "a file, not a folder"));
    const PersistedFiles blocked(home.path(u"blocker"_s));
    EXPECT_FALSE(blocked.write<PrayerSettingsFile>({u"a"_s, u"b"_s, 1}) || blocked.read<PrayerSettingsFile>());
}

namespace {

ino_t inodeOf(const QString &path)
{
    struct stat entry { };
    return ::lstat(QFile::encodeName(path).constData(), &entry) == 0 ? entry.st_ino : 0;
}

} // namespace

TEST_F(PersistedFilesTest, ADamagedFileIsMovedAsideBeforeItIsOverwrittenAndAFewAreKept)
{
    const QString path = files.pathOf<LinksFile>();
    const std::vector<SavedLink> links{{kId, u"Qt"_s, u"https://qt.io"_s, at(1), true}};
    QList<QByteArray> damaged;
    for (int i = 0; i < 5; ++i) {
        damaged.append(QByteArray(R"([{"id": "x"},)") + QByteArray::number(i) + "]");
        ASSERT_TRUE(test::writeFile(path, damaged.last()));
        EXPECT_FALSE(files.read<LinksFile>());
        ASSERT_TRUE(files.write<LinksFile>(links));
        EXPECT_EQ(files.read<LinksFile>(), links);
    }
    const QStringList copies = damagedCopies(path);
    ASSERT_EQ(copies.size(), kKeptDamagedCopies);
    for (qsizetype i = 0; i < copies.size(); ++i) {
        EXPECT_TRUE(QFileInfo(copies[i]).fileName().startsWith(u"links.json.damaged-"_s));
        EXPECT_EQ(test::readFile(copies[i]), damaged[damaged.size() - copies.size() + i]) << "the newest, oldest first";
    }

    // A file that read well is simply replaced.
    ASSERT_TRUE(files.write<LinksFile>({}));
    EXPECT_EQ(damagedCopies(path).size(), kKeptDamagedCopies);
}

TEST_F(PersistedFilesTest, ASaveReplacesOnlyARegularFile)
{
    const QString path = files.pathOf<PrayerSettingsFile>();
    const PrayerSettings settings{u"Oslo"_s, u"Norway"_s, 3};
    const QString fifo = home.path(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString target = home.path(u"elsewhere/settings.json"_s);
    QDir().mkpath(QFileInfo(target).absolutePath());

    struct Case {
        const char *what;
        std::function<void()> make;
    };
    const std::vector<Case> refused{
        {"a pipe", [&] { ::mkfifo(QFile::encodeName(path).constData(), 0600); }},
        {"a link to a pipe", [&] { QFile::link(fifo, path); }},
        {"a dangling link", [&] { QFile::link(home.path(u"gone"_s), path); }},
        {"a folder", [&] { QDir().mkpath(path); }},
    };
    for (const Case &c : refused) {
        c.make();
        const QFileInfo before(path);
        const ino_t inode = inodeOf(path);
        EXPECT_FALSE(files.write<PrayerSettingsFile>(settings)) << c.what;
        EXPECT_EQ(inodeOf(path), inode) << c.what << " is left where it was";
        EXPECT_EQ(QFileInfo(path).isSymLink(), before.isSymLink()) << c.what;
        EXPECT_FALSE(QFileInfo(path).isFile() && !before.isFile()) << c.what;
        if (before.isDir() && !before.isSymLink())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
    EXPECT_FALSE(QFileInfo(fifo).isFile()) << "the pipe a link led to is still a pipe";

    // Nor is a link to a regular file followed: it could lead anywhere, out
    // of the user's private folder. The file keeps its content, the link stays.
    ASSERT_TRUE(test::writeFile(target, "{}"));
    ASSERT_TRUE(QFile::link(target, path));
    EXPECT_FALSE(files.write<PrayerSettingsFile>(settings));
    EXPECT_FALSE(files.read<PrayerSettingsFile>());
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(test::readFile(target), "{}");
}

TEST_F(PersistedFilesTest, WritingTheBytesAFileHoldsLeavesItAlone)
{
    const QString path = files.pathOf<PrayerSettingsFile>();
    const PrayerSettings settings{u"Oslo"_s, u"Norway"_s, 3};
    ASSERT_TRUE(files.write<PrayerSettingsFile>(settings));
    const ino_t written = inodeOf(path);
    ASSERT_TRUE(files.write<PrayerSettingsFile>(settings));
    EXPECT_EQ(inodeOf(path), written);

    // The same holds for what another instance read from the file.
    const PersistedFiles reader(folder);
    ASSERT_EQ(reader.read<PrayerSettingsFile>(), settings);
    ASSERT_TRUE(reader.write<PrayerSettingsFile>(settings));
    EXPECT_EQ(inodeOf(path), written);

    ASSERT_TRUE(files.write<PrayerSettingsFile>({u"Rome"_s, u"Italy"_s, 3}));
    EXPECT_NE(inodeOf(path), written);
    // A file removed behind its back is written again.
    QFile::remove(path);
    ASSERT_TRUE(files.write<PrayerSettingsFile>({u"Rome"_s, u"Italy"_s, 3}));
    EXPECT_TRUE(QFileInfo::exists(path));
}
