// Every frame the X server shows while the real rail opens and closes at the
// right edge of a 1440 x 900 desktop of the test's own with openbox, with
// and without a compositor, and at a fractional scale. Frames are read from
// the server itself, as fast as it answers, over a desktop of one colour, so
// whatever is not that colour is what the rail shows, but for the soft
// shadows its glass casts where a compositor blends it. The rail owns every
// frame but one it cannot order: a window manager gives the window and its
// frame around it a new size in steps, and a compositor composes from what
// it has read of the window so far, so a single capture taken inside a
// change of size may show nothing, or neither the rail nor its handle. That
// one capture is forgiven (an open or a close changes no size, so none is
// expected); two in a row, a run of blanks that lasts 16 ms, a stray line,
// and anything drawn away from the screen edge never are.

#include "RailFramesFixture.h"

TEST_F(RailFramesTest, EveryFrameOfAnOpenAndACloseShowsTheRailOrItsHandleAtTheEdgeWithoutACompositor)
{
    ASSERT_TRUE(launchRail());
    openAndCloseEightTimes();
}

TEST_F(RailFramesTest, EveryFrameOfAnOpenAndACloseShowsTheRailOrItsHandleAtTheEdgeUnderACompositor)
{
    startCompositor();
    if (HasFatalFailure() || IsSkipped())
        return;
    ASSERT_TRUE(launchRail());
    openAndCloseEightTimes();
}

TEST_F(RailFramesAtAFractionalScaleTest, TheHandleReachesTheLastColumnAndEveryFrameShowsTheRailAtTheEdge)
{
    ASSERT_TRUE(launchRail());
    const QByteArray pixels = capture();
    const Frame parked = frameOf(pixels);
    EXPECT_GE(parked.coverage(QRect(kScreen.width() - 1, layout.handle.y(), 1, layout.handle.height())), 0.75)
        << "the handle stops short of the screen edge";
    warpPointer({kScreen.width() - 1, kScreen.height() / 2});
    ASSERT_TRUE(test::waitUntil([&] { return opened(); }));
    // 441 points are 661.5 device pixels: the window manager is let give
    // the window a size that reaches the edge, not one a pixel short.
    EXPECT_EQ(railFrame().right(), kScreen.width() - 1);
    EXPECT_EQ(takesPointer().right(), kScreen.width() - 1);
    openAndCloseEightTimes();
}
