#include "platform/x11/X11ApplicationHider.h"

#include "EventWait.h"
#include "PrivateDisplay.h"

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <vector>

using namespace kolu;
using test::PrivateDisplay;
using test::waitUntil;

namespace {

// Maps a top-level window of `type` that says it belongs to process `pid`, as
// that program's toolkit would.
xcb_window_t openWindow(const PrivateDisplay &display, std::uint32_t pid, const QByteArray &type)
{
    xcb_connection_t *c = display.connection();
    const xcb_window_t window = display.createWindow({10, 10, 120, 80});
    const xcb_atom_t windowType = display.atom(QByteArray("_NET_WM_WINDOW_TYPE_" + type).constData());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, display.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, display.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &windowType);
    xcb_map_window(c, window);
    xcb_flush(c);
    return window;
}

} // namespace

TEST(X11ApplicationHider, NoDisplayAndNoWindowManagerMeanNotOffered)
{
    // A local display no server holds (a host name would be looked up off
    // this machine).
    X11ApplicationHider unreachable(":65535");
    EXPECT_FALSE(unreachable.isConnected());
    EXPECT_FALSE(unreachable.isAvailable());
    EXPECT_EQ(unreachable.hideOtherApplications(), 0);

    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning());
    X11ApplicationHider bare(display.name());
    EXPECT_TRUE(bare.isConnected());
    EXPECT_FALSE(bare.isAvailable()) << "without a window manager there is no client list";
    EXPECT_EQ(bare.hideOtherApplications(), 0);
}

TEST(X11ApplicationHider, HidesNormalWindowsOfOtherProcessesAndCountsApplications)
{
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning());
    ASSERT_TRUE(display.startWindowManager());
    // Process 102 stands for Kolu, whose windows are never hidden; 101 has
    // two windows besides a dock and a desktop, 103 one.
    const std::vector<xcb_window_t> hidden{openWindow(display, 101, "NORMAL"), openWindow(display, 101, "NORMAL"),
                                           openWindow(display, 103, "NORMAL")};
    const std::vector<xcb_window_t> kept{openWindow(display, 101, "DOCK"), openWindow(display, 101, "DESKTOP"),
                                         openWindow(display, 102, "NORMAL"), openWindow(display, 102, "NORMAL")};
    const auto managed = [&](const std::vector<xcb_window_t> &windows) {
        const std::vector<std::uint32_t> list = display.clientList();
        return std::all_of(windows.begin(), windows.end(),
                           [&](xcb_window_t w) { return std::find(list.begin(), list.end(), w) != list.end(); });
    };
    ASSERT_TRUE(waitUntil([&] { return managed(hidden) && managed(kept); })) << "windows were not managed";

    X11ApplicationHider hider(display.name(), 102);
    ASSERT_TRUE(waitUntil([&] { return hider.isAvailable(); }));
    EXPECT_EQ(hider.hideOtherApplications(), 2) << "two applications, three windows";
    EXPECT_TRUE(waitUntil([&] {
        return std::all_of(hidden.begin(), hidden.end(), [&](xcb_window_t w) { return display.isIconic(w); });
    }));
    // Neither a dock, nor a desktop, nor Kolu's own windows.
    for (const xcb_window_t window : kept)
        EXPECT_FALSE(display.isIconic(window)) << window;
    EXPECT_EQ(hider.hideOtherApplications(), 0) << "hidden windows are neither hidden again nor counted";
}
