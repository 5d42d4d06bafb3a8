#include "platform/windowing/KeyboardGrab.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace kolu {

KeyboardGrab::~KeyboardGrab() = default;

namespace {

class X11KeyboardGrab final : public KeyboardGrab {
public:
    explicit X11KeyboardGrab(xcb_connection_t *connection)
        : m_connection(connection)
    {
    }
    ~X11KeyboardGrab() override { release(); }

    bool grab(quint32 window) override
    {
        release();
        // The keys are reported to the window itself, so Qt hands them to
        // the program's own windows (owner events off), and nothing else
        // freezes meanwhile.
        const auto cookie =
            xcb_grab_keyboard(m_connection, 0, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_grab_keyboard_reply_t *reply = xcb_grab_keyboard_reply(m_connection, cookie, nullptr);
        m_held = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        return m_held;
    }

    void release() override
    {
        if (!m_held)
            return;
        m_held = false;
        xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }

    bool isHeld() const override { return m_held; }

private:
    xcb_connection_t *m_connection;
    bool m_held = false;
};

} // namespace

std::unique_ptr<KeyboardGrab> createSystemKeyboardGrab()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection() && !xcb_connection_has_error(x11->connection()))
        return std::make_unique<X11KeyboardGrab>(x11->connection());
    return std::make_unique<NullKeyboardGrab>();
}

} // namespace kolu
