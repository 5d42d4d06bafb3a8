#include "platform/x11/DisplayReach.h"

#include <xcb/xcb.h>

namespace kolu {

bool x11DisplayAnswers(const char *display)
{
    xcb_connection_t *connection = xcb_connect(display, nullptr);
    // A connection that failed is still an object to free.
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

} // namespace kolu
