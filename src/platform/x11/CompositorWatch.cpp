#include "platform/x11/CompositorWatch.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace kolu {

CompositorWatch::CompositorWatch(QObject *parent)
    : QObject(parent)
{
    if (QGuiApplication::platformName() != "xcb"_L1)
        return;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return;
    // A client must say which version it speaks before using the extension.
    std::free(xcb_xfixes_query_version_reply(
        connection, xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION), nullptr));
    m_selectionNotify = quint8(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);

    constexpr uint32_t kMask = XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                               | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                               | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int number = 0; screens.rem; ++number, xcb_screen_next(&screens)) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(number);
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()), nullptr);
        if (!reply)
            continue;
        m_selections.push_back(reply->atom);
        xcb_xfixes_select_selection_input(connection, screens.data->root, reply->atom, kMask);
        std::free(reply);
    }
    xcb_flush(connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

CompositorWatch::~CompositorWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool CompositorWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_selections.empty() || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != m_selectionNotify)
        return false;
    const auto *notify = static_cast<const xcb_xfixes_selection_notify_event_t *>(message);
    for (const quint32 selection : m_selections) {
        if (notify->selection == selection) {
            QMetaObject::invokeMethod(this, &CompositorWatch::changed, Qt::QueuedConnection);
            break;
        }
    }
    // Qt may want the same event for selections of its own.
    return false;
}

} // namespace kolu
