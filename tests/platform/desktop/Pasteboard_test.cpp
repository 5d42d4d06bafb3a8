#include "platform/desktop/Pasteboard.h"
#include "platform/x11/X11Pasteboard.h"

#include "model/LocalStore.h"
#include "services/clipboard/ClipboardService.h"

#include "AwaitTask.h"
#include "ClipboardLock.h"
#include "EventWait.h"
#include "ManualClock.h"
#include "ScopedUmask.h"
#include "TemporaryHome.h"
#include "WorkersHeld.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

QClipboard &clipboard()
{
    return *QGuiApplication::clipboard();
}

// What the service took in from the clipboard; an empty item when nothing.
ClipboardItem captured(ClipboardService &service)
{
    const auto result = test::awaitTask(service.captureLatestIfNeeded());
    EXPECT_TRUE(result) << "nothing was captured";
    return result ? result->item : ClipboardItem{};
}

// A copied log of `lines`-long lines, at least `size` bytes.
QByteArray copiedLog(qsizetype size, const QByteArray &lines)
{
    QByteArray text;
    text.reserve(size + 64);
    for (int i = 0; text.size() < size; ++i)
        text += "line " + QByteArray::number(i) + lines;
    return text;
}

class SystemPasteboardTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_lock.isReady()) << "the clipboard of this display could not be had"; }

private:
    test::ClipboardLock m_lock;
};

TEST_F(SystemPasteboardTest, CountsChangesOfTheClipboardOnlyIncludingItsOwnWrites)
{
    SystemPasteboard pasteboard;
    const qint64 start = pasteboard.changeCount();
    clipboard().setText(u"one"_s);
    clipboard().setText(u"two"_s);
    EXPECT_EQ(pasteboard.changeCount(), start + 2);
    if (clipboard().supportsSelection()) {
        clipboard().setText(u"selected"_s, QClipboard::Selection);
        EXPECT_EQ(pasteboard.changeCount(), start + 2);
    }
    EXPECT_EQ(pasteboard.text(), u"two"_s);
    EXPECT_TRUE(pasteboard.formats().contains(u"text/plain"_s));
    EXPECT_TRUE(pasteboard.localImage().isNull());

    // Kolu's own writes replace the content and count as changes too.
    pasteboard.writeText(u"again"_s);
    EXPECT_EQ(pasteboard.text(), u"again"_s);
    const QList<QUrl> files{QUrl::fromLocalFile(u"/tmp/kolu a.txt"_s)};
    pasteboard.writeFiles(files);
    EXPECT_EQ(pasteboard.data(u"x-special/gnome-copied-files"_s), gnomeCopiedFiles(files));
    EXPECT_TRUE(pasteboard.data(u"text/uri-list"_s).startsWith("file:///tmp/kolu%20a.txt"));
    EXPECT_TRUE(pasteboard.data(u"image/png"_s).isEmpty());
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    pasteboard.writeImage(image, "png bytes");
    EXPECT_EQ(pasteboard.data(u"image/png"_s), "png bytes");
    EXPECT_EQ(pasteboard.changeCount(), start + 5);
}

TEST(GnomeCopiedFiles, ListsEveryFileAfterTheVerb)
{
    EXPECT_EQ(gnomeCopiedFiles({QUrl::fromLocalFile(u"/a b"_s), QUrl::fromLocalFile(u"/c"_s)}),
              "copy\nfile:///a%20b\nfile:///c");
}

TEST_F(SystemPasteboardTest, FeedsTheCaptureService)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    SystemPasteboard pasteboard;
    clipboard().setText(u"there before"_s);
    ClipboardService service(pasteboard, LocalStore(home.dataHome()).subdirectory(u"Clipboard"_s), clock, {});
    EXPECT_FALSE(test::awaitTask(service.captureLatestIfNeeded()));

    clipboard().setText(u"kolu.test/docs"_s);
    const ClipboardItem link = captured(service);
    EXPECT_EQ(std::pair(link.kind, link.value), std::pair(ClipboardItemKind::link, u"https://kolu.test/docs"_s));

    QImage image(16, 9, QImage::Format_RGB32);
    image.fill(Qt::blue);
    clipboard().setImage(image);
    EXPECT_EQ(pasteboard.localImage().size(), QSize(16, 9)); // copied in this process: no encoding
    const ClipboardItem shot = captured(service);
    EXPECT_EQ(std::pair(shot.kind, QImage(shot.value).size()), std::pair(ClipboardItemKind::image, QSize(16, 9)));
}

// Another program takes the clipboard: what Kolu sees comes over X11.
class ForeignClipboardTest : public SystemPasteboardTest {
protected:
    void SetUp() override
    {
        SystemPasteboardTest::SetUp();
        if (HasFatalFailure())
            return;
        if (QGuiApplication::platformName() != u"xcb"_s || QStandardPaths::findExecutable(u"xclip"_s).isEmpty())
            GTEST_SKIP() << "needs an X display and xclip";
    }

    void TearDown() override
    {
        if (owner.state() != QProcess::NotRunning) {
            owner.kill();
            owner.waitForFinished(5000);
        }
    }

