#include "model/PersistedFiles.h"

#include "AppStateFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

namespace {

class AppStateClipboardTest : public test::AppStateActionsTest {
protected:
    std::unique_ptr<AppState> state = makeLoadedState();

    ClipboardItem entry(ClipboardItemKind kind, const QString &value, std::optional<QString> filePath = std::nullopt)
    {
        return ClipboardItem{QUuid::createUuid(), kind, value, value, clock.now(), std::nullopt, filePath};
    }

    // An image entry whose file lies in the history's own folder.
    ClipboardItem imageEntry(const QString &name)
    {
        const QString path = state->store().subdirectory(u"Clipboard"_s) + u'/' + name;
        EXPECT_TRUE(test::writeFile(path, "png"));
        return entry(ClipboardItemKind::image, path, path);
    }

    void add(const ClipboardItem &item) { state->addClipboardCaptureResult({item}); }
};

} // namespace

TEST_F(AppStateClipboardTest, ACaptureReplacesItsTwinPulsesUntilShortlyAfterTheLastAndTheFileAlwaysReadsBack)
{
    add(entry(ClipboardItemKind::link, u"https://a.example"_s));
    add(entry(ClipboardItemKind::text, u"https://a.example"_s));
    clock.advance(std::chrono::seconds(1));
    const ClipboardItem again = entry(ClipboardItemKind::link, u"https://a.example"_s);
    add(again);
    ASSERT_EQ(state->clipboardItems().size(), 2u) << "a text of the same value is no twin";
    EXPECT_EQ(state->clipboardItems().front(), again);
    EXPECT_EQ(state->files().read<ClipboardItemsFile>(), state->clipboardItems());

    EXPECT_EQ(state->clipboardPulse(), 3);
    layoutCalls = 0;
    clock.advance(std::chrono::milliseconds(1'399));
    EXPECT_TRUE(state->clipboardPulseActive());
    clock.advance(std::chrono::milliseconds(1));
    EXPECT_FALSE(state->clipboardPulseActive());
    EXPECT_EQ(layoutCalls, 1);

    // Each character of these takes six bytes in the file, in the title and
    // the value: forty of them would be far past what the reader accepts.
    clock.advance(600ms); // on a whole second again: the file keeps seconds
    const QString escaped(100'000, QChar(0x01));
    for (int i = 0; i < 40; ++i)
        add(entry(ClipboardItemKind::text, escaped + QString::number(i)));
    EXPECT_LE(QFileInfo(state->files().pathOf<ClipboardItemsFile>()).size(), PersistedFiles::kMaxFileSize);
    ASSERT_GE(state->clipboardItems().size(), 10u);
    EXPECT_LT(state->clipboardItems().size(), 40u);
    EXPECT_EQ(state->clipboardItems().front().value, escaped + u"39"_s) << "the newest are kept";
    EXPECT_EQ(state->files().read<ClipboardItemsFile>(), state->clipboardItems());
}

// Lowering the limit through the settings page is a case of its own there.
TEST_F(AppStateClipboardTest, ACaptureBeyondTheLimitDropsTheOldestWithItsImageAndOnlyOfferedLimitsHold)
{
    state->setClipboardHistoryLimit(10);
    const ClipboardItem oldest = imageEntry(u"oldest.png"_s);
    add(oldest);
    for (int i = 0; i < 10; ++i)
        add(entry(ClipboardItemKind::text, u"t%1"_s.arg(i)));
    EXPECT_EQ(state->clipboardItems().size(), 10u);
    EXPECT_FALSE(QFile::exists(*oldest.filePath));
    EXPECT_EQ(state->files().read<ClipboardItemsFile>()->size(), 10u);
    state->setClipboardHistoryLimit(15);
    EXPECT_EQ(std::pair(state->clipboardHistoryLimit(), defaults.integer(u"clipboardHistoryLimit"_s)),
              std::pair(40, std::optional<qint64>(40)))
        << "a limit outside the choices";
}

// A run killed between the two steps of a trim must not leave a row whose
// picture is gone: the history is saved first, and a picture goes only once
// the saved history no longer names it.
TEST_F(AppStateClipboardTest, APictureOutlivesAHistoryThatCouldNotBeSavedAndRowsWithoutTheirPictureAreNotRead)
{
    state->setClipboardHistoryLimit(10);
    const ClipboardItem oldest = imageEntry(u"oldest.png"_s);
    const ClipboardItem deleted = imageEntry(u"deleted.png"_s);
    add(oldest);
    add(deleted);
    const QString history = state->files().pathOf<ClipboardItemsFile>();
    ASSERT_TRUE(QFile::remove(history) && QDir().mkpath(history)); // no save can replace a folder
    for (int i = 0; i < 9; ++i)
        add(entry(ClipboardItemKind::text, u"t%1"_s.arg(i)));
    state->deleteClipboardItem(deleted);
    state->clearClipboardHistory();
    EXPECT_TRUE(state->clipboardItems().empty());
    EXPECT_TRUE(QFile::exists(*oldest.filePath) && QFile::exists(*deleted.filePath))
        << "the history on disk still names them";

    ASSERT_TRUE(QDir(history).removeRecursively());
    const ClipboardItem kept = imageEntry(u"kept.png"_s);
    const ClipboardItem text = entry(ClipboardItemKind::text, u"some words"_s);
    const ClipboardItem gone = entry(ClipboardItemKind::image, u"/nowhere/gone.png"_s, u"/nowhere/gone.png"_s);
    ASSERT_TRUE(state->files().write<ClipboardItemsFile>({kept, gone, text, oldest}));
    ASSERT_TRUE(QFile::remove(*oldest.filePath));
    const auto reopened = makeLoadedState();
    EXPECT_EQ(reopened->clipboardItems(), (std::vector<ClipboardItem>{kept, text}));
    EXPECT_TRUE(QFile::exists(*kept.filePath));
    EXPECT_FALSE(QFile::exists(*deleted.filePath)) << "named by no row once the history is read";
}

TEST_F(AppStateClipboardTest, DeletingRemovesOnlyImageFilesInsideTheClipboardFolder)
{
    const QString outside = makeFile(u"Pictures/mine.png"_s);
    const QString clipboardFolder = state->store().subdirectory(u"Clipboard"_s);
    const QString sneaky = makeFile(u".local/share/Kolu/kept.png"_s);
    const ClipboardItem own = imageEntry(u"one.png"_s);
    const ClipboardItem elsewhere = entry(ClipboardItemKind::image, outside, outside);
    const ClipboardItem climbing =
        entry(ClipboardItemKind::image, u"x"_s, QString(clipboardFolder + u"/../kept.png"_s));
    const ClipboardItem folderItself = entry(ClipboardItemKind::image, clipboardFolder, clipboardFolder);
    state->setClipboardItems({own, elsewhere, climbing, folderItself});
    state->deleteClipboardItem(own);
    state->deleteClipboardItem(elsewhere);
    EXPECT_FALSE(QFile::exists(*own.filePath));
    EXPECT_EQ(state->files().read<ClipboardItemsFile>()->size(), 2u) << "deleting saves";
    state->clearClipboardHistory();
    EXPECT_TRUE(state->clipboardItems().empty());
    EXPECT_TRUE(QFile::exists(outside) && QFile::exists(sneaky) && QFileInfo(clipboardFolder).isDir());
    QFile::remove(state->files().pathOf<ClipboardItemsFile>());
    state->clearClipboardHistory(); // an empty history still saves
    EXPECT_EQ(state->files().read<ClipboardItemsFile>(), std::vector<ClipboardItem>{});

    // Through the folder as it was opened at launch: one put in its place
    // since (where a parent is open to others) loses nothing.
    const ClipboardItem later = imageEntry(u"later.png"_s);
    state->setClipboardItems({later});
    const QString data = state->store().directory();
    ASSERT_TRUE(QDir().rename(data, data + u"-moved"_s));
    const QString planted = makeFile(u".local/share/Kolu/Clipboard/later.png"_s);
    state->deleteClipboardItem(later);
    EXPECT_TRUE(QFile::exists(planted));
    EXPECT_FALSE(QFile::exists(data + u"-moved/Clipboard/later.png"_s));
    EXPECT_EQ(PersistedFiles(data + u"-moved"_s).read<ClipboardItemsFile>(), std::vector<ClipboardItem>{});
}

TEST_F(AppStateClipboardTest, OpeningCopiesTextOrOpensAndCopyingPutsEachKindBackInItsForm)
{
    for (const auto &[kind, value] :
         std::vector<std::pair<ClipboardItemKind, QString>>{{ClipboardItemKind::text, u"hello"_s},
                                                            {ClipboardItemKind::link, u"https://a.example/x"_s},
                                                            {ClipboardItemKind::link, u"not a link"_s},
                                                            {ClipboardItemKind::file, makeFile(u"report.pdf"_s)}})
        state->openClipboardItem(entry(kind, value));
    EXPECT_EQ(std::pair(services.pasteboard->text(), services.pasteboard->writes), std::pair(u"hello"_s, 1));
    EXPECT_EQ(services.urlOpener->opened,
              (QList<QUrl>{QUrl(u"https://a.example/x"_s), QUrl::fromLocalFile(home.path(u"report.pdf"_s))}));

    const QString file = makeFile(u"docs/a b.txt"_s);
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::file, file)));
    EXPECT_EQ(services.pasteboard->data(u"text/uri-list"_s), QUrl::fromLocalFile(file).toEncoded() + "\r\n");

    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString png = home.path(u"shot.png"_s), jpeg = home.path(u"photo.jpg"_s);
    ASSERT_TRUE(image.save(png) && image.save(jpeg));
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::image, u"ignored"_s, png)));
    EXPECT_EQ(services.pasteboard->data(u"image/png"_s), test::readFile(png)) << "a PNG file goes as it is";
    EXPECT_EQ(services.pasteboard->localImage().size(), QSize(4, 3));
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::image, jpeg)));
    EXPECT_EQ(QImage::fromData(services.pasteboard->data(u"image/png"_s), "PNG").size(), QSize(4, 3));
    const QString broken = makeFile(u"broken.png"_s, "not an image");
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::image, broken)));
    EXPECT_EQ(services.pasteboard->text(), broken) << "an unreadable image goes as its path";
}

