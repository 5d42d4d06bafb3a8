#include "services/clipboard/ClipboardService.h"

#include "model/LocalStore.h"

#include "../ServiceTests.h"
#include "FakePasteboard.h"
#include "ScreenshotImage.h"
#include "WorkersHeld.h"

#include <QBuffer>
#include <QtEndian>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>

using namespace kolu;

namespace {

QImage sampleImage(QRgb colour, int width = 64, int height = 48)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QByteArray encoded(const QImage &image, const char *format = "PNG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A BMP of one pixel whose header claims `width` x `height`: the reader
// learns the size without the pixel data.
QByteArray bmpHeader(qint32 width, qint32 height)
{
    QByteArray bytes = encoded(sampleImage(0, 1, 1), "BMP");
    qToLittleEndian(width, bytes.data() + 18);
    qToLittleEndian(height, bytes.data() + 22);
    return bytes;
}

struct ClipboardServiceTest : ::testing::Test {
    std::optional<ClipboardCaptureResult> poll() { return test::awaitTask(service.captureLatestIfNeeded()); }
    std::optional<ClipboardCaptureResult> scan() { return test::awaitTask(service.captureRecentScreenshotIfNeeded()); }
    std::optional<ClipboardCaptureResult> copyText(const QString &text)
    {
        pasteboard.copy().setText(text);
        return poll();
    }
    // The item a poll or scan must capture; none fails the test.
    static ClipboardItem captured(const std::optional<ClipboardCaptureResult> &result) { return result.value().item; }
    QStringList storedFiles() const { return QDir(imageDirectory).entryList(QDir::Files, QDir::Name); }
    void makeFile(const QString &relative, const QDateTime &modified, const QByteArray &bytes = {})
    {
        EXPECT_TRUE(
            test::writeFile(home.path(relative), bytes.isEmpty() ? "pixels of " + relative.toUtf8() : bytes, modified));
    }

    test::TemporaryHome home;
    test::ManualClock clock;
    test::FakePasteboard pasteboard;
    QString imageDirectory = LocalStore(home.dataHome()).subdirectory(u"Clipboard"_s);
    QStringList folders{home.path(u"Pictures/Screenshots"_s), home.path(u"Pictures"_s), home.path(u"Desktop"_s)};
    ClipboardService service{pasteboard, imageDirectory, clock, folders};
};

TEST_F(ClipboardServiceTest, OnlyAChangeMadeAfterCreationIsReadAndTextIsTrimmedTitledAndKnownAgain)
{
    pasteboard.copy().setText(u"copied before launch"_s);
    ClipboardService late(pasteboard, imageDirectory, clock, folders);
    EXPECT_FALSE(test::awaitTask(late.captureLatestIfNeeded()));

    ASSERT_TRUE(copyText(u"first copy"_s));
    pasteboard.reads = 0;
    EXPECT_FALSE(poll());
    EXPECT_EQ(pasteboard.reads, 0);

    // Text is trimmed, titled by its first line and known again whatever its whitespace.
    const QString longLine(100, u'x');
    const ClipboardItem item = captured(copyText(QString(u"\n   "_s + longLine + u"\nsecond line  \n\n"_s)));
    EXPECT_EQ(item.kind, ClipboardItemKind::text);
    EXPECT_EQ(item.value, QString(longLine + u"\nsecond line"_s));
    EXPECT_EQ(item.title, QString(80, u'x'));
    EXPECT_EQ(item.dateAdded, clock.now());
    EXPECT_FALSE(copyText(QString(u"  \t"_s + longLine + u"\nsecond line"_s)));
}

TEST_F(ClipboardServiceTest, SingleWebTokensBecomeLinksOtherAddressesStayTextAndACopiedFileIsReferencedInPlace)
{
    const auto link = ClipboardItemKind::link;
    const struct {
        QString copied;
        ClipboardItemKind kind;
        QString value;
    } cases[] = {
        {u"  example.com/path?q=1 "_s, link, u"https://example.com/path?q=1"_s},
        {u"http://kolu.test/a"_s, link, u"http://kolu.test/a"_s},
        {u"q"_s, link, u"https://q"_s}, // a plain word, even one character, reads as a host name
        {u"http://example.com/a b"_s, ClipboardItemKind::text, u"http://example.com/a b"_s},
        {u"mailto:someone@example.com"_s, ClipboardItemKind::text, u"mailto:someone@example.com"_s},
        {QString(300'000, u'a'), ClipboardItemKind::text, QString(clipboard::kMaxKeptTextLength, u'a')},
    };
    for (const auto &c : cases) {
        const ClipboardItem item = captured(copyText(c.copied));
        EXPECT_EQ(item.kind, c.kind) << c.copied.left(40).toStdString();
        EXPECT_EQ(item.value, c.value);
        EXPECT_EQ(item.sourceURL, c.kind == link ? std::optional(c.value) : std::nullopt);
    }
    // A link is titled by its host; the same address again is known.
    EXPECT_EQ(captured(copyText(u"example.org/x"_s)).title, u"example.org"_s);
    EXPECT_FALSE(copyText(u"https://example.com/path?q=1"_s));

    // An explicit address counts only without text, and only on the web.
    pasteboard.copy().setText(u"   "_s).setUrls({QUrl(u"https://kolu.test/page"_s)});
    EXPECT_EQ(captured(poll()).kind, link);
    pasteboard.copy().setText(u"caption text"_s).setUrls({QUrl(u"https://kolu.test/other"_s)});
    EXPECT_EQ(captured(poll()).kind, ClipboardItemKind::text);
    pasteboard.copy().setUrls({QUrl(u"mailto:a@b.test"_s)});
    EXPECT_FALSE(poll());

    // A copied file is referenced in place, whatever list carries it.
    const QString path = home.path(u"Documents/report final.pdf"_s);
    pasteboard.copy().setUrls({QUrl(u"https://kolu.test"_s), QUrl::fromLocalFile(path)}).setText(u"report final.pdf"_s);
    const ClipboardItem item = captured(poll());
    EXPECT_EQ(item.kind, ClipboardItemKind::file);
    EXPECT_EQ(item.title, u"report final.pdf"_s);
    EXPECT_EQ(item.filePath, path);
    EXPECT_TRUE(storedFiles().isEmpty());
    pasteboard.copy().setUrls({QUrl::fromLocalFile(path)});
    EXPECT_FALSE(poll());
    pasteboard.copy().setUrls({QUrl::fromLocalFile(home.path(u"Documents/"_s))});
    EXPECT_EQ(captured(poll()).title, u"Documents"_s);

    const QString cat = home.path(u"Pictures/cat.jpg"_s);
    pasteboard.copy().setData(u"x-special/gnome-copied-files"_s, "copy\n" + QUrl::fromLocalFile(cat).toEncoded());
    EXPECT_EQ(captured(poll()).value, cat);
    QList<QUrl> urls;
    for (int i = 0; i < 10'000; ++i)
        urls.append(QUrl::fromLocalFile(home.path(u"many/file-%1.txt"_s.arg(i))));
    pasteboard.copy().setUrls(urls);
    EXPECT_EQ(captured(poll()).value, home.path(u"many/file-0.txt"_s));
}

TEST_F(ClipboardServiceTest, ShortBlankOrBinaryTextIsIgnoredButConsumedAndTheOldestFingerprintForgottenFirst)
{
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 37 + 11) % 256);
    for (const QString &ignored : {u"%"_s, u" \n\t "_s, QString::fromLatin1(noise), QString(u"text\0with a NUL"_s)}) {
        EXPECT_FALSE(copyText(ignored)) << ignored.left(20).toStdString();
        pasteboard.reads = 0;
        EXPECT_FALSE(poll());
        EXPECT_EQ(pasteboard.reads, 0);
    }
    // Ordinary text with a few tabs and a stray control character is fine;
    // as the first of 81 captures it is the only one forgotten.
    const QString first = u"name\tvalue\x01\nnext\tline"_s;
    EXPECT_TRUE(copyText(first));
    for (int i = 1; i <= clipboard::kFingerprintCapacity; ++i)
        ASSERT_TRUE(copyText(u"distinct copy number %1"_s.arg(i)));
    EXPECT_FALSE(copyText(u"distinct copy number %1"_s.arg(clipboard::kFingerprintCapacity)));
    EXPECT_FALSE(copyText(u"distinct copy number 1"_s));
    EXPECT_TRUE(copyText(first));
}

TEST_F(ClipboardServiceTest, AnImageIsStoredAsPngOnceNeverOverAnEarlierFileAndAFailedWriteIsNotRetried)
{
    const QImage image = sampleImage(qRgb(200, 40, 10));
    pasteboard.copy().setLocalImage(image);
    const ClipboardItem item = captured(poll());
    EXPECT_TRUE(item.kind == ClipboardItemKind::image && item.filePath == item.value);
    // Named as the file-name rule says (tested with it).
    EXPECT_EQ(storedFiles(), QStringList{clipboard::captureFileName(u"clipboard-"_s, clock.now(), u"png"_s)});
    QImageReader reader(item.value);
    EXPECT_EQ(reader.format(), "png");
    EXPECT_EQ(reader.read().convertToFormat(QImage::Format_ARGB32), image);
    pasteboard.copy().setLocalImage(image);
    EXPECT_FALSE(poll());

    // The clock stands still, so the next images get the same time stamp.
    for (int shade = 1; shade <= 2; ++shade) {
        pasteboard.copy().setLocalImage(sampleImage(qRgb(shade, shade, shade)));
        ASSERT_TRUE(poll());
    }
    EXPECT_EQ(storedFiles().filter(QRegularExpression(u"-[23]\\.png$"_s)).size(), 2)
        << storedFiles().join(u' ').toStdString();

    // A failed write gives nothing and is not retried.
    ClipboardService broken(pasteboard, home.path(u"missing/parent/Clipboard"_s), clock, folders);
    ASSERT_TRUE(test::writeFile(home.path(u"missing"_s))); // a file where the folder should be
    for (int attempt = 0; attempt < 2; ++attempt) {
        pasteboard.copy().setLocalImage(sampleImage(qRgb(9, 9, 9)));
        EXPECT_FALSE(test::awaitTask(broken.captureLatestIfNeeded()));
    }
}

// A copied 4K screenshot is stored compressed, without loss: a few
// megabytes where its 33 MB of pixels used to be written as they were.
TEST_F(ClipboardServiceTest, AFourKScreenshotIsStoredCompressedAndReadsBackAsCopied)
{
    const QImage image = test::screenshotLikeImage();
    pasteboard.copy().setLocalImage(image);
    const ClipboardItem item = captured(test::awaitTask(service.captureLatestIfNeeded(), std::chrono::minutes(1)));
    const qint64 stored = QFileInfo(item.value).size();
    EXPECT_GT(stored, 0);
    EXPECT_LT(stored, 4 * 1024 * 1024) << stored << " bytes";
    EXPECT_EQ(QImage(item.value).convertToFormat(QImage::Format_ARGB32), image);
}

// Encoded bytes win over a file; unreadable ones fall through to text; a
// huge image is skipped without decoding.
TEST_F(ClipboardServiceTest, ImageDataFromOtherProgramsIsReadWithCareUpToThePixelBound)
{
    pasteboard.copy()
        .setData(u"image/bmp"_s, QByteArray("not an image"))
        .setData(u"image/png"_s, encoded(sampleImage(qRgb(1, 2, 3))))
        .setUrls({QUrl::fromLocalFile(home.path(u"Documents/a.pdf"_s))});
    EXPECT_EQ(captured(poll()).kind, ClipboardItemKind::image);
    pasteboard.copy().setData(u"image/x-unknown"_s, QByteArray(1000, '\x07')).setText(u"alt text of it"_s);
    EXPECT_EQ(captured(poll()).value, u"alt text of it"_s);

    pasteboard.copy().setData(u"image/bmp"_s, bmpHeader(8000, 8000)).setText(u"fallback text"_s);
    EXPECT_FALSE(poll());
    QByteArray tooManyBytes = encoded(sampleImage(qRgb(5, 5, 5)));
    tooManyBytes.resize(clipboard::kMaxImageBytes + 1);
    pasteboard.copy().setData(u"image/png"_s, tooManyBytes);
    EXPECT_FALSE(poll());
    EXPECT_EQ(storedFiles().size(), 1);
    // A truncated image within bounds is read as far as it goes or dropped, never a crash.
    pasteboard.copy().setData(u"image/bmp"_s, bmpHeader(100, 100));
    (void)poll();

    // An image just within the pixel bound is captured: 36 million pixels,
    // 144 MB decoded, more than Qt's own default limit.
    pasteboard.copy().setData(u"image/png"_s, encoded(sampleImage(qRgb(9, 90, 200), 6000, 6000)));
    // Decoding and encoding that many pixels takes a while on a busy machine.
    const auto result = test::awaitTask(service.captureLatestIfNeeded(), std::chrono::minutes(1));
    EXPECT_EQ(QImageReader(captured(result).value).size(), QSize(6000, 6000));
}

TEST_F(ClipboardServiceTest, AnotherProgramsCopyIsReadOnAWorkerAndAPollMeanwhileLeavesTheChangeForLater)
{
    pasteboard.offMainThread = true;
    const QString huge = QString(u"  another program's text\n"_s).repeated(100'000);
    pasteboard.copy().setText(huge);
    test::WorkersHeld held;
    auto capture = test::startTask(service.captureLatestIfNeeded());
    EXPECT_EQ(pasteboard.reads, 0) << "read on the main thread";
    held.release();
    const ClipboardItem item = captured(capture.wait());
    EXPECT_GT(pasteboard.reads, 0);
    EXPECT_EQ(item.value, huge.trimmed().left(clipboard::kMaxKeptTextLength));
    EXPECT_LE(item.title.size(), 80);

    // A poll while a capture is prepared leaves the change for later.
    pasteboard.offMainThread = false;
    pasteboard.copy().setText(u"the first of two copies"_s);
    test::WorkersHeld again; // the first capture stays in preparation
    auto first = test::startTask(service.captureLatestIfNeeded());
    pasteboard.copy().setText(u"the second of two copies"_s);
    EXPECT_FALSE(poll());
    again.release();
    EXPECT_EQ(captured(first.wait()).value, u"the first of two copies"_s);
    EXPECT_EQ(captured(poll()).value, u"the second of two copies"_s);
}

TEST_F(ClipboardServiceTest, TheNewestRecentScreenshotAcrossFoldersIsCopiedOnce)
{
    makeFile(u"Pictures/Screenshots/Screenshot a.png"_s, clock.now().addSecs(-40), "older");
    makeFile(u"Desktop/SCREEN SHOT b.JPG"_s, clock.now().addSecs(-20), "newer");
    const ClipboardItem item = captured(scan());
    EXPECT_EQ(storedFiles(), QStringList{clipboard::captureFileName(u"screenshot-"_s, clock.now(), u"JPG"_s)});
    EXPECT_TRUE(item.kind == ClipboardItemKind::image && test::readFile(item.value) == "newer");
    EXPECT_TRUE(QFile::exists(home.path(u"Desktop/SCREEN SHOT b.JPG"_s)));
    // The newest is known now, also under another name: nothing, even
    // though an older candidate remains.
    clock.advance(5s);
    EXPECT_FALSE(scan());
    makeFile(u"Pictures/Screenshot c.png"_s, clock.now(), "newer");
    EXPECT_FALSE(scan());
}

TEST_F(ClipboardServiceTest, OnlyFilesDatedWithinTheWindowCountAndScansOverlapByASecond)
{
    makeFile(u"Desktop/Screenshot old.png"_s, clock.now().addSecs(-180));
    makeFile(u"Desktop/Screenshot future.png"_s, clock.now().addSecs(3));
    EXPECT_FALSE(scan());
    const QDateTime firstScan = clock.now();
    clock.advance(10s);
    // Dated half a second before the previous scan: still inside the overlap.
    makeFile(u"Desktop/Screenshot edge.png"_s, firstScan.addMSecs(-500));
    EXPECT_TRUE(scan());
    clock.advance(10s);
    makeFile(u"Desktop/Screenshot late.png"_s, clock.now().addSecs(-12));
    EXPECT_FALSE(scan());
}

TEST_F(ClipboardServiceTest, ScreenshotNamesExtensionsHiddenFilesAndLinksAreChecked)
{
    const QDateTime recent = clock.now().addSecs(-10);
    for (const QString &skipped :
         {u"Desktop/holiday.png"_s, u"Desktop/Screenshot notes.txt"_s, u"Desktop/.Screenshot hidden.png"_s,
          u"Pictures/Screenshots/2026/Screenshot in a subfolder.png"_s})
        makeFile(skipped, recent);
    QDir().mkpath(home.path(u"Desktop/Screenshot folder.png"_s));
    QFile::link(home.path(u"Desktop/holiday.png"_s), home.path(u"Desktop/Screenshot link.png"_s));
    EXPECT_FALSE(scan());

    clock.advance(1s);
    makeFile(u"Pictures/لقطة شاشة 2026.jpeg"_s, clock.now());
    EXPECT_TRUE(scan());
}

} // namespace
