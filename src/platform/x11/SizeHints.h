#pragma once

#include <xcb/xcb.h>

namespace kolu {

// The toolkit asks, at a fractional scale, that a window take only sizes in
// steps of its scaled pixel, from a base below nothing (WM_NORMAL_HINTS
// resize increment and base size): window managers that honour it give 660
// for 661 and 26 for 27, a pixel short of the screen edge. This takes both
// out of `window`'s hints, so it takes any size.
void takeAnySize(xcb_connection_t *connection, xcb_window_t window);

} // namespace kolu
