#pragma once

#include <QtGlobal>

#include <memory>

namespace kolu {

// Holds every key press for one of the program's windows while something
// runs that the keyboard must reach wherever the pointer is (a drag that
// Escape gives up): without it the keys go to whichever program has the
// focus. X11 only; elsewhere nothing is held.
class KeyboardGrab {
public:
    virtual ~KeyboardGrab();
    // Takes the keyboard for the top-level X window `window` (mapped);
    // false when the server refused it (another program holds it). A grab
    // already held is let go first.
    virtual bool grab(quint32 window) = 0;
    // Lets the keyboard go; nothing when none is held.
    virtual void release() = 0;
    virtual bool isHeld() const = 0;
};

// Holds nothing.
class NullKeyboardGrab final : public KeyboardGrab {
public:
    bool grab(quint32) override { return false; }
    void release() override { }
    bool isHeld() const override { return false; }
};

// Through Qt's own X connection when the program runs on X11, otherwise
// one that holds nothing. Let go when it is destroyed.
std::unique_ptr<KeyboardGrab> createSystemKeyboardGrab();

} // namespace kolu
