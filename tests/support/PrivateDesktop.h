#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>

namespace kolu::test {

// A desktop of the test's own: an X server (Xvfb) of the given size with
// openbox managing it (no window decorations, so a client's area starts
// where it is placed), and the X tools that drive and read it: xdotool,
// xprop, xwininfo. Nothing on the machine's own display is ever touched.
class PrivateDesktop {
public:
    explicit PrivateDesktop(QSize size = {1440, 900});
    ~PrivateDesktop();

    PrivateDesktop(const PrivateDesktop &) = delete;
    PrivateDesktop &operator=(const PrivateDesktop &) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }
    const QByteArray &display() const { return m_display; }

    // The environment a program on this desktop gets: the caller's, with
    // DISPLAY pointing here and no platform override.
    QProcessEnvironment environment() const;

    // Runs an X tool to its end (bounded) and returns what it printed.
    QString run(const QString &program, const QStringList &arguments) const;

    // The first window whose name matches `pattern` (xdotool search), or 0.
    quint32 findWindow(const QString &pattern) const;
    QList<quint32> findWindows(const QString &pattern) const;
    // The client area in root coordinates; empty when the window is gone.
    QRect geometry(quint32 window) const;
    // A property as xprop prints it, after the '=' (or ':').
    QString property(quint32 window, const QString &name) const;
    QString rootProperty(const QString &name) const;

    // Moves the pointer, and clicks with the first button.
    void movePointer(QPoint to) const;
    void click(QPoint at) const;

private:
    QProcess m_server;
    QProcess m_windowManager;
    QTemporaryDir m_config;
    QByteArray m_display;
};

} // namespace kolu::test
