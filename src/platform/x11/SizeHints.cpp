#include "platform/x11/SizeHints.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kolu {

void takeAnySize(xcb_connection_t *connection, xcb_window_t window)
{
    constexpr std::uint32_t kBaseSize = 1U << 8;
    constexpr std::uint32_t kResizeIncrement = 1U << 6;
    constexpr std::uint32_t kHintsLength = 18;
    const auto cookie =
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, kHintsLength);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::array<std::uint32_t, kHintsLength> hints{};
    bool rewrite = false;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= int(sizeof hints)) {
        std::memcpy(hints.data(), xcb_get_property_value(reply), sizeof hints);
        rewrite = (hints[0] & (kBaseSize | kResizeIncrement)) != 0;
    }
    std::free(reply);
    if (!rewrite)
        return;
    hints[0] &= ~(kBaseSize | kResizeIncrement);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                        kHintsLength, hints.data());
}

} // namespace kolu
