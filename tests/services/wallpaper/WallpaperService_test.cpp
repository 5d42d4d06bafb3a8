#include "services/wallpaper/WallpaperService.h"
#include "platform/net/backend/QtNetwork.h"

#include "platform/net/Http.h"

#include "model/LocalStore.h"
#include "services/wallpaper/WallpaperArchive.h"
#include "services/wallpaper/WallpaperListing.h"

#include "../ServiceTests.h"
#include "FakeDesktop.h"
#include "LocalHttpServer.h"
#include "ScopedUmask.h"
#include "ZipWriter.h"

#include <QDirIterator>

#include <sys/stat.h>

using namespace kolu;

using test::FakeDesktopPicture;
using test::FakeFolderPicker;

namespace {

using Case = WallpaperServiceError::Case;

test::ZipWriter archiveOf(const QStringList &names)
{
    test::ZipWriter zip;
    for (const QString &name : names)
        zip.addFile(name, test::pictureBytes(name));
    return zip;
}

QStringList sourceIDs(const QList<WallpaperCandidate> &candidates)
{
    return test::each(candidates, &WallpaperCandidate::sourceID);
}

template<typename Action>
void expectFailure(Action &&action, Case expected)
{
    EXPECT_EQ(test::failureText<WallpaperServiceError>(action), errorSentence(expected));
}

struct WallpaperServiceTest : ::testing::Test {
    QList<WallpaperCandidate> load(bool refresh)
    {
        return test::awaitTask(service.wallpapers(WallpaperLibrary::still, refresh));
    }

    void serve(const test::ZipWriter &zip) { serveBody(200, zip.bytes()); }
    void serveBody(int status, const QByteArray &body)
    {
        server.respond(u"/scl/fo/share"_s, {status, body, {{"Content-Type", "application/zip"}}});
    }
    qsizetype downloads() const { return server.requests().size(); }

    // Everything below `folder`, as relative paths, hidden entries included.
    static QStringList tree(const QString &folder)
    {
        QStringList entries;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            entries << QDir(folder).relativeFilePath(it.next());
        entries.sort();
        return entries;
    }

    QTemporaryDir root;
    LocalStore store{root.filePath(u"data"_s)};
    test::LocalHttpServer server;
    test::ManualClock clock;
    QtNetwork network;
    UserDefaults defaults{root.filePath(u"defaults.json"_s)};
    FakeDesktopPicture desktop;
    FakeFolderPicker picker;
    WallpaperService service{network, store.subdirectory(u"Wallpapers"_s),        defaults, desktop, picker,
                             clock,   server.url(u"/scl/fo/share?rlkey=k&dl=1"_s)};
};

} // namespace

TEST_F(WallpaperServiceTest, FirstLoadDownloadsOnceThenUsesTheCacheUntilForcedOrADownloadTimesOutAfterNinetySeconds)
{
    serve(archiveOf({u"10.jpg"_s, u"2.jpg"_s, u"Set/1.png"_s, u"readme.txt"_s}));

    std::optional<test::ScopedUmask> umask(std::in_place, 022); // a session's common one
    const QList<WallpaperCandidate> first = load(false);
    umask.reset();
    const QString archive = service.downloadDirectory() + u"/orlix-wallpapers-dropbox.zip"_s;
    EXPECT_EQ(downloads(), 1);
    EXPECT_EQ(sourceIDs(first), (QStringList{u"1.png"_s, u"2.jpg"_s, u"10.jpg"_s}));
    EXPECT_EQ(first.front().localFileURL, QUrl::fromLocalFile(service.libraryFolder() + u"/Set/1.png"_s));
    EXPECT_EQ(server.requests().front().queryValue(u"rlkey"_s), u"k"_s);
    // Only the archive and the library are left: no side folder, no temporary file.
    EXPECT_EQ(QDir(service.downloadDirectory()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u"DropboxLibrary"_s, u"orlix-wallpapers-dropbox.zip"_s}));
    // The user's alone, whatever the umask (022 here) or the archive says.
    const auto mode = [](const QString &path) {
        struct stat info { };
        return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 07777u;
    };
    EXPECT_EQ(std::tuple(mode(archive), mode(service.libraryFolder() + u"/Set"_s),
                         mode(service.libraryFolder() + u"/Set/1.png"_s)),
              std::tuple(0600u, 0700u, 0600u));

    EXPECT_EQ(load(false), first);
    EXPECT_EQ(downloads(), 1);

    serve(archiveOf({u"new.webp"_s}));
    EXPECT_EQ(sourceIDs(load(true)), QStringList{u"new.webp"_s});
    EXPECT_EQ(downloads(), 2);
    EXPECT_EQ(tree(service.libraryFolder()), QStringList{u"new.webp"_s});

    // A download times out after ninety seconds on the clock and the cache stays.
    const QList<WallpaperCandidate> cached = load(false);
    server.setHoldResponses(true);
    auto probe = test::startTask(service.wallpapers(WallpaperLibrary::noir, true));
    ASSERT_TRUE(test::waitUntil([&] { return downloads() == 3; }));
    clock.advance(89s);
    EXPECT_FALSE(probe.isDone());
    clock.advance(1s);
    EXPECT_EQ(probe.wait(), cached);
}

