#include "model/PersistedFiles.h"

#include "AwaitTask.h"
#include "AppStateFixture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class AppStateClipboardTest : public test::LinksAndTrayTest {
protected:
    std::unique_ptr<AppState> state = makeState();

    ClipboardItem entry(ClipboardItemKind kind, const QString &value, std::optional<QString> filePath = std::nullopt)
    {
        return ClipboardItem{QUuid::createUuid(), kind, value, value, clock.now(), std::nullopt, filePath};
    }

    // An image entry whose file lies in the history's own folder.
    ClipboardItem imageEntry(const AppState &state, const QString &name)
    {
        const QString path = state.store().subdirectory(u"Clipboard"_s) + u'/' + name;
        EXPECT_TRUE(test::writeFile(path, "png"));
        return entry(ClipboardItemKind::image, path, path);
    }

    static QByteArray encoded(const QImage &image, const char *format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }
};

} // namespace

TEST_F(AppStateClipboardTest, ACaptureReplacesItsTwinAndIsSaved)
{
    const ClipboardItem first = entry(ClipboardItemKind::link, u"https://a.example"_s);
    state->addClipboardCaptureResult({first});
    state->addClipboardCaptureResult({entry(ClipboardItemKind::text, u"https://a.example"_s)});
    clock.advance(std::chrono::seconds(3));
    const ClipboardItem again = entry(ClipboardItemKind::link, u"https://a.example"_s);
    state->addClipboardCaptureResult({again});
    ASSERT_EQ(state->clipboardItems().size(), 2u) << "a text of the same value is no twin";
    EXPECT_EQ(state->clipboardItems().front(), again);
    EXPECT_EQ(state->clipboardItems().back().kind, ClipboardItemKind::text);
    EXPECT_EQ(state->clipboardPulse(), 3);
    EXPECT_EQ(state->files().read<ClipboardItemsFile>(), state->clipboardItems());
}

TEST_F(AppStateClipboardTest, LoweringTheLimitKeepsTheNewestAndDeletesDroppedImages)
{
    std::vector<ClipboardItem> items;
    for (int i = 0; i < 25; ++i) {
        items.push_back(i % 3 == 0 ? imageEntry(*state, u"image-%1.png"_s.arg(i))
                                   : entry(ClipboardItemKind::text, u"text %1"_s.arg(i)));
    }
    state->setClipboardItems(items);
    state->setClipboardHistoryLimit(10);
    ASSERT_EQ(state->clipboardItems().size(), 10u);
    EXPECT_EQ(state->clipboardItems(), std::vector<ClipboardItem>(items.begin(), items.begin() + 10));
    for (int i = 0; i < 25; i += 3)
        EXPECT_EQ(QFile::exists(*items[i].filePath), i < 10) << i;
    EXPECT_EQ(state->files().read<ClipboardItemsFile>()->size(), 10u);
    EXPECT_EQ(defaults.integer(u"clipboardHistoryLimit"_s), 10);

    state->setClipboardHistoryLimit(15);
    EXPECT_EQ(state->clipboardHistoryLimit(), 40) << "a limit outside the choices";
    EXPECT_EQ(defaults.integer(u"clipboardHistoryLimit"_s), 40);
}

TEST_F(AppStateClipboardTest, ACaptureBeyondTheLimitDropsTheOldest)
{
    state->setClipboardHistoryLimit(10);
    const ClipboardItem oldest = imageEntry(*state, u"oldest.png"_s);
    state->addClipboardCaptureResult({oldest});
    for (int i = 0; i < 10; ++i)
        state->addClipboardCaptureResult({entry(ClipboardItemKind::text, u"t%1"_s.arg(i))});
    EXPECT_EQ(state->clipboardItems().size(), 10u);
    EXPECT_FALSE(QFile::exists(*oldest.filePath));
}

