#pragma once

#include <QRegion>

#include <memory>

struct xcb_connection_t;

namespace kolu {

// What the desktop's compositing manager offers to translucent windows.
// Painted glass picks its look from this: blurred and translucent where the
// compositor blurs behind windows, denser where it only blends, opaque where
// nothing composites. Every question is asked of the X server anew, since a
// compositor may start or stop while Kolu runs.
class Compositor {
public:
    virtual ~Compositor();

    // A compositing manager owns the screen's _NET_WM_CM_Sn selection, so
    // windows with an alpha channel are blended over what lies behind them.
    virtual bool isCompositing() const = 0;

    // The compositor blurs the area behind a window on request
    // (_KDE_NET_WM_BLUR_BEHIND_REGION is listed in _NET_SUPPORTED).
    virtual bool hasBlurBehind() const = 0;

    // Asks for blur behind `region` (window coordinates, device pixels) of the
    // top-level X window `window`; an empty region withdraws the request.
    // Does nothing where blur is not offered.
    virtual void setBlurBehind(quint32 window, const QRegion &region) = 0;
};

// For a connection of the caller's own (tests use a private X server):
// `screenNumber` picks the _NET_WM_CM_Sn selection and the root window whose
// _NET_SUPPORTED is read. The connection must outlive the object.
std::unique_ptr<Compositor> createX11Compositor(xcb_connection_t *connection, int screenNumber);

// The running application's: Qt's own xcb connection when the application
// runs on X11, otherwise one that never composites.
std::unique_ptr<Compositor> createSystemCompositor();

} // namespace kolu
