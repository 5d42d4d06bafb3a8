#include "platform/x11/PointerMotion.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

class X11PointerMotion final : public PointerMotion {
public:
    // Takes `connection`, which speaks XInput 2.2 or later.
    X11PointerMotion(xcb_connection_t *connection, quint8 opcode)
        : m_connection(connection)
        , m_opcode(opcode)
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root)
        , m_notifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, &X11PointerMotion::readEvents);
    }

    ~X11PointerMotion() override { xcb_disconnect(m_connection); }

    bool arm() override
    {
        if (xcb_connection_has_error(m_connection))
            return false;
        if (m_armed)
            return true;
        // Checked, so that a motion after this returns is reported.
        if (!select(XCB_INPUT_XI_EVENT_MASK_RAW_MOTION))
            return false;
        m_armed = true;
        return true;
    }

    void disarm() override
    {
        if (!m_armed)
            return;
        m_armed = false;
        select(0);
    }

private:
    bool select(quint32 events)
    {
        struct {
            xcb_input_event_mask_t head;
            quint32 mask;
        } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, events};
        xcb_generic_error_t *error =
            xcb_request_check(m_connection, xcb_input_xi_select_events_checked(m_connection, m_root, 1, &mask.head));
        const bool ok = !error;
        std::free(error);
        return ok;
    }

    void readEvents()
    {
        bool moved = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7F) == XCB_GE_GENERIC) {
                const auto *generic = reinterpret_cast<const xcb_ge_generic_event_t *>(event);
                moved = moved || (generic->extension == m_opcode && generic->event_type == XCB_INPUT_RAW_MOTION);
            }
            std::free(event);
        }
        if (xcb_connection_has_error(m_connection)) {
            m_notifier.setEnabled(false);
            m_armed = false;
        }
        if (moved && m_armed) {
            disarm();
            Q_EMIT this->moved();
        }
    }

    xcb_connection_t *m_connection;
    quint8 m_opcode;
    xcb_window_t m_root;
    QSocketNotifier m_notifier;
    bool m_armed = false;
};

} // namespace

std::unique_ptr<PointerMotion> createSystemPointerMotion()
{
    if (QGuiApplication::platformName() != "xcb"_L1)
        return nullptr;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_query_extension_reply_t *xinput = xcb_get_extension_data(connection, &xcb_input_id);
    xcb_input_xi_query_version_reply_t *version =
        xinput && xinput->present
            ? xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr)
            : nullptr;
    // Raw events reach the root window whatever grabs there are from 2.2 on.
    const bool usable = version && (version->major_version > 2 || version->minor_version >= 2);
    std::free(version);
    if (!usable) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::make_unique<X11PointerMotion>(connection, xinput->major_opcode);
}

} // namespace kolu