// A 404, an HTML page and an archive without images: each fails without a
// cache and leaves an existing cache exactly as it was.
TEST_F(WallpaperServiceTest, ABadAnswerFailsWithoutACacheAndKeepsAnExistingOne)
{
    const struct {
        int status;
        QByteArray body;
        Case expected;
    } answers[] = {
        {404, "gone", Case::libraryDownloadFailed},
        {200, "<!DOCTYPE html><html><body>Sign in</body></html>", Case::libraryDownloadFailed},
        {200, archiveOf({u"notes.txt"_s, u"anim.gif"_s}).bytes(), Case::noImageFound},
    };
    int count = 0;
    for (const auto &answer : answers) {
        SCOPED_TRACE(answer.body.left(20).toStdString());
        WallpaperService fresh{network,
                               store.subdirectory(u"Fresh%1"_s.arg(++count)),
                               defaults,
                               desktop,
                               picker,
                               clock,
                               server.url(u"/scl/fo/share"_s)};
        serveBody(answer.status, answer.body);
        expectFailure([&] { test::awaitTask(fresh.wallpapers(WallpaperLibrary::still, false)); }, answer.expected);
        EXPECT_FALSE(QFileInfo::exists(fresh.libraryFolder()));
        EXPECT_FALSE(QFileInfo::exists(fresh.archivePath())) << "a failed download is not kept";
    }
    // No server to reach: without a cache the failure names the network (a
    // transport failure, no answer status), not the library.
    {
        WallpaperService unreachable{network, store.subdirectory(u"Unreachable"_s),      defaults, desktop, picker,
                                     clock,   QUrl(u"http://127.0.0.1:1/scl/fo/share"_s)};
        std::exception_ptr failure;
        try {
            test::awaitTask(unreachable.wallpapers(WallpaperLibrary::still, false));
        } catch (...) {
            failure = std::current_exception();
        }
        ASSERT_TRUE(failure);
        try {
            std::rethrow_exception(failure);
        } catch (const HttpStatusError &) {
            ADD_FAILURE() << "an answer status";
        } catch (const TransportError &) {
            SUCCEED();
        } catch (...) {
            ADD_FAILURE() << "another failure";
        }
    }

    serve(archiveOf({u"keep.jpg"_s}));
    const QList<WallpaperCandidate> cached = load(true);
    for (const auto &answer : answers) {
        SCOPED_TRACE(answer.body.left(20).toStdString());
        serveBody(answer.status, answer.body);
        EXPECT_EQ(load(true), cached);
        EXPECT_EQ(tree(service.libraryFolder()), QStringList{u"keep.jpg"_s});
        EXPECT_EQ(tree(service.downloadDirectory()).filter(u"DropboxLibrary-"_s), QStringList{});
    }
}

