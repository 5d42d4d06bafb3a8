#include "platform/x11/ServerTime.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <utility>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The requests under way, oldest first. The server stamps property changes
// in the order it gets them, so the first notice for a window answers the
// oldest request on it, even when that request has gone meanwhile.
class ServerTimeQueue final : public QAbstractNativeEventFilter {
public:
    static ServerTimeQueue *forApplication(xcb_connection_t *connection)
    {
        static ServerTimeQueue *const queue = [connection] {
            auto *made = new ServerTimeQueue(connection);
            QCoreApplication::instance()->installNativeEventFilter(made);
            return made;
        }();
        return queue;
    }

    void request(xcb_window_t window, ServerTimeRequest *asker)
    {
        if (m_property == XCB_ATOM_NONE)
            return;
        m_waiting.emplace_back(window, asker);
        xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, window, m_property, XCB_ATOM_INTEGER, 32, 0, nullptr);
        xcb_flush(m_connection);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (m_waiting.empty() || eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
        if (notify->atom != m_property)
            return false;
        const auto oldest = std::find_if(m_waiting.begin(), m_waiting.end(),
                                         [&](const auto &waiting) { return waiting.first == notify->window; });
        if (oldest == m_waiting.end())
            return true;
        const QPointer<ServerTimeRequest> asker = oldest->second;
        m_waiting.erase(oldest);
        const quint32 time = notify->time;
        if (asker)
            QMetaObject::invokeMethod(
                asker, [asker, time] { Q_EMIT asker->answered(time); }, Qt::QueuedConnection);
        return true;
    }

private:
    explicit ServerTimeQueue(xcb_connection_t *connection)
        : m_connection(connection)
    {
        static const char name[] = "_KOLU_SERVER_TIME";
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
        m_property = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }

    xcb_connection_t *m_connection;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    std::deque<std::pair<xcb_window_t, QPointer<ServerTimeRequest>>> m_waiting;
};

} // namespace

ServerTimeRequest::ServerTimeRequest(QWindow *window, QObject *parent)
    : QObject(parent)
{
    if (!window || QGuiApplication::platformName() != "xcb"_L1)
        return;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    // Qt's windows take property changes, so the notice comes through the
    // application's own event queue.
    if (const auto id = xcb_window_t(window->winId()); connection && id)
        ServerTimeQueue::forApplication(connection)->request(id, this);
}

} // namespace kolu
