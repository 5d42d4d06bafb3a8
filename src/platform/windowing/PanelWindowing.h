#pragma once

#include <QImage>
#include <QRegion>

#include <functional>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace kolu {

// What the window manager must know about the rail panel, and the shapes
// that let clicks outside what the panel draws reach the windows below and,
// without a compositor, let the desktop show there. X11 only; elsewhere every call does nothing.
class PanelWindowing {
public:
    virtual ~PanelWindowing();

    virtual bool isAvailable() const = 0;

    // Before the top-level X window `window` is first mapped: its window
    // type, and the states a window manager reads when it takes the window
    // on (above others, sticky on every desktop, out of the task bar and the
    // pager).
    virtual void prepare(quint32 window) = 0;

    // After mapping: asks the window manager for the same states again and
    // for every desktop, for managers that read them only from requests.
    virtual void requestStates(quint32 window) = 0;

    // Brings the window above the others without asking for activation:
    // where the window manager takes stacking requests from pagers
    // (_NET_RESTACK_WINDOW), as one of those, since an application's own
    // raise is weighed as a bid for attention (KWin refuses it and flags the
    // window as demanding attention); elsewhere a plain restack.
    virtual void raise(quint32 window) = 0;

    // Whether the window manager may give the window the keyboard (the
    // ICCCM input hint). Asking for activation still works either way.
    virtual void setAcceptsFocus(quint32 window, bool accepts) = 0;

    // Only `region` (window coordinates, device pixels) takes pointer input;
    // an empty region lets every click through.
    virtual void setInputRegion(quint32 window, const QRegion &region) = 0;

    // Only `region` (as above) of the window shows; an empty region hides
    // all of it, none shows the whole rectangle again. Where no compositing
    // manager blends the panel over the desktop, this keeps what the panel
    // does not draw from showing as an opaque rectangle.
    virtual void setVisibleRegion(quint32 window, const std::optional<QRegion> &region) = 0;
    // A visible region that shows the whole window whatever size it takes:
    // it stays on the window through every change of size, so none of them
    // needs a new shape.
    static constexpr QRect wholeAtAnySize() { return {0, 0, 0x7FFF, 0x7FFF}; }
    // Between the two, what is sent to the display waits, then leaves in
    // one write that the server reads whole: a shape that grows and the
    // picture that fills what it adds reach it together. Other clients are
    // never held off the server: a program stopped in between (a debugger,
    // a suspended terminal) stops nobody else.
    virtual void holdRequests() { }
    virtual void sendHeld() { }

    // Keeps what the window shows at `edge` while the window changes size:
    // until it is painted anew, its old picture stays at the screen edge
    // rather than at its top-left corner, away from the edge.
    virtual void keepContentAt(quint32 window, Qt::Edge edge)
    {
        Q_UNUSED(window);
        Q_UNUSED(edge);
    }

    // The window is about to go from `from` to `to` (device pixels of the
    // root window) through the window manager, which applies it some time
    // after the request. Until the server has the new size, what shows stays
    // what showed, in the old coordinates and (where that lands outside the
    // old window) in the new ones, so a shape meant for one size never
    // lands on the other; shapes asked for meanwhile wait. `landed` runs
    // once the new size is on the server, at once where nothing tells; what
    // showed then still shows beside the shapes asked for until
    // stopExpectingFrame(), once the window is painted for its new size.
    virtual void expectFrame(quint32 window, const QRect &from, const QRect &to, std::function<void()> landed)
    {
        Q_UNUSED(window);
        Q_UNUSED(from);
        Q_UNUSED(to);
        if (landed)
            landed();
    }
    // Stops waiting for the size expected and keeping what showed: only
    // the shapes asked for show from now.
    virtual void stopExpectingFrame(quint32 window) { Q_UNUSED(window); }

    // Shows `picture` (what `window` shows now, in its device pixels) where
    // `window` stands, cut to `shape` (window coordinates), above every
    // window and taking no input, until removeStandIn(): what shows stays
    // while the window itself is made anew.
    virtual void showStandIn(quint32 window, const QImage &picture, const QRegion &shape)
    {
        Q_UNUSED(window);
        Q_UNUSED(picture);
        Q_UNUSED(shape);
    }
    virtual void removeStandIn() { }
    // Drops what is kept for `window`, which has gone.
    virtual void forget(quint32 window) { Q_UNUSED(window); }

    // Puts the window at `frame`, in device pixels of the root window: at a
    // fractional scale the toolkit's own rounding of a logical frame can
    // leave it a pixel short of the screen edge or a pixel past it.
    virtual void placeWindow(quint32 window, const QRect &frame)
    {
        Q_UNUSED(window);
        Q_UNUSED(frame);
    }
};

// For a connection of the caller's own (tests use a private X server). The
// connection must outlive the object. With `followsEvents`, the window's
// events are taken from the application's native event filters, as they
// pass for the application's own connection.
std::unique_ptr<PanelWindowing> createX11PanelWindowing(xcb_connection_t *connection, int screenNumber,
                                                        bool followsEvents = false);

// The running application's: Qt's own xcb connection when the application
// runs on X11, otherwise one that does nothing.
std::unique_ptr<PanelWindowing> createSystemPanelWindowing();

} // namespace kolu
