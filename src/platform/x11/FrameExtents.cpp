#include "platform/x11/FrameExtents.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

FrameExtentsWatch::FrameExtentsWatch(QWindow *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
    if (!window || QGuiApplication::platformName() != "xcb"_L1)
        return;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    auto *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    m_connection = connection;
    m_id = quint32(window->winId());
    m_property = internAtom(connection, "_NET_FRAME_EXTENTS");
    const xcb_atom_t request = internAtom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (!m_id || m_property == XCB_ATOM_NONE)
        return;
    QCoreApplication::instance()->installNativeEventFilter(this);
    // The manager answers by setting the property on the window, mapped or not.
    if (request != XCB_ATOM_NONE) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = m_id;
        message.type = request;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&message));
        xcb_flush(connection);
    }
}

FrameExtentsWatch::~FrameExtentsWatch()
{
    if (m_connection && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool FrameExtentsWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
    if (notify->window == m_id && notify->atom == m_property && notify->state == XCB_PROPERTY_NEW_VALUE)
        QMetaObject::invokeMethod(this, &FrameExtentsWatch::read, Qt::QueuedConnection);
    // Qt keeps its own idea of the frame from the same event.
    return false;
}

void FrameExtentsWatch::read()
{
    if (!m_window || !m_connection)
        return;
    auto *connection = static_cast<xcb_connection_t *>(m_connection);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, m_id, m_property, XCB_ATOM_CARDINAL, 0, 4), nullptr);
    std::optional<QMargins> extents;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        const auto *v = static_cast<const quint32 *>(xcb_get_property_value(reply));
        // left, right, top, bottom in device pixels; a manager's nonsense is no frame.
        const double ratio = m_window->devicePixelRatio() > 0 ? m_window->devicePixelRatio() : 1.0;
        const auto logical = [ratio](quint32 value) { return value > 4096 ? 0 : int(std::lround(value / ratio)); };
        extents = QMargins(logical(v[0]), logical(v[2]), logical(v[1]), logical(v[3]));
    }
    std::free(reply);
    if (!extents)
        return;
    m_extents = extents;
    Q_EMIT changed(*extents);
}

} // namespace kolu