    // Starts xclip serving `bytes` as `type` and waits (bounded) until the
    // change has reached this process.
    bool offer(const QByteArray &type, const QByteArray &bytes)
    {
        const qint64 before = pasteboard.changeCount();
        owner.start(u"xclip"_s, {u"-quiet"_s, u"-selection"_s, u"clipboard"_s, u"-t"_s, QString::fromLatin1(type)});
        if (!owner.waitForStarted(5000))
            return false;
        owner.write(bytes);
        owner.closeWriteChannel();
        return test::waitUntil([&] { return pasteboard.changeCount() != before; });
    }

    test::TemporaryHome home;
    test::ManualClock clock;
    SystemPasteboard pasteboard;
    const QString folder = LocalStore(home.dataHome()).subdirectory(u"Clipboard"_s);
    ClipboardService service{pasteboard, folder, clock, {}};
    QProcess owner;
};

TEST_F(ForeignClipboardTest, AnotherProgramsImageArrivesEncoded)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    ASSERT_TRUE(offer("image/png", png));

    EXPECT_TRUE(pasteboard.formats().contains(u"image/png"_s));
    EXPECT_TRUE(pasteboard.localImage().isNull()); // never decoded here
    EXPECT_EQ(pasteboard.data(u"image/png"_s), png);
    const ClipboardItem item = captured(service);
    EXPECT_EQ(std::pair(item.kind, QImage(item.value).size()), std::pair(ClipboardItemKind::image, QSize(20, 10)));
}

TEST_F(ForeignClipboardTest, AnotherProgramsLongTextArrivesWhole)
{
    ASSERT_TRUE(offer("UTF8_STRING", copiedLog(3'000'000, " of a long copied log\n")));
    const ClipboardItem item = captured(service);
    EXPECT_EQ(std::tuple(item.kind, item.title, item.value.size()),
              std::tuple(ClipboardItemKind::text, u"line 0 of a long copied log"_s, clipboard::kMaxKeptTextLength));
}

TEST_F(ForeignClipboardTest, AFiftyMegabyteCopyIsFetchedOnAWorkerOnlyAsFarAsKept)
{
    X11Pasteboard x11;
    ClipboardService x11Service{x11, folder, clock, {}};
    const QByteArray text = copiedLog(50'000'000, " of a very long copied log\n");
    const qint64 before = x11.changeCount();
    ASSERT_TRUE(offer("UTF8_STRING", text));
    ASSERT_TRUE(test::waitUntil([&] { return x11.changeCount() != before; }));

    EXPECT_TRUE(x11.workerReader());
    EXPECT_EQ(captured(x11Service).value, QString::fromUtf8(text.first(clipboard::kMaxKeptTextLength)));
    // The transfer stopped early, and the owner still serves the next one.
    EXPECT_EQ(x11.workerReader()->data(u"UTF8_STRING"_s, 10), text.first(11));

    // Stopped at the bound, the text is still cut between whole characters:
    // a flag or a thumb with its skin tone across it is left out whole.
    for (const auto &[filler, across] :
         {std::pair(u'd', u"\U0001F1F8\U0001F1E6TAIL"_s), std::pair(u's', u"👍🏽"_s)}) {
        owner.kill();
        owner.waitForFinished(5000);
        const QString kept(clipboard::kMaxKeptTextLength - 2, QChar(filler));
        ASSERT_TRUE(offer("UTF8_STRING", QString(kept + across).toUtf8()));
        // The killed owner's leaving is a change too, and may be noticed
        // after the offer: the new owner is read only once it serves.
        ASSERT_TRUE(
            test::waitUntil([&] { return x11.workerReader()->data(u"UTF8_STRING"_s, 1).startsWith(char(filler)); }));
        EXPECT_EQ(captured(x11Service).value, kept);
    }

    // Kolu's own copy is read through Qt, on the main thread.
    x11.writeText(u"from Kolu itself"_s);
    EXPECT_FALSE(x11.workerReader());
    EXPECT_EQ(x11.text(), u"from Kolu itself"_s);
}