TEST_F(WallpaperServiceTest, UntrustedEntriesStayInsideTheLibrary)
{
    QTemporaryDir outside;
    ASSERT_TRUE(test::writeFile(outside.filePath(u"secret.png"_s)));

    // Links are passed over: nothing is read or written through them.
    test::ZipWriter zip = archiveOf({u"ok.png"_s, u"./Set//a.png"_s});
    zip.addSymlink(u"link.png"_s, outside.filePath(u"secret.png"_s));
    zip.addSymlink(u"door"_s, outside.path());
    zip.addFile(u"door/planted.png"_s, test::pictureBytes(u"planted.png"_s));
    serve(zip);
    const QList<WallpaperCandidate> found = load(false);
    const QStringList library{u"Set"_s, u"Set/a.png"_s, u"door"_s, u"door/planted.png"_s, u"ok.png"_s};
    EXPECT_EQ(sourceIDs(found), (QStringList{u"a.png"_s, u"ok.png"_s, u"planted.png"_s}));
    EXPECT_EQ(tree(service.libraryFolder()), library);
    EXPECT_EQ(tree(outside.path()), QStringList{u"secret.png"_s});

    // A name that would leave the library, or that a command line would read
    // as an option, refuses the whole archive, whether its entry is small or
    // larger than any picture; so do a larger entry and a name given twice.
    // The library stays as it was and nothing lands elsewhere.
    const qint64 huge = kMaxWallpaperImageBytes + 8 * 1024 * 1024;
    const struct {
        const char *what;
        QStringList small;
        QStringList large;
    } hostile[] = {
        {"up and out", {u"../../escape.png"_s}, {}},
        {"up inside a path", {u"Set/../../escape.png"_s}, {}},
        {"absolute", {u"/absolute.png"_s}, {}},
        {"a folder option and an absolute folder", {}, {u"-d"_s, outside.path()}},
        {"a folder option and a relative folder", {}, {u"-d"_s, u"planted"_s}},
        {"overwrite and exclude options", {}, {u"-o"_s, u"-x"_s}},
        {"dashes only", {}, {u"---"_s}},
        {"small dashed names", {u"-d"_s, u"-x.png"_s, u"--"_s}, {}},
        {"larger than any picture", {}, {u"huge.png"_s}},
        {"twice", {u"twice.png"_s, u"twice.png"_s}, {}},
    };
    for (const auto &archive : hostile) {
        SCOPED_TRACE(archive.what);
        test::ZipWriter zip = archiveOf(QStringList{u"fine.png"_s} + archive.small);
        if (!archive.large.isEmpty()) {
            // Enough of the archive is real that the entries' ratio passes.
            zip.addFile(u"filler.bin"_s, QByteArray(archive.large.size() * huge / 16, 'f'));
            for (const QString &name : archive.large)
                zip.addClaimedFile(name, quint32(huge));
        }
        serve(zip);
        EXPECT_EQ(load(true), found);
        EXPECT_EQ(tree(service.libraryFolder()), library);
        EXPECT_EQ(tree(outside.path()), QStringList{u"secret.png"_s});
        EXPECT_EQ(tree(service.downloadDirectory()).filter(u"DropboxLibrary-"_s), QStringList{});
    }
    EXPECT_EQ(tree(root.filePath(u"data"_s)).filter(u"escape"_s), QStringList{});
    EXPECT_EQ(tree(QDir::currentPath()).filter(u"planted"_s), QStringList{});
}

TEST_F(WallpaperServiceTest, AnArchiveBombOrADamagedArchiveIsRefusedAndNothingIsLeftBehind)
{
    // 64 MB of zeros in a few kilobytes: refused before anything is unpacked.
    test::ZipWriter bomb = archiveOf({u"fine.png"_s});
    bomb.addDeflatedFile(u"zeros.png"_s, QByteArray(64 * 1024 * 1024, '\0'));
    serve(bomb);
    expectFailure([&] { load(false); }, Case::libraryDownloadFailed);
    EXPECT_EQ(tree(service.downloadDirectory()), QStringList{});

    // A bomb whose listing understates its entry is refused as it unpacks.
    test::ZipWriter liar = archiveOf({u"fine.png"_s});
    const QByteArray zlib = qCompress(QByteArray(kMaxWallpaperImageBytes / 16, '\0'), 9);
    liar.addPackedFile(u"zeros.png"_s, zlib.mid(6, zlib.size() - 10), 1000, 0);
    serve(liar);
    expectFailure([&] { load(false); }, Case::libraryDownloadFailed);
    EXPECT_EQ(tree(service.downloadDirectory()), QStringList{});

    // Damaged data: a checksum that does not match.
    test::ZipWriter damaged = archiveOf({u"fine.png"_s});
    const QByteArray picture = test::pictureBytes(u"broken.png"_s);
    const QByteArray packed = qCompress(picture, 9);
    damaged.addPackedFile(u"broken.png"_s, packed.mid(6, packed.size() - 10), quint32(picture.size()), 1234);
    serve(damaged);
    expectFailure([&] { load(false); }, Case::libraryDownloadFailed);
    EXPECT_EQ(tree(service.downloadDirectory()), QStringList{});

    // An entry whose own header names a way out while the listing names a
    // path inside: refused as it unpacks, and nothing lands beside the library.
    QByteArray twoNames = archiveOf({u"fine.png"_s, u"ab/evil.png"_s}).bytes();
    const qsizetype header = twoNames.indexOf("ab/evil.png");
    ASSERT_LT(header, twoNames.lastIndexOf("ab/evil.png")) << "the entry's header comes before the listing";
    twoNames.replace(header, 11, "../evil.png");
    serveBody(200, twoNames);
    expectFailure([&] { load(false); }, Case::libraryDownloadFailed);
    EXPECT_EQ(tree(service.downloadDirectory()), QStringList{});
    EXPECT_EQ(tree(root.path()).filter(u"evil"_s), QStringList{});
}

