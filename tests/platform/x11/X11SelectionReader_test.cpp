#include "platform/x11/X11SelectionReader.h"

#include "EventWait.h"
#include "PrivateDisplay.h"

#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

TEST(BoundedTextCollector, DecodesSplitCharactersDropsLeadingSpaceAndStopsPastTheLimit)
{
    const struct {
        const char *name;
        QList<QByteArray> pieces;
        qsizetype limit;
        QString text;
        bool wantsMore;
    } cases[] = {
        {"a character split between pieces", {"caf\xc3", "\xa9 \xe2\x82", "\xac"}, -1, u"café €"_s, true},
        {"leading space over several pieces", {"  \n", "\t ", " x y"}, 2, u"x y"_s, false},
        {"exactly at the limit", {"  abc", "   "}, 6, u"abc   "_s, true},
        {"cut one unit past the limit", {"abcdefgh"}, 3, u"abcd"_s, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        BoundedTextCollector collector(QStringConverter::Utf8, c.limit);
        bool wantsMore = true;
        for (const QByteArray &piece : c.pieces)
            wantsMore = collector.add(piece);
        EXPECT_EQ(wantsMore, c.wantsMore);
        EXPECT_EQ(collector.take(), c.text);
    }
}

// Another program (xclip, or the test's own connection) owns the clipboard
// of a display of the test's own.
class X11SelectionReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!display.isRunning() || QStandardPaths::findExecutable(u"xclip"_s).isEmpty())
            GTEST_SKIP() << "needs Xvfb and xclip";
    }

    void TearDown() override
    {
        owner.kill();
        owner.waitForFinished(5000);
    }

    xcb_window_t selectionOwner() const
    {
        xcb_connection_t *c = display.connection();
        auto *reply = xcb_get_selection_owner_reply(
            c, xcb_get_selection_owner(c, display.atom("CLIPBOARD")), nullptr);
        const xcb_window_t window = reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
        std::free(reply);
        return window;
    }

    // xclip serves `bytes` as `target` until the test ends.
    bool offer(const QByteArray &target, const QByteArray &bytes)
    {
        owner.setProcessEnvironment(display.environment());
        owner.start(u"xclip"_s, {u"-quiet"_s, u"-selection"_s, u"clipboard"_s, u"-t"_s, QString::fromLatin1(target)});
        if (!owner.waitForStarted(5000))
            return false;
        owner.write(bytes);
        owner.closeWriteChannel();
        return test::waitUntil([this] { return selectionOwner() != XCB_WINDOW_NONE; });
    }

    test::PrivateDisplay display{64, 64};
    QProcess owner;
};

TEST_F(X11SelectionReaderTest, AFiftyMegabyteTextIsReadOnlyAsFarAsNeeded)
{
    QByteArray text = "\n   ";
    while (text.size() < 50'000'000)
        text += "ein Stück Text, Zeile für Zeile kopiert \xe2\x80\x94 ";
    ASSERT_TRUE(offer("UTF8_STRING", text));

    X11SelectionReader reader(display.name());
    EXPECT_TRUE(reader.formats().contains(u"text/plain"_s));
    // Read on a worker thread, as the capture does; the rest is never sent.
    QString read;
    std::unique_ptr<QThread> worker(QThread::create([&] { read = reader.text(200'000); }));
    worker->start();
    ASSERT_TRUE(test::waitUntil([&] { return worker->isFinished(); }));
    EXPECT_EQ(read.size(), 200'001);
    EXPECT_TRUE(QString::fromUtf8(text).trimmed().startsWith(read));

    // Later transfers still work after one was abandoned.
    EXPECT_EQ(reader.data(u"UTF8_STRING"_s, 10), text.first(11));
}

TEST_F(X11SelectionReaderTest, BinaryContentArrivesWholeAndAbsentOrSilentOwnersEndTheRead)
{
    X11SelectionReader reader(display.name());
    EXPECT_TRUE(reader.formats().isEmpty()) << "nobody owns the clipboard";
    EXPECT_EQ(reader.text(), QString());

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    for (unsigned i = 0; png.size() < 3'000'000; ++i)
        png += char(i * 7919u % 256);
    ASSERT_TRUE(offer("image/png", png));
    EXPECT_TRUE(reader.formats().contains(u"image/png"_s));
    EXPECT_TRUE(reader.data(u"image/png"_s) == png);
    EXPECT_EQ(reader.data(u"image/png"_s, 100).size(), 101);

    // An owner that never answers: the read gives up (here at once) instead
    // of waiting for ever.
    xcb_connection_t *c = display.connection();
    const xcb_window_t silent = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, silent, display.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c, silent, display.atom("CLIPBOARD"), XCB_CURRENT_TIME);
    xcb_flush(c);
    ASSERT_TRUE(test::waitUntil([&] { return selectionOwner() == silent; }));
    X11SelectionReader impatient(display.name(), "CLIPBOARD", {0ms, 0ms});
    EXPECT_EQ(impatient.read("UTF8_STRING", [](QByteArrayView) { return true; }),
              X11SelectionReader::Outcome::failed);
}

} // namespace
