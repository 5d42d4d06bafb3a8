#pragma once

#include <QImage>
#include <QRegion>

#include <xcb/xcb.h>

namespace kolu {

// An unmanaged window over `window`, above every other, that shows
// `picture` (what `window` shows, in its device pixels) cut to `shape`
// (window coordinates) and takes no input: it stands in while `window` is
// made anew. The picture is the window's background, put in by the server
// as it maps it, so no frame shows it empty. XCB_WINDOW_NONE where the
// picture cannot be shown as it is (a root depth other than 24 bits held
// in 32, or a byte order other than this machine's).
xcb_window_t createStandIn(xcb_connection_t *connection, xcb_window_t window, const QImage &picture,
                           const QRegion &shape, xcb_atom_t noShadow);

} // namespace kolu