TEST_F(WallpaperServiceTest, ALocalFolderIsListedWithoutTouchingTheWebLibraryAndChosenOrKeptThroughACancel)
{
    QTemporaryDir pictures;
    ASSERT_TRUE(test::writeFile(pictures.filePath(u"sea.jpg"_s), test::pictureBytes(u"sea.jpg"_s)));
    defaults.set(SettingsKey::wallpaperLocalFolderPath, pictures.path());
    defaults.set(SettingsKey::wallpaperLocalFolderName, u"Pictures"_s);

    const QList<WallpaperCandidate> local = load(true);
    EXPECT_EQ(sourceIDs(local), QStringList{u"sea.jpg"_s});
    EXPECT_EQ(local.front().source, WallpaperSource::localFolder);
    EXPECT_EQ(downloads(), 0);

    QFile::remove(pictures.filePath(u"sea.jpg"_s));
    expectFailure([&] { load(false); }, Case::noImageFound);

    // A vanished folder falls back to the web library and keeps its keys.
    defaults.set(SettingsKey::wallpaperLocalFolderPath, root.filePath(u"gone"_s));
    serve(archiveOf({u"web.png"_s}));
    EXPECT_EQ(sourceIDs(load(false)), QStringList{u"web.png"_s});
    EXPECT_EQ(defaults.string(SettingsKey::wallpaperLocalFolderPath), root.filePath(u"gone"_s));

    defaults.set(SettingsKey::wallpaperLocalFolderPath, u"/old/path"_s);
    defaults.set(SettingsKey::wallpaperLocalFolderName, u"path"_s);

    EXPECT_EQ(test::awaitTask(service.chooseLocalFolder()), std::nullopt);
    EXPECT_EQ(defaults.string(SettingsKey::wallpaperLocalFolderPath), u"/old/path"_s);
    EXPECT_EQ(defaults.string(SettingsKey::wallpaperLocalFolderName), u"path"_s);

    picker.answer = u"/home/me/Pictures/Walls"_s;
    EXPECT_EQ(test::awaitTask(service.chooseLocalFolder()), u"/home/me/Pictures/Walls"_s);
    EXPECT_EQ(defaults.string(u"wallpaperLocalFolderPath"_s), u"/home/me/Pictures/Walls"_s);
    EXPECT_EQ(defaults.string(u"wallpaperLocalFolderName"_s), u"Walls"_s);
}

TEST_F(WallpaperServiceTest, ApplySetsTheFileOnTheAskedDisplaysOrSaysWhyNot)
{
    WallpaperCandidate candidate;
    const auto failure = [&] {
        return test::failureText<WallpaperServiceError>([&] { test::awaitTask(service.apply(candidate, true)); });
    };
    for (const QUrl &unusable :
         {QUrl::fromLocalFile(root.filePath(u"missing.png"_s)), QUrl(u"https://example.invalid/a.png"_s)}) {
        candidate.imageURL = unusable;
        EXPECT_EQ(failure(), errorSentence(Case::invalidImageData));
    }
    EXPECT_TRUE(desktop.calls.isEmpty());

    const QString path = root.filePath(u"pic.png"_s);
    ASSERT_TRUE(test::writeFile(path));
    candidate.imageURL = QUrl::fromLocalFile(path);
    candidate.localFileURL = QUrl::fromLocalFile(root.filePath(u"moved-away.png"_s));
    EXPECT_EQ(test::awaitTask(service.apply(candidate, false)).fileURL, QUrl::fromLocalFile(path));
    EXPECT_EQ(desktop.calls.front(), qMakePair(path, DisplayTarget::mainDisplay));
    // A desktop that cannot target one display says so.
    desktop.result.setOnEveryDisplayInstead = true;
    EXPECT_TRUE(test::awaitTask(service.apply(candidate, true)).setOnEveryDisplayInstead);
    EXPECT_EQ(desktop.calls.back().second, DisplayTarget::allDisplays);

    desktop.layout = {};
    EXPECT_EQ(failure(), errorSentence(Case::screenUnavailable));
    desktop.layout = {{u"screen"_s}, u"screen"_s};
    desktop.failure = DesktopPictureError(DesktopPictureError::Kind::noDisplay, u"No X11 display is available."_s);
    EXPECT_EQ(failure(), errorSentence(Case::screenUnavailable));
    desktop.failure = DesktopPictureError(DesktopPictureError::Kind::failed, u"gsettings said no"_s);
    EXPECT_EQ(test::failureText<DesktopPictureError>([&] { test::awaitTask(service.apply(candidate, true)); }),
              u"gsettings said no"_s);
}