TEST_F(AppStateClipboardTest, TheHistoryFileAlwaysReadsBack)
{
    // Each character of these takes six bytes in the file, in the title and
    // the value: forty of them would be far past what the reader accepts.
    const QString escaped(100'000, QChar(0x01));
    for (int i = 0; i < 40; ++i)
        state->addClipboardCaptureResult({entry(ClipboardItemKind::text, escaped + QString::number(i))});
    const QString path = state->files().pathOf<ClipboardItemsFile>();
    EXPECT_LE(QFileInfo(path).size(), PersistedFiles::kMaxFileSize);
    ASSERT_GE(state->clipboardItems().size(), 10u);
    EXPECT_LT(state->clipboardItems().size(), 40u);
    EXPECT_EQ(state->clipboardItems().front().value, escaped + u"39"_s) << "the newest are kept";
    EXPECT_EQ(state->files().read<ClipboardItemsFile>(), state->clipboardItems());
}

TEST_F(AppStateClipboardTest, FilesOutsideTheClipboardFolderAreNeverDeleted)
{
    const QString outside = makeFile(u"Pictures/mine.png"_s);
    const QString clipboardFolder = state->store().subdirectory(u"Clipboard"_s);
    const QString sneaky = makeFile(u".local/share/Kolu/kept.png"_s);
    const ClipboardItem elsewhere = entry(ClipboardItemKind::image, outside, outside);
    const ClipboardItem climbing =
        entry(ClipboardItemKind::image, u"x"_s, QString(clipboardFolder + u"/../kept.png"_s));
    const ClipboardItem folderItself = entry(ClipboardItemKind::image, clipboardFolder, clipboardFolder);
    state->setClipboardItems({elsewhere, climbing, folderItself});
    state->deleteClipboardItem(elsewhere);
    state->clearClipboardHistory();
    EXPECT_TRUE(state->clipboardItems().empty());
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_TRUE(QFile::exists(sneaky));
    EXPECT_TRUE(QFileInfo(clipboardFolder).isDir());
}

TEST_F(AppStateClipboardTest, DeletingAnImageEntryRemovesItsFileAndClearingSaves)
{
    const ClipboardItem image = imageEntry(*state, u"one.png"_s);
    state->setClipboardItems({image, entry(ClipboardItemKind::text, u"t"_s)});
    state->deleteClipboardItem(image);
    EXPECT_EQ(state->clipboardItems().size(), 1u);
    EXPECT_FALSE(QFile::exists(*image.filePath));
    EXPECT_EQ(state->files().read<ClipboardItemsFile>()->size(), 1u);
    state->clearClipboardHistory();
    QFile::remove(state->files().pathOf<ClipboardItemsFile>());
    state->clearClipboardHistory(); // an empty history still saves
    EXPECT_EQ(state->files().read<ClipboardItemsFile>(), std::vector<ClipboardItem>{});
}

TEST_F(AppStateClipboardTest, ThePulseLastsUntilShortlyAfterTheLastCapture)
{
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            clock.advance(std::chrono::milliseconds(500));
        state->addClipboardCaptureResult({entry(ClipboardItemKind::text, u"t%1"_s.arg(i))});
    }
    EXPECT_EQ(state->clipboardPulse(), 3);
    layoutCalls = 0;
    clock.advance(std::chrono::milliseconds(1'399));
    EXPECT_TRUE(state->clipboardPulseActive());
    clock.advance(std::chrono::milliseconds(1));
    EXPECT_FALSE(state->clipboardPulseActive());
    EXPECT_EQ(layoutCalls, 1);
}

TEST_F(AppStateClipboardTest, OpeningTextCopiesItAndOtherKindsOpen)
{
    state->openClipboardItem(entry(ClipboardItemKind::text, u"hello"_s));
    EXPECT_EQ(services.pasteboard->text(), u"hello"_s);
    EXPECT_TRUE(services.urlOpener->opened.isEmpty());

    state->openClipboardItem(entry(ClipboardItemKind::link, u"https://a.example/x"_s));
    state->openClipboardItem(entry(ClipboardItemKind::link, u"not a link"_s));
    state->openClipboardItem(entry(ClipboardItemKind::file, u"/home/me/report.pdf"_s));
    EXPECT_EQ(services.urlOpener->opened, (QList<QUrl>{QUrl(u"https://a.example/x"_s),
                                                      QUrl::fromLocalFile(u"/home/me/report.pdf"_s)}));
    EXPECT_EQ(services.pasteboard->writes, 1);
}

TEST_F(AppStateClipboardTest, CopyingPutsEachKindBackInItsForm)
{
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::link, u"https://a.example"_s)));
    EXPECT_EQ(services.pasteboard->text(), u"https://a.example"_s);

    const QString file = makeFile(u"docs/a b.txt"_s);
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::file, file)));
    EXPECT_EQ(services.pasteboard->data(u"text/uri-list"_s), QUrl::fromLocalFile(file).toEncoded() + "\r\n");
}

TEST_F(AppStateClipboardTest, CopyingAnImageOffersPng)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray png = encoded(image, "PNG");
    const QString pngPath = makeFile(u"shot.png"_s, png);
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::image, u"ignored"_s, pngPath)));
    EXPECT_EQ(services.pasteboard->data(u"image/png"_s), png) << "a PNG file goes as it is";
    EXPECT_EQ(services.pasteboard->localImage().size(), QSize(4, 3));

    const QString jpegPath = makeFile(u"photo.jpg"_s, encoded(image, "JPG"));
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::image, jpegPath)));
    QImage offered;
    ASSERT_TRUE(offered.loadFromData(services.pasteboard->data(u"image/png"_s), "PNG"));
    EXPECT_EQ(offered.size(), QSize(4, 3));

    const QString broken = makeFile(u"broken.png"_s, "not an image");
    test::awaitTask(state->copyClipboardItem(entry(ClipboardItemKind::image, broken)));
    EXPECT_EQ(services.pasteboard->text(), broken) << "an unreadable image goes as its path";
}
