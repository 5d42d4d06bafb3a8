#pragma once

#include "EventWait.h"
#include "RefusingPort.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kolu::test {

// Whether the tests run under continuous integration (CI set, as CI services
// set it): there an X server, window manager or compositor that does not
// come up is a broken setup to report, not a reason to leave tests unrun.
inline bool underContinuousIntegration()
{
    const QByteArray ci = qgetenv("CI");
    return !ci.isEmpty() && ci != "false" && ci != "0";
}

// An X server of the test's own (Xvfb, which picks a free display number
// itself), with a window manager (openbox) once asked for, so that no other
// test's windows are ever touched. It reads the server over xcb and drives
// it with the X tools a user's session has (xdotool, xprop, xwininfo).
// Every wait on the server is bounded.
class PrivateDisplay {
public:
    explicit PrivateDisplay(int width = 640, int height = 480)
    {
        const QByteArray number =
            startAndReadLine(m_server, QStringLiteral("Xvfb"),
                             {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp"), QStringLiteral("-noreset"), QStringLiteral("-screen"),
                              QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(width).arg(height)});
        if (number.isEmpty())
            return;
        m_name = ":" + number;
        m_connection = xcb_connect(m_name.constData(), nullptr);
        if (xcb_connection_has_error(m_connection)) {
            xcb_disconnect(m_connection);
            m_connection = nullptr;
        }
    }
    ~PrivateDisplay()
    {
        m_windowManager.kill();
        m_windowManager.waitForFinished(5000);
        if (m_connection)
            xcb_disconnect(m_connection);
        m_server.kill();
        m_server.waitForFinished(5000);
    }
    PrivateDisplay(const PrivateDisplay &) = delete;
    PrivateDisplay &operator=(const PrivateDisplay &) = delete;

