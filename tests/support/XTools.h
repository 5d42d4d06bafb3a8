#pragma once

#include "PrivateDisplay.h"

#include <QList>
#include <QPoint>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

namespace kolu::test {

// The X tools that drive and read a private display the way a user's
// session would see it: xdotool, xprop, xwininfo. Every run is bounded.
class XTools {
public:
    explicit XTools(const PrivateDisplay &display)
        : m_display(display)
    {
    }

    // The environment for a program on the display: the caller's, with
    // DISPLAY pointing there and no platform override.
    QProcessEnvironment environment() const;

    // Runs a tool to its end and returns what it printed.
    QString run(const QString &program, const QStringList &arguments) const;

    // Windows whose name matches `pattern` (xdotool search); the first, or 0.
    QList<quint32> findWindows(const QString &pattern) const;
    quint32 findWindow(const QString &pattern) const;
    // The area of a mapped window in root coordinates; empty otherwise.
    QRect geometry(quint32 window) const;
    // A property as xprop prints it, after the '='.
    QString property(quint32 window, const QString &name) const;
    // The windows of a root window property listing windows, in order.
    QList<quint32> rootWindows(const QString &name) const;

    void movePointer(QPoint to) const;
    // The top-level window (or window manager frame) that pointer events
    // go to now.
    quint32 windowUnderPointer() const;

private:
    const PrivateDisplay &m_display;
};

} // namespace kolu::test
