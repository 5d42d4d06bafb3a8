#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QStringList>

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

namespace kolu::test {

// An X server of the test's own (Xvfb, which picks a free display number
// itself), with a window manager (openbox) once asked for, so that no other
// test's windows are ever touched. It reads the server over xcb and drives
// it with the X tools a user's session has (xdotool, xprop, xwininfo).
// Every wait on the server is bounded.
class PrivateDisplay {
public:
    explicit PrivateDisplay(int width = 640, int height = 480);
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay &) = delete;
    PrivateDisplay &operator=(const PrivateDisplay &) = delete;

    // Whether the server came up and answers.
    bool isRunning() const { return m_connection != nullptr; }
    // The display name, ":<n>".
    const QByteArray &name() const { return m_name; }
    xcb_connection_t *connection() const { return m_connection; }
    xcb_window_t root() const;

    // The environment of a child process on this display: the caller's, with
    // DISPLAY pointing here and no platform override.
    QProcessEnvironment environment() const;

    // Ends the X server as a crash or a logout would, under every client
    // still connected. True once it has gone.
    bool stopServer();

    // Starts openbox and waits until it manages new windows. False when it
    // could not start or never took a window in.
    bool startWindowManager();

    xcb_atom_t atom(const char *name) const;
    // A 32-bit property of `window` (empty when absent).
    std::vector<std::uint32_t> property(xcb_window_t window, const char *name, xcb_atom_t type) const;
    // A property as xprop prints it, after the '='.
    QString property(quint32 window, const QString &name) const;
    // The managed windows, as the window manager lists them.
    std::vector<std::uint32_t> clientList() const;
    // A new input-output window of the root's visual over `area`, not yet
    // mapped; `mask` and `values` as xcb_create_window takes them.
    xcb_window_t createWindow(const QRect &area, std::uint32_t mask = 0, const std::uint32_t *values = nullptr) const;
    // Whether the window manager has iconified `window`.
    bool isIconic(xcb_window_t window) const;

    // Runs an X tool on the display to its end and returns what it printed.
    QString run(const QString &program, const QStringList &arguments) const;
    // Windows whose name matches `pattern` (xdotool search); the first, or 0.
    QList<quint32> findWindows(const QString &pattern) const;
    quint32 findWindow(const QString &pattern) const;
    // The area of a mapped window in root coordinates; empty otherwise.
    QRect geometry(quint32 window) const;
    void movePointer(QPoint to) const;
    // The top-level window (or window manager frame) that pointer events go to now.
    quint32 windowUnderPointer() const;

private:
    bool waitUntilManaging();

    QProcess m_server;
    QProcess m_windowManager;
    QByteArray m_name;
    xcb_connection_t *m_connection = nullptr;
};

} // namespace kolu::test
