#include "PrivateDisplay.h"

#include "EventWait.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace kolu::test {

PrivateDisplay::PrivateDisplay(int width, int height)
{
    const QByteArray number = startAndReadLine(m_server, u"Xvfb"_s,
                                               {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-noreset"_s,
                                                u"-screen"_s, u"0"_s, u"%1x%2x24"_s.arg(width).arg(height)});
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

bool PrivateDisplay::stopServer()
{
    m_server.kill();
    return m_server.waitForFinished(10000);
}

xcb_window_t PrivateDisplay::root() const
{
    return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

QProcessEnvironment PrivateDisplay::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, QString::fromLatin1(m_name));
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    return env;
}

bool PrivateDisplay::startWindowManager()
{
    if (!isRunning())
        return false;
    m_windowManager.setProcessEnvironment(environment());
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The end-to-end checks run under openbox; KOLU_TEST_WM names another
    // manager to try them under (its command line, split at spaces).
    const QString other = qEnvironmentVariable("KOLU_TEST_WM");
    if (other.isEmpty()) {
        m_windowManager.start(u"openbox"_s, {u"--sm-disable"_s});
    } else {
        QStringList words = other.split(u' ', Qt::SkipEmptyParts);
        m_windowManager.start(words.takeFirst(), words);
    }
    if (!m_windowManager.waitForStarted(5000))
        return false;
    const bool announced = waitUntil([this] {
        return m_windowManager.state() == QProcess::NotRunning
            || !property(root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty();
    }) && m_windowManager.state() == QProcess::Running;
    return announced && waitUntilManaging();
}

bool PrivateDisplay::waitUntilManaging()
{
    // openbox announces itself before it has finished starting: a window
    // mapped in between may be dropped for good (its map request is left
    // unread, or the manager gives the window up as unmapped). A window of
    // our own that it takes in shows that it now handles every request.
    const xcb_window_t probe = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, probe, root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t wmState = atom("WM_STATE");
    int polls = 0;
    const bool managed = waitUntil(
        [&] {
            if (m_windowManager.state() == QProcess::NotRunning)
                return true;
            if (!property(probe, "WM_STATE", wmState).empty())
                return true;
            // A map request of our own again, now and then, wakes a manager
            // that left the first one unread; one it already holds is
            // answered by nothing.
            if (polls++ % 25 == 0) {
                xcb_map_window(m_connection, probe);
                xcb_flush(m_connection);
            }
            return false;
        },
        std::chrono::seconds(60));
    xcb_destroy_window(m_connection, probe);
    xcb_flush(m_connection);
    // Gone from the manager's list before a test counts its windows.
    const bool released = waitUntil([&] {
        const std::vector<std::uint32_t> clients = clientList();
        return m_windowManager.state() == QProcess::NotRunning
            || std::find(clients.begin(), clients.end(), probe) == clients.end();
    });
    return managed && released && m_windowManager.state() == QProcess::Running;
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

xcb_window_t PrivateDisplay::createWindow(const QRect &area, std::uint32_t mask, const std::uint32_t *values) const
{
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, root(), area.x(), area.y(), area.width(),
                      area.height(), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, mask, values);
    xcb_flush(m_connection);
    return window;
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

QString PrivateDisplay::run(const QString &program, const QStringList &arguments) const
{
    return runToEnd(program, arguments, environment());
}

QList<quint32> PrivateDisplay::findWindows(const QString &pattern) const
{
    QList<quint32> windows;
    const QStringList lines = run(u"xdotool"_s, {u"search"_s, u"--name"_s, pattern}).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        windows.append(line.trimmed().toUInt());
    return windows;
}

quint32 PrivateDisplay::findWindow(const QString &pattern) const
{
    const QList<quint32> windows = findWindows(pattern);
    return windows.isEmpty() ? 0 : windows.front();
}

QRect PrivateDisplay::geometry(quint32 window) const
{
    const QString info = run(u"xwininfo"_s, {u"-id"_s, QString::number(window)});
    if (!info.contains(u"IsViewable"_s))
        return {};
    const auto field = [&info](const QString &name) {
        const QRegularExpressionMatch match = QRegularExpression(name + u":\\s*(-?\\d+)"_s).match(info);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    };
    return {field(u"Absolute upper-left X"_s), field(u"Absolute upper-left Y"_s), field(u"Width"_s),
            field(u"Height"_s)};
}

QString PrivateDisplay::property(quint32 window, const QString &name) const
{
    const QString line = run(u"xprop"_s, {u"-id"_s, QString::number(window), name}).trimmed();
    const qsizetype at = line.indexOf(u" = "_s);
    return at < 0 ? QString() : line.mid(at + 3);
}

void PrivateDisplay::movePointer(QPoint to) const
{
    run(u"xdotool"_s, {u"mousemove"_s, QString::number(to.x()), QString::number(to.y())});
}

quint32 PrivateDisplay::windowUnderPointer() const
{
    const QString location = run(u"xdotool"_s, {u"getmouselocation"_s});
    const QRegularExpressionMatch match = QRegularExpression(u"window:(\\d+)"_s).match(location);
    return match.hasMatch() ? match.captured(1).toUInt() : 0;
}

} // namespace kolu::test
