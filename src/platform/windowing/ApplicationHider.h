#pragma once

#include <memory>

namespace kolu {

// Hides the windows of every other application on the desktop, the way a
// "hide others" command does. Kolu's own windows, docks and desktops are
// never touched.
class ApplicationHider {
public:
    virtual ~ApplicationHider();

    // Whether hiding can be offered at all (a window manager that lists its
    // clients is running); asked at each call, since it can start later.
    virtual bool isAvailable() const = 0;

    // Asks every other application's visible normal windows to be hidden and
    // returns how many applications had at least one window hidden. Windows
    // already hidden are neither asked again nor counted.
    virtual int hideOtherApplications() = 0;
};

// The desktop's own hider: EWMH over X11 when there is a display, otherwise
// one that is never available.
std::unique_ptr<ApplicationHider> createSystemApplicationHider();

} // namespace kolu
