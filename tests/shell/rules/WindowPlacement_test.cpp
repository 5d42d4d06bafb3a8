#include "shell/rules/WindowPlacement.h"

#include <gtest/gtest.h>

using namespace kolu;

TEST(WindowPlacementTest, TheWholeFrameIsCentredOnTheWorkArea)
{
    // xfwm4's default frame: 5 at the sides and below, a 29-point title bar.
    const QMargins xfwm(5, 29, 5, 5);
    const QRect screen(0, 0, 1920, 1080);
    const QPoint settings = windowplacement::centredFrameOrigin(screen, QSize(860, 640), xfwm);
    EXPECT_EQ(settings, QPoint(525, 203));
    // The client area, inside the frame, is as far from each side of the
    // screen as the frame is on the other.
    const QRect frame(settings, QSize(870, 674));
    EXPECT_EQ(frame.left() - screen.left(), screen.right() - frame.right());
    EXPECT_EQ(frame.top() - screen.top(), screen.bottom() - frame.bottom());

    // No decorations: the client itself is centred. A work area that starts
    // below a top panel and right of a side panel moves it with it.
    EXPECT_EQ(windowplacement::centredFrameOrigin(QRect(0, 0, 1440, 900), QSize(520, 520), QMargins()),
              QPoint(460, 190));
    EXPECT_EQ(windowplacement::centredFrameOrigin(QRect(48, 28, 1392, 872), QSize(520, 520), QMargins(1, 20, 1, 1)),
              QPoint(48 + 435, 28 + 165));
}

TEST(WindowPlacementTest, AFrameTallerThanTheWorkAreaKeepsItsTitleBarOnIt)
{
    // 860 x 640 with its title bar on a 960 x 516 work area (1080p at scale 2
    // under a top panel): centred across, its top at the area's top.
    const QPoint origin = windowplacement::centredFrameOrigin(QRect(0, 24, 960, 516), QSize(860, 640), {5, 29, 5, 5});
    EXPECT_EQ(origin, QPoint(45, 24));
    // Wider than the area: still centred across.
    EXPECT_EQ(windowplacement::centredFrameOrigin(QRect(0, 0, 800, 800), QSize(860, 640), {}), QPoint(-30, 80));
}

TEST(WindowPlacementTest, AWindowTallerThanTheWorkAreaTakesItsHeightLessTheFrame)
{
    const QMargins frame(5, 29, 5, 5);
    // Fits: its own size, whatever the frame.
    EXPECT_EQ(windowplacement::fittedClientSize(QRect(0, 24, 1920, 1056), QSize(860, 640), frame), QSize(860, 640));
    EXPECT_EQ(windowplacement::fittedClientSize(QRect(0, 0, 1920, 674), QSize(860, 640), frame), QSize(860, 640));
    // A 1920 x 540 screen, and 1080p at scale 2 under a 24-point panel.
    for (const QRect &area : {QRect(0, 0, 1920, 540), QRect(0, 24, 960, 516)}) {
        const QSize settings = windowplacement::fittedClientSize(area, QSize(860, 640), frame);
        EXPECT_EQ(settings, QSize(860, area.height() - 34));
        EXPECT_EQ(windowplacement::centredFrameOrigin(area, settings, frame).y(), area.y()) << "the frame fills it";
        EXPECT_EQ(windowplacement::fittedClientSize(area, QSize(520, 520), frame).height(),
                  std::min(520, area.height() - 34));
    }
    // Never below what its content needs.
    EXPECT_EQ(windowplacement::fittedClientSize(QRect(0, 0, 800, 300), QSize(520, 520), frame, 400), QSize(520, 400));
}
