#include "platform/x11/WindowActivation.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

// _NET_ACTIVE_WINDOW with source indication 2 ("pager"): a request the
// user made, not one the application decided on its own.
void requestActivation(xcb_connection_t *connection, xcb_window_t window)
{
    const xcb_atom_t activeWindow = internAtom(connection, "_NET_ACTIVE_WINDOW");
    if (activeWindow == XCB_ATOM_NONE)
        return;
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (!screens.rem)
        return;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = activeWindow;
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    event.data.data32[2] = XCB_NONE;
    xcb_send_event(connection, 0, screens.data->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

xcb_connection_t *applicationConnection()
{
    if (QGuiApplication::platformName() != "xcb"_L1)
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

bool windowExists(xcb_connection_t *connection, xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    const bool exists = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return exists;
}

} // namespace

void requestUserActivation(QWindow *window)
{
    if (!window || !window->isVisible())
        return;
    if (xcb_connection_t *connection = applicationConnection())
        requestActivation(connection, static_cast<xcb_window_t>(window->winId()));
}

quint32 activeWindowId()
{
    xcb_connection_t *connection = applicationConnection();
    if (!connection)
        return 0;
    const xcb_atom_t activeWindow = internAtom(connection, "_NET_ACTIVE_WINDOW");
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    if (activeWindow == XCB_ATOM_NONE || !screens.rem)
        return 0;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, screens.data->root, activeWindow, XCB_ATOM_WINDOW, 0, 1), nullptr);
    quint32 window = 0;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        std::memcpy(&window, xcb_get_property_value(reply), 4);
    std::free(reply);
    return window;
}

void handKeyboardTo(quint32 window)
{
    xcb_connection_t *connection = applicationConnection();
    if (!connection)
        return;
    if (window != 0 && windowExists(connection, window)) {
        requestActivation(connection, window);
        return;
    }
    // The window that had the keyboard is gone: let go of it, so that the
    // window manager (or the pointer) decides where typing goes next.
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_CURRENT_TIME);
    xcb_flush(connection);
}

} // namespace kolu