    // Whether the server came up and answers.
    bool isRunning() const { return m_connection != nullptr; }
    // The display name, ":<n>".
    const QByteArray &name() const { return m_name; }
    xcb_connection_t *connection() const { return m_connection; }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root; }

    // The environment of a child process on this display: the caller's, with
    // DISPLAY pointing here, no platform override, and every web request sent
    // to a proxy on loopback that refuses it, so that a program started here
    // (Kolu asks for the weather and the prayer times as it starts) never
    // leaves this machine.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_name));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        for (const char *name : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
            env.insert(QString::fromLatin1(name), m_noNetwork.url());
        env.remove(QStringLiteral("no_proxy"));
        env.remove(QStringLiteral("NO_PROXY"));
        return env;
    }

    // Ends the X server as a crash or a logout would, under every client
    // still connected. True once it has gone.
    bool stopServer()
    {
        m_server.kill();
        return m_server.waitForFinished(10000);
    }

    // Starts openbox and waits until it manages new windows. False when it
    // could not start or never took a window in.
    bool startWindowManager()
    {
        if (!isRunning())
            return false;
        m_windowManager.setProcessEnvironment(environment());
        m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The end-to-end checks run under openbox; KOLU_TEST_WM names another
        // manager to try them under (its command line, split at spaces).
        const QString other = qEnvironmentVariable("KOLU_TEST_WM");
        QStringList words =
            (other.isEmpty() ? QStringLiteral("openbox --sm-disable") : other).split(u' ', Qt::SkipEmptyParts);
        m_windowManager.start(words.takeFirst(), words);
        if (!m_windowManager.waitForStarted(5000))
            return false;
        const bool announced =
            waitUntil([this] {
                return !managerRuns() || !property(root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty();
            })
            && managerRuns();
        return announced && waitUntilManaging();
    }

    // Whether a compositing manager holds the screen.
    bool compositorRuns() const
    {
        auto *reply = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, atom("_NET_WM_CM_S0")), nullptr);
        const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
        std::free(reply);
        return owned;
    }
    // Starts picom in `process` and waits until it composites. False when it
    // did not start or never took the screen.
    bool startCompositor(QProcess &process) const
    {
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral("picom"), {QStringLiteral("--backend"), QStringLiteral("xrender")});
        return process.waitForStarted(5000) && waitUntil([this] { return compositorRuns(); });
    }

    xcb_atom_t atom(const char *name) const
    {
        const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }
    // A 32-bit property of `window` (empty when absent).
    std::vector<std::uint32_t> property(xcb_window_t window, const char *name, xcb_atom_t type) const
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
    // A property as xprop prints it, after the '='.
    QString property(quint32 window, const QString &name) const
    {
        const QString line =
            run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), name}).trimmed();
        const qsizetype at = line.indexOf(QStringLiteral(" = "));
        return at < 0 ? QString() : line.mid(at + 3);
    }
    // The managed windows, as the window manager lists them.
    std::vector<std::uint32_t> clientList() const { return property(root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW); }
    // A new input-output window of the root's visual over `area`, not yet
    // mapped; `mask` and `values` as xcb_create_window takes them.
    xcb_window_t createWindow(const QRect &area, std::uint32_t mask = 0, const std::uint32_t *values = nullptr) const
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, root(), area.x(), area.y(), area.width(),
                          area.height(), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, mask, values);
        xcb_flush(m_connection);
        return window;
    }
    // Whether the window manager has iconified `window`.
    bool isIconic(xcb_window_t window) const
    {
        const auto state = property(window, "WM_STATE", atom("WM_STATE"));
        return !state.empty() && state.front() == 3;
    }

    // Runs an X tool on the display to its end and returns what it printed.
    QString run(const QString &program, const QStringList &arguments) const
    {
        return runToEnd(program, arguments, environment());
    }
    // Windows whose name matches `pattern` (xdotool search); the first, or 0.
    QList<quint32> findWindows(const QString &pattern) const
    {
        QList<quint32> windows;
        const QString found =
            run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"), pattern});
        for (const QString &line : found.split(u'\n', Qt::SkipEmptyParts))
            windows.append(line.trimmed().toUInt());
        return windows;
    }
    quint32 findWindow(const QString &pattern) const { return findWindows(pattern).value(0); }
    // The area of a mapped window in root coordinates; empty otherwise.
    QRect geometry(quint32 window) const
    {
        const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
        if (!info.contains(QStringLiteral("IsViewable")))
            return {};
        const auto field = [&info](const char *name) {
            return number(info, QLatin1StringView(name) + QStringLiteral(":\\s*(-?\\d+)")).toInt();
        };
        return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")};
    }
    void movePointer(QPoint to) const
    {
        run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y())});
    }
    // The top-level window (or window manager frame) that pointer events go to now.
    quint32 windowUnderPointer() const
    {
        const QString location = run(QStringLiteral("xdotool"), {QStringLiteral("getmouselocation")});
        return number(location, QStringLiteral("window:(\\d+)")).toUInt();
    }

private:
    // The first group of `pattern` in `text`; empty when it does not match.
    static QString number(const QString &text, const QString &pattern)
    {
        return QRegularExpression(pattern).match(text).captured(1);
    }
    bool managerRuns() const { return m_windowManager.state() == QProcess::Running; }

    bool waitUntilManaging()
    {
        // openbox announces itself before it has finished starting: a window
        // mapped in between may be dropped for good (its map request is left
        // unread, or the manager gives the window up as unmapped). A window of
        // our own that it takes in shows that it now handles every request.
        const xcb_window_t probe = createWindow({0, 0, 1, 1});
        const xcb_atom_t wmState = atom("WM_STATE");
        int polls = 0;
        const bool managed = waitUntil(
            [&] {
                if (!managerRuns() || !property(probe, "WM_STATE", wmState).empty())
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
            return !managerRuns() || std::find(clients.begin(), clients.end(), probe) == clients.end();
        });
        return managed && released && managerRuns();
    }

    RefusingPort m_noNetwork;
    QProcess m_server;
    QProcess m_windowManager;
    QByteArray m_name;
    xcb_connection_t *m_connection = nullptr;
};

} // namespace kolu::test

// Leaves the test unrun for want of `message`'s part of the desktop, or,
// under continuous integration, fails it.
#define KOLU_SKIP_OR_FAIL_UNDER_CI(message)                                                                            \
    do {                                                                                                               \
        if (::kolu::test::underContinuousIntegration())                                                                \
            FAIL() << (message);                                                                                       \
        else                                                                                                           \
            GTEST_SKIP() << (message);                                                                                 \
    } while (false)