// A password manager's copy, marked secret by its owner: neither the copy in
// Qt's hands nor the one a worker fetches over X leaves a row or a picture.
TEST_F(ForeignClipboardTest, ACopyItsOwnerMarksSecretIsNotCaptured)
{
    const test::ScopedUmask umask(022); // a session's common one
    X11Pasteboard x11;
    ClipboardService x11Service{x11, folder, clock, {}};
    std::vector<std::unique_ptr<QProcess>> owners;
    const auto ownedBy = [&](const QStringList &targets) {
        const qint64 before[] = {pasteboard.changeCount(), x11.changeCount()};
        auto process = std::make_unique<QProcess>();
        process->start(QStringLiteral(KOLU_CLIPBOARD_OWNER), targets);
        QProcess &started = *owners.emplace_back(std::move(process));
        return started.waitForStarted(5000) && test::waitUntil([&] { return started.canReadLine(); })
               && started.readLine() == "ready\n"
               && test::waitUntil([&] { return pasteboard.changeCount() != before[0]; })
               && test::waitUntil([&] { return x11.changeCount() != before[1]; });
    };
    const auto capturedBy = [](ClipboardService &capture) { return test::awaitTask(capture.captureLatestIfNeeded()); };
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString png = home.path(u"secret.png"_s);
    ASSERT_TRUE(image.save(png, "PNG"));

    for (const QString &mark : {u"secret"_s, u"public"_s}) {
        SCOPED_TRACE(mark.toStdString());
        const QString hint = u"x-kde-passwordManagerHint="_s + mark;
        ASSERT_TRUE(ownedBy({u"text/plain=hunter2secretword"_s, hint}));
        EXPECT_TRUE(pasteboard.formats().contains(u"x-kde-passwordManagerHint"_s));
        const auto throughQt = capturedBy(service);
        ASSERT_TRUE(ownedBy({u"text/plain=correct horse battery"_s, hint}));
        EXPECT_TRUE(x11.workerReader());
        const auto overX = capturedBy(x11Service);
        ASSERT_TRUE(ownedBy({u"image/png=@"_s + png, hint}));
        const auto picture = capturedBy(service);
        if (mark == u"secret"_s) {
            EXPECT_FALSE(throughQt || overX || picture);
            EXPECT_TRUE(QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        } else {
            // Any other value is no mark: the test's copies are captured.
            EXPECT_EQ(throughQt ? throughQt->item.value : QString(), u"https://hunter2secretword"_s);
            EXPECT_EQ(overX ? overX->item.value : QString(), u"correct horse battery"_s);
            ASSERT_TRUE(picture);
            EXPECT_EQ(QFile::permissions(picture->item.value) & 0x0fff, QFile::ReadUser | QFile::WriteUser)
                << "the user's alone, whatever the umask";
        }
    }

    // The mark counts in any casing, and so does one its owner does not give
    // in time: the copy is kept out rather than risked.
    ASSERT_TRUE(ownedBy({u"text/plain=hunter2 in capitals"_s, u"X-KDE-PASSWORDMANAGERHINT=secret"_s}));
    EXPECT_FALSE(capturedBy(service));
    ASSERT_TRUE(ownedBy({u"text/plain=hunter2 in capitals over X"_s, u"X-Kde-PasswordManagerHint=Secret"_s}));
    EXPECT_FALSE(capturedBy(x11Service));
    X11Pasteboard hasty({}, {.silence = std::chrono::seconds(1)});
    ClipboardService hastyService{hasty, folder, clock, {}};
    ASSERT_TRUE(ownedBy({u"text/plain=hunter2 answered slowly"_s, u"x-kde-passwordManagerHint=!"_s}));
    EXPECT_FALSE(capturedBy(hastyService));
    QProcess &slow = *owners.back();
    EXPECT_TRUE(test::waitUntil([&] { return slow.canReadLine(); })
                && slow.readLine() == "withheld x-kde-passwordManagerHint\n")
        << "the mark was asked for and not given";

    // A mark ended by a NUL, as a C string, is the same mark.
    const QString nulEnded = home.path(u"hint"_s);
    QFile hintFile(nulEnded);
    ASSERT_TRUE(hintFile.open(QIODevice::WriteOnly) && hintFile.write("secret\0", 7) == 7);
    hintFile.close();
    ASSERT_TRUE(ownedBy({u"text/plain=hunter2 as a C string"_s, u"x-kde-passwordManagerHint=@"_s + nulEnded}));
    EXPECT_FALSE(capturedBy(x11Service));

    // A list of formats that does not come whole (too late, refused, or
    // longer than is read) may hide the mark: the copy is kept out, though
    // its text would be given.
    for (const QString &list : {u"!"_s, u"-"_s, u"+20000"_s}) {
        SCOPED_TRACE(list.toStdString());
        const QString secret = u"hunter2 behind the list "_s + list; // each new to the history
        ASSERT_TRUE(ownedBy({u"text/plain="_s + secret, u"TARGETS="_s + list}));
        EXPECT_FALSE(capturedBy(hastyService));
        EXPECT_EQ(hasty.workerReader()->text(), secret);
    }
    EXPECT_TRUE(test::waitUntil([&] { return owners[owners.size() - 3]->canReadLine(); })
                && owners[owners.size() - 3]->readLine() == "withheld TARGETS\n");
    for (const auto &owner : owners) {
        owner->kill();
        owner->waitForFinished(5000);
    }
}

TEST_F(ForeignClipboardTest, APasteboardGoneWhileAWorkerReadsEndsTheCaptureSafely)
{
    auto x11 = std::make_unique<X11Pasteboard>();
    auto x11Service = std::make_unique<ClipboardService>(*x11, folder, clock, QStringList());
    const qint64 before = x11->changeCount();
    ASSERT_TRUE(offer("UTF8_STRING", "copied by another program"));
    ASSERT_TRUE(test::waitUntil([&] { return x11->changeCount() != before; }));
    test::WorkersHeld held;
    auto capture = test::startTask(x11Service->captureLatestIfNeeded());
    x11Service.reset();
    x11.reset();
    held.release();
    EXPECT_FALSE(capture.wait());
}

} // namespace
