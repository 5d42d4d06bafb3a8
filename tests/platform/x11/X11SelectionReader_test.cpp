#include "platform/x11/X11SelectionReader.h"

#include "EventWait.h"
#include "PrivateDisplay.h"

#include <QProcess>
#include <QStandardPaths>

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
        {"leading space over several pieces", {"  \n", "\t ", " x y"}, 1, u"x y"_s, false},
        {"exactly at the limit", {"  abc", "   "}, 6, u"abc   "_s, true},
        {"cut two units past the limit", {"abcdefgh"}, 3, u"abcde"_s, false},
        // The code point after the limit comes whole, even split between
        // pieces, so that a cut there can tell whether it splits a flag.
        {"a code point of two units after the limit",
         {"abc\xf0\x9f", "\x87\xb8\xf0\x9f\x87\xa6"},
         3,
         u"abc\U0001F1F8"_s,
         false},
        {"one unit short of it", {"abc\xf0\x9f\x87\xb8"}, 4, u"abc\U0001F1F8"_s, true},
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

// Another program (xclip, then the test's own connection) owns the clipboard
// of a display of the test's own.
TEST(X11SelectionReader, BinaryContentArrivesWholeAndAbsentOrSilentOwnersEndTheRead)
{
    test::PrivateDisplay display(64, 64);
    if (!display.isRunning() || QStandardPaths::findExecutable(u"xclip"_s).isEmpty())
        GTEST_SKIP() << "needs Xvfb and xclip";
    xcb_connection_t *c = display.connection();
    const auto owner = [&] {
        auto *reply = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, display.atom("CLIPBOARD")), nullptr);
        const xcb_window_t window = reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
        std::free(reply);
        return window;
    };
    X11SelectionReader reader(display.name());
    EXPECT_TRUE(reader.formats().isEmpty()) << "nobody owns the clipboard";
    EXPECT_EQ(reader.text(), QString());

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    for (unsigned i = 0; png.size() < 3'000'000; ++i)
        png += char(i * 7919u % 256);
    QProcess xclip;
    xclip.setProcessEnvironment(display.environment());
    xclip.start(u"xclip"_s, {u"-quiet"_s, u"-selection"_s, u"clipboard"_s, u"-t"_s, u"image/png"_s});
    ASSERT_TRUE(xclip.waitForStarted(5000));
    xclip.write(png);
    xclip.closeWriteChannel();
    ASSERT_TRUE(test::waitUntil([&] { return owner() != XCB_WINDOW_NONE; }));
    EXPECT_TRUE(reader.formats().contains(u"image/png"_s));
    EXPECT_TRUE(reader.data(u"image/png"_s) == png);
    EXPECT_EQ(reader.data(u"image/png"_s, 100).size(), 101);

    // An owner that never answers: the read gives up (here at once) instead
    // of waiting for ever.
    const xcb_window_t silent = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, silent, display.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c, silent, display.atom("CLIPBOARD"), XCB_CURRENT_TIME);
    xcb_flush(c);
    ASSERT_TRUE(test::waitUntil([&] { return owner() == silent; }));
    X11SelectionReader impatient(display.name(), "CLIPBOARD", {0ms, 0ms});
    EXPECT_EQ(impatient.read("UTF8_STRING", [](QByteArrayView) { return true; }), X11SelectionReader::Outcome::failed);
    xclip.kill();
    xclip.waitForFinished(5000);
}

} // namespace
