#include "PrivateDisplay.h"

#include "EventWait.h"

#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace kolu::test {

PrivateDisplay::PrivateDisplay(int width, int height)
{
    m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-noreset"_s, u"-screen"_s, u"0"_s,
                                u"%1x%2x24"_s.arg(width).arg(height)});
    if (!waitUntil([this] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; }))
        return;
    const QByteArray number = m_server.readLine().trimmed();
    if (number.isEmpty())
        return;
    m_name = ":" + number;
    m_connection = xcb_connect(m_name.constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
}

PrivateDisplay::~PrivateDisplay()
{
    m_windowManager.kill();
    m_windowManager.waitForFinished(5000);
    if (m_connection)
        xcb_disconnect(m_connection);
    m_server.kill();
    m_server.waitForFinished(5000);
}

xcb_window_t PrivateDisplay::root() const
{
    return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

QProcessEnvironment PrivateDisplay::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, QString::fromLatin1(m_name));
    return env;
}

bool PrivateDisplay::startWindowManager()
{
    if (!isRunning())
        return false;
    m_windowManager.setProcessEnvironment(environment());
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.start(u"openbox"_s, {u"--sm-disable"_s});
    if (!m_windowManager.waitForStarted(5000))
        return false;
    return waitUntil([this] {
        return m_windowManager.state() == QProcess::NotRunning
            || !property(root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty();
    }) && m_windowManager.state() == QProcess::Running;
}

xcb_atom_t PrivateDisplay::atom(const char *name) const
{
    const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

std::vector<std::uint32_t> PrivateDisplay::property(xcb_window_t window, const char *name, xcb_atom_t type) const
{
    const auto cookie = xcb_get_property(m_connection, 0, window, atom(name), type, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(m_connection, cookie, nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const std::uint32_t *>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

std::vector<std::uint32_t> PrivateDisplay::clientList() const
{
    return property(root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW);
}

bool PrivateDisplay::isIconic(xcb_window_t window) const
{
    const auto state = property(window, "WM_STATE", atom("WM_STATE"));
    return !state.empty() && state.front() == 3;
}

} // namespace kolu::test
