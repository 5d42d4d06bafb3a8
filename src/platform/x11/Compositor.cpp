#include "platform/x11/Compositor.h"

#include "platform/x11/NullCompositor.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QVector>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace kolu {

Compositor::~Compositor() = default;

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

class X11Compositor final : public Compositor {
public:
    X11Compositor(xcb_connection_t *connection, int screenNumber)
        : m_connection(connection)
    {
        const xcb_setup_t *setup = xcb_get_setup(connection);
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
        for (int i = 0; it.rem && i < screenNumber; ++i)
            xcb_screen_next(&it);
        // A screen number past the server's last screen still names its own
        // selection; its root falls back to the first screen's.
        m_root = it.rem ? it.data->root : xcb_setup_roots_iterator(setup).data->root;
        m_selection = atom("_NET_WM_CM_S" + QByteArray::number(screenNumber));
        m_supported = atom("_NET_SUPPORTED");
        m_blurRegion = atom("_KDE_NET_WM_BLUR_BEHIND_REGION");
    }

    bool isCompositing() const override
    {
        if (m_selection == XCB_ATOM_NONE)
            return false;
        XcbReply<xcb_get_selection_owner_reply_t> reply(
            xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr));
        return reply && reply->owner != XCB_WINDOW_NONE;
    }

    bool hasBlurBehind() const override
    {
        if (m_blurRegion == XCB_ATOM_NONE || !isCompositing())
            return false;
        // _NET_SUPPORTED lists a few hundred atoms at most.
        const auto cookie = xcb_get_property(m_connection, 0, m_root, m_supported, XCB_ATOM_ATOM, 0, 4096);
        XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
        if (!reply || reply->format != 32)
            return false;
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / 4;
        for (int i = 0; i < count; ++i) {
            if (atoms[i] == m_blurRegion)
                return true;
        }
        return false;
    }

    void setBlurBehind(quint32 window, const QRegion &region) override
    {
        if (window == 0 || m_blurRegion == XCB_ATOM_NONE)
            return;
        if (region.isEmpty()) {
            xcb_delete_property(m_connection, window, m_blurRegion);
        } else if (hasBlurBehind()) {
            QVector<quint32> values;
            values.reserve(region.rectCount() * 4);
            for (const QRect &r : region) {
                values << quint32(r.x()) << quint32(r.y()) << quint32(r.width()) << quint32(r.height());
            }
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_blurRegion, XCB_ATOM_CARDINAL, 32,
                                quint32(values.size()), values.constData());
        }
        xcb_flush(m_connection);
    }

private:
    // Interned once; a compositor that starts later uses the same atoms.
    xcb_atom_t atom(const QByteArray &name) const
    {
        const auto cookie = xcb_intern_atom(m_connection, 0, quint16(name.size()), name.constData());
        XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
    xcb_atom_t m_supported = XCB_ATOM_NONE;
    xcb_atom_t m_blurRegion = XCB_ATOM_NONE;
};

// The screen number of $DISPLAY (":0.1" is screen 1), as Xlib and xcb read it.
int defaultScreenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    const int dot = display.indexOf('.', colon < 0 ? 0 : colon);
    if (dot < 0)
        return 0;
    bool ok = false;
    const int number = display.mid(dot + 1).toInt(&ok);
    return ok && number >= 0 ? number : 0;
}

} // namespace

std::unique_ptr<Compositor> createX11Compositor(xcb_connection_t *connection, int screenNumber)
{
    if (!connection || xcb_connection_has_error(connection))
        return std::make_unique<NullCompositor>();
    return std::make_unique<X11Compositor>(connection, screenNumber);
}

std::unique_ptr<Compositor> createSystemCompositor()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return std::make_unique<NullCompositor>();
    return createX11Compositor(x11->connection(), defaultScreenNumber());
}

} // namespace kolu
