// The rail's window when a compositor starts after Kolu, frame by frame.

#include "RailFramesFixture.h"

namespace {

class CompositorStartedLaterTest : public RailFramesTest { };

} // namespace

// Launched with nothing compositing, as when a compositor autostarts after
// Kolu: once one starts, the rail's window is made anew with an alpha
// channel, and no frame of the switch lacks the rail. Its glass then shows
// the desktop through, it takes the pointer where it did, opens and closes
// as before, and is cut to what it draws again once the compositor goes.
TEST_F(CompositorStartedLaterTest, ACompositorStartedLaterGivesTheRailGlassWithNoFrameWithoutIt)
{
    if (display.compositorRuns())
        GTEST_SKIP() << "the window manager composites by itself: compositing cannot start later";
    ASSERT_TRUE(launchRail());
    const auto depth = [this] {
        rail = display.findWindow(u"^Kolu Rail$"_s);
        xcb_connection_t *c = display.connection();
        auto *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, rail), nullptr);
        const int bits = geometry ? geometry->depth : 0;
        std::free(geometry);
        return bits;
    };
    // How far the handle's middle leans to the green desktop beneath.
    const auto greenness = [this] {
        const QByteArray pixels = capture();
        const QPoint at = layout.handle.center() - layout.captured.topLeft();
        quint32 value = 0;
        std::memcpy(&value, pixels.constData() + (at.y() * layout.captured.width() + at.x()) * 4, 4);
        return int((value >> 8) & 0xFF) - int((value >> 16) & 0xFF);
    };
    EXPECT_EQ(depth(), 24);
    const QRect input = takesPointer();
    const int opaque = greenness();

    compositor.setProcessEnvironment(display.environment());
    compositor.start(u"picom"_s, {u"--backend"_s, u"xrender"_s});
    if (!compositor.waitForStarted(5000))
        KOLU_SKIP_OR_FAIL_UNDER_CI("picom did not start");
    if (IsSkipped() || HasFatalFailure())
        return;
    // Every frame until the new window is in and the screen has held still
    // for half a second.
    std::vector<Fault> faults;
    QElapsedTimer total;
    total.start();
    QElapsedTimer still;
    std::optional<Frame> last;
    while (total.elapsed() < 30000) {
        const QByteArray pixels = capture();
        ASSERT_FALSE(pixels.isEmpty());
        Frame frame = frameOf(pixels);
        faults.push_back(faultOf(frame, layout));
        if (!last || !(*last == frame))
            still.start();
        else if (still.elapsed() > 500 && display.compositorRuns() && depth() == 32)
            break;
        last = std::move(frame);
    }
    EXPECT_EQ(std::count(faults.begin(), faults.end(), Fault::none), std::ptrdiff_t(faults.size()))
        << "of " << faults.size() << " frames read";
    ASSERT_EQ(depth(), 32) << "the window has an alpha channel";
    EXPECT_GT(greenness(), opaque + 8) << "the desktop shows through the glass";
    EXPECT_EQ(takesPointer(), input);
    const auto shown = [this] { return test::shapeOnScreen(display, rail, XCB_SHAPE_SK_BOUNDING); };
    EXPECT_TRUE(layout.parked.contains(shown())) << "cut to what it draws";

    const QPoint away(layout.captured.left() - 200, kScreen.height() / 2);
    const QPoint edge(kScreen.width() - 1, kScreen.height() / 2);
    for (const bool opening : {true, false}) {
        const std::vector<Fault> motion = watchMotion(opening ? edge : away, opening);
        EXPECT_EQ(std::count(motion.begin(), motion.end(), Fault::none), std::ptrdiff_t(motion.size()));
        ASSERT_TRUE(opening ? opened() : parked());
    }

    test::endProcess(compositor);
    ASSERT_TRUE(test::waitUntil([this] { return !display.compositorRuns(); }));
    EXPECT_TRUE(test::waitUntil([&] {
        const QByteArray pixels = capture();
        const QRect shape = shown();
        return !pixels.isEmpty() && faultOf(frameOf(pixels), layout) == Fault::none && !shape.isEmpty()
               && layout.parked.contains(shape) && greenness() <= opaque + 2;
    })) << "opaque again, cut to what it draws";
}
