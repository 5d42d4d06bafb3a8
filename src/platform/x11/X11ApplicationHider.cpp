#include "platform/x11/X11ApplicationHider.h"

#include <QSet>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <cstring>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// ICCCM WM_STATE values.
constexpr std::uint32_t kIconicState = 3;

template<typename T>
struct FreeDeleter {
    void operator()(T *p) const { std::free(p); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter<T>>;

} // namespace

ApplicationHider::~ApplicationHider() = default;

namespace {

// Stands in where there is no X11 display: hiding is not offered.
class UnavailableApplicationHider final : public ApplicationHider {
public:
    bool isAvailable() const override { return false; }
    int hideOtherApplications() override { return 0; }
};

} // namespace

std::unique_ptr<ApplicationHider> createSystemApplicationHider()
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        auto hider = std::make_unique<X11ApplicationHider>();
        if (hider->isConnected())
            return hider;
    }
    return std::make_unique<UnavailableApplicationHider>();
}

X11ApplicationHider::X11ApplicationHider(const QByteArray &displayName, qint64 ownPid)
    : m_ownPid(ownPid)
{
    int screenNumber = 0;
    m_connection = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i)
        xcb_screen_next(&it);
    if (it.rem > 0)
        m_root = it.data->root;
}

X11ApplicationHider::~X11ApplicationHider()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

qint64 X11ApplicationHider::currentPid()
{
    return static_cast<qint64>(::getpid());
}

bool X11ApplicationHider::isConnected() const
{
    return m_connection != nullptr && m_root != 0;
}

std::uint32_t X11ApplicationHider::atom(const char *name) const
{
    const QByteArray key(name);
    if (const auto found = m_atoms.constFind(key); found != m_atoms.constEnd())
        return found.value();
    const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
    const std::uint32_t value = reply ? reply->atom : std::uint32_t(XCB_ATOM_NONE);
    if (value != XCB_ATOM_NONE)
        m_atoms.insert(key, value);
    return value;
}

std::vector<std::uint32_t> X11ApplicationHider::property32(std::uint32_t window, std::uint32_t property,
                                                           std::uint32_t type) const
{
    if (property == XCB_ATOM_NONE)
        return {};
    const auto cookie = xcb_get_property(m_connection, 0, window, property, type, 0, 4096);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    const auto *values = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(values, values + count);
}

bool X11ApplicationHider::isAvailable() const
{
    if (!isConnected())
        return false;
    // A window manager that follows EWMH names its check window on the root
    // and keeps the client list there.
    const auto check = property32(m_root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (check.empty())
        return false;
    const auto cookie = xcb_get_property(m_connection, 0, m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 0);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    return reply && reply->type == XCB_ATOM_WINDOW;
}

bool X11ApplicationHider::isNormalWindow(std::uint32_t window) const
{
    const auto types = property32(window, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM);
    if (types.empty()) {
        // Without a type, a transient window is a dialog and goes with its
        // owner; anything else counts as normal.
        return property32(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW).empty();
    }
    // The first type is the preferred one; docks, desktops, panels, menus
    // and dialogs are left alone.
    return types.front() == atom("_NET_WM_WINDOW_TYPE_NORMAL");
}

bool X11ApplicationHider::isHidden(std::uint32_t window) const
{
    const std::uint32_t wmState = atom("WM_STATE");
    const auto state = property32(window, wmState, wmState);
    if (!state.empty() && state.front() == kIconicState)
        return true;
    const auto netState = property32(window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM);
    const std::uint32_t hidden = atom("_NET_WM_STATE_HIDDEN");
    return std::find(netState.begin(), netState.end(), hidden) != netState.end();
}

bool X11ApplicationHider::requestIconic(std::uint32_t window)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_CHANGE_STATE");
    event.data.data32[0] = kIconicState;
    const auto cookie = xcb_send_event_checked(
        m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char *>(&event));
    xcb_generic_error_t *error = xcb_request_check(m_connection, cookie);
    if (error) {
        std::free(error);
        return false;
    }
    return true;
}

int X11ApplicationHider::hideOtherApplications()
{
    if (!isAvailable())
        return 0;
    const std::uint32_t pidAtom = atom("_NET_WM_PID");
    QSet<QString> hiddenApplications;
    for (const std::uint32_t window : property32(m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW)) {
        const auto pid = property32(window, pidAtom, XCB_ATOM_CARDINAL);
        if (!pid.empty() && static_cast<qint64>(pid.front()) == m_ownPid)
            continue;
        if (!isNormalWindow(window) || isHidden(window))
            continue;
        if (!requestIconic(window))
            continue;
        // A window without a process id is counted under its client leader,
        // or on its own.
        QString application;
        if (!pid.empty()) {
            application = u"pid:%1"_s.arg(pid.front());
        } else {
            const auto leader = property32(window, atom("WM_CLIENT_LEADER"), XCB_ATOM_WINDOW);
            application = u"window:%1"_s.arg(leader.empty() ? window : leader.front());
        }
        hiddenApplications.insert(application);
    }
    xcb_flush(m_connection);
    return static_cast<int>(hiddenApplications.size());
}

} // namespace kolu
