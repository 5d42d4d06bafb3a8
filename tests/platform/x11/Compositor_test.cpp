#include "platform/x11/Compositor.h"

#include "PrivateDisplay.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <vector>

using namespace kolu;
using namespace Qt::StringLiterals;

TEST(Compositor, OffX11NothingCompositesAndBlurRequestsAreIgnored)
{
    if (QGuiApplication::platformName() == u"xcb"_s)
        GTEST_SKIP() << "the application runs on X11 here";
    const auto compositor = createSystemCompositor();
    EXPECT_FALSE(compositor->isCompositing());
    EXPECT_FALSE(compositor->hasBlurBehind());
    compositor->setBlurBehind(42, QRegion(0, 0, 10, 10));
    EXPECT_FALSE(createX11Compositor(nullptr, 0)->isCompositing());
}

TEST(Compositor, FollowsTheSelectionOwnerAndTheAdvertisedBlur)
{
    // Owning the compositor selection on a display of the test's own
    // disturbs no other test's windows.
    test::PrivateDisplay display(320, 240);
    if (!display.isRunning())
        KOLU_SKIP_OR_FAIL_UNDER_CI("Xvfb could not be started");
    xcb_connection_t *c = display.connection();
    const auto blurRegionOf = [&](xcb_window_t window) {
        return display.property(window, "_KDE_NET_WM_BLUR_BEHIND_REGION", XCB_ATOM_CARDINAL);
    };
    const auto compositor = createX11Compositor(c, 0);
    EXPECT_FALSE(compositor->isCompositing());
    EXPECT_FALSE(compositor->hasBlurBehind());

    // A compositing manager announces itself by owning _NET_WM_CM_S0.
    const xcb_window_t owner = display.createWindow({0, 0, 10, 10});
    xcb_set_selection_owner(c, owner, display.atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
    xcb_flush(c);
    EXPECT_TRUE(compositor->isCompositing());
    EXPECT_FALSE(createX11Compositor(c, 1)->isCompositing()) << "another screen's selection is not ours";
    EXPECT_FALSE(compositor->hasBlurBehind());

    const xcb_window_t window = display.createWindow({0, 0, 10, 10});
    const xcb_atom_t blurRegion = display.atom("_KDE_NET_WM_BLUR_BEHIND_REGION");
    compositor->setBlurBehind(window, QRegion(1, 2, 3, 4));
    EXPECT_TRUE(blurRegionOf(window).empty()) << "no blur is asked of a compositor that has none";

    // The blurring compositor lists the blur property among its supported ones.
    const xcb_atom_t supported[] = {display.atom("_NET_WM_STATE"), blurRegion};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, display.root(), display.atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 2,
                        supported);
    xcb_flush(c);
    EXPECT_TRUE(compositor->hasBlurBehind());
    QRegion region(0, 0, 20, 10);
    region += QRect(5, 10, 10, 5);
    compositor->setBlurBehind(window, region);
    EXPECT_EQ(blurRegionOf(window), (std::vector<uint32_t>{0, 0, 20, 10, 5, 10, 10, 5}));
    compositor->setBlurBehind(window, QRegion());
    EXPECT_TRUE(blurRegionOf(window).empty());

    // The compositor going away takes the blur with it.
    xcb_destroy_window(c, owner);
    xcb_flush(c);
    EXPECT_FALSE(compositor->isCompositing());
    EXPECT_FALSE(compositor->hasBlurBehind());
}
