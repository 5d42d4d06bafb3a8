#pragma once

#include <QString>

namespace kolu {

// The desktops whose own desktop-picture setting Kolu knows how to change.
enum class DesktopKind { gnome, cinnamon, mate, plasma, xfce, other };

// What the session tells about the running desktop.
struct SessionEnvironment {
    QString currentDesktop; // XDG_CURRENT_DESKTOP, a ":"-separated list
    QString desktopSession; // DESKTOP_SESSION
    QString x11Display;     // DISPLAY

    // Read from this process's environment.
    static SessionEnvironment current();
};

// The first desktop named in XDG_CURRENT_DESKTOP that Kolu knows, else the
// one DESKTOP_SESSION names, else `other`.
DesktopKind detectDesktop(const SessionEnvironment &environment);

} // namespace kolu