// A history file edited by someone else: its rows open web addresses, regular
// files and the history's own pictures, and leave everything else alone.
TEST_F(AppStateClipboardTest, AHostileHistoryOpensOnlyWebAddressesRegularFilesAndItsOwnPictures)
{
    const QString folder = state->store().subdirectory(u"Clipboard"_s);
    const QString ownPicture = imageEntry(u"clipboard-1.png"_s).value;
    const QString document = makeFile(u"Documents/notes.txt"_s);
    const QString program = makeFile(u"bin/terminal"_s, "#!/bin/sh\n");
    QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString outsidePicture = makeFile(u"Pictures/elsewhere.png"_s, "png");
    const QString sneakingLink = folder + u"/clipboard-2.png"_s;
    ASSERT_TRUE(QFile::link(outsidePicture, sneakingLink));
    QDir().mkpath(home.path(u"folder"_s));

    const std::vector<ClipboardItem> hostile = {
        entry(ClipboardItemKind::link, u"javascript:alert(1)"_s),
        entry(ClipboardItemKind::link, u"file:///etc/passwd"_s),
        entry(ClipboardItemKind::link, u"smb://server/share"_s),
        entry(ClipboardItemKind::link, u"https://"_s),
        entry(ClipboardItemKind::file, program),
        entry(ClipboardItemKind::file, home.path(u"folder"_s)),
        entry(ClipboardItemKind::file, home.path(u"gone.txt"_s)),
        entry(ClipboardItemKind::file, u"relative/notes.txt"_s),
        entry(ClipboardItemKind::image, outsidePicture, outsidePicture),
        entry(ClipboardItemKind::image, sneakingLink, sneakingLink),
        entry(ClipboardItemKind::image, folder + u"/../../../Pictures/elsewhere.png"_s),
        entry(ClipboardItemKind::link, u"https://example.org/page"_s),
        entry(ClipboardItemKind::file, document),
        entry(ClipboardItemKind::image, ownPicture, ownPicture),
    };
    ASSERT_TRUE(state->files().write<ClipboardItemsFile>(hostile));
    test::TestAppServices next{defaults, clock, home};
    const auto reopened = makeState(next.take());
    reopened->loadSavedState();
    ASSERT_EQ(reopened->clipboardItems().size(), hostile.size() - 1) << "the row whose picture is missing is not read";
    for (const ClipboardItem &item : reopened->clipboardItems())
        reopened->openClipboardItem(item);
    EXPECT_EQ(next.urlOpener->opened, (QList<QUrl>{QUrl(u"https://example.org/page"_s), QUrl::fromLocalFile(document),
                                                   QUrl::fromLocalFile(ownPicture)}));
}
