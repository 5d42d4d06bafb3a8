#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

namespace kolu::test {

// An X server of the test's own (Xvfb, which picks a free display number
// itself), with a window manager (openbox) once asked for, so that no other
// test's windows are ever touched. Every wait on the server is bounded.
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

    // The environment of a child process that should use this display.
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
    // The managed windows, as the window manager lists them.
    std::vector<std::uint32_t> clientList() const;
    // Whether the window manager has iconified `window`.
    bool isIconic(xcb_window_t window) const;

private:
    bool waitUntilManaging();

    QProcess m_server;
    QProcess m_windowManager;
    QByteArray m_name;
    xcb_connection_t *m_connection = nullptr;
};

} // namespace kolu::test
