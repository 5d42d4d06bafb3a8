#include "platform/x11/Compositor.h"

#include "EventWait.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

std::vector<uint32_t> cardinals(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property)
{
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, 0, 64), nullptr);
    std::vector<uint32_t> values;
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

// An X server of the test's own: owning the compositor selection there can
// disturb no other test's windows.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-screen"_s, u"0"_s,
                                    u"320x240x24"_s});
        if (!test::waitUntil([this] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; }))
            return;
        const QByteArray number = m_server.readLine().trimmed();
        if (number.isEmpty())
            return;
        m_connection = xcb_connect(QByteArray(":" + number).constData(), nullptr);
        if (xcb_connection_has_error(m_connection)) {
            xcb_disconnect(m_connection);
            m_connection = nullptr;
        }
    }
    ~PrivateDisplay()
    {
        if (m_connection)
            xcb_disconnect(m_connection);
        m_server.kill();
        m_server.waitForFinished(5000);
    }

    xcb_connection_t *connection() const { return m_connection; }
    xcb_screen_t *screen() const { return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data; }

    xcb_window_t createWindow() const
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen()->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen()->root_visual, 0, nullptr);
        return window;
    }

private:
    QProcess m_server;
    xcb_connection_t *m_connection = nullptr;
};

} // namespace

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
    PrivateDisplay display;
    if (!display.connection())
        GTEST_SKIP() << "Xvfb could not be started";
    xcb_connection_t *c = display.connection();
    const auto compositor = createX11Compositor(c, 0);
    EXPECT_FALSE(compositor->isCompositing());
    EXPECT_FALSE(compositor->hasBlurBehind());

    // A compositing manager announces itself by owning _NET_WM_CM_S0.
    const xcb_window_t owner = display.createWindow();
    xcb_set_selection_owner(c, owner, internAtom(c, "_NET_WM_CM_S0"), XCB_CURRENT_TIME);
    xcb_flush(c);
    EXPECT_TRUE(compositor->isCompositing());
    EXPECT_FALSE(createX11Compositor(c, 1)->isCompositing()) << "another screen's selection is not ours";
    EXPECT_FALSE(compositor->hasBlurBehind());

    const xcb_window_t window = display.createWindow();
    const xcb_atom_t blurRegion = internAtom(c, "_KDE_NET_WM_BLUR_BEHIND_REGION");
    compositor->setBlurBehind(window, QRegion(1, 2, 3, 4));
    EXPECT_TRUE(cardinals(c, window, blurRegion).empty()) << "no blur is asked of a compositor that has none";

    // The blurring compositor lists the blur property among its supported ones.
    const xcb_atom_t supported[] = {internAtom(c, "_NET_WM_STATE"), blurRegion};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, display.screen()->root, internAtom(c, "_NET_SUPPORTED"),
                        XCB_ATOM_ATOM, 32, 2, supported);
    xcb_flush(c);
    EXPECT_TRUE(compositor->hasBlurBehind());
    QRegion region(0, 0, 20, 10);
    region += QRect(5, 10, 10, 5);
    compositor->setBlurBehind(window, region);
    EXPECT_EQ(cardinals(c, window, blurRegion), (std::vector<uint32_t>{0, 0, 20, 10, 5, 10, 10, 5}));
    compositor->setBlurBehind(window, QRegion());
    EXPECT_TRUE(cardinals(c, window, blurRegion).empty());

    // The compositor going away takes the blur with it.
    xcb_destroy_window(c, owner);
    xcb_flush(c);
    EXPECT_FALSE(compositor->isCompositing());
    EXPECT_FALSE(compositor->hasBlurBehind());
}
