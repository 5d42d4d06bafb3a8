#pragma once

#include <QObject>

#include <memory>

namespace kolu {

// Tells once that the pointer moved, anywhere on the display, after being
// armed: a poll of the pointer can rest while nothing moves and look again
// when something does.
class PointerMotion : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Reports the next motion through `moved`, once. False when motion
    // cannot be reported (the caller keeps polling).
    virtual bool arm() = 0;
    virtual void disarm() = 0;

Q_SIGNALS:
    // Emitted from the event loop; the watch is disarmed by then.
    void moved();
};

// The X server's: XInput 2 raw motion on the root window, asked for on a
// connection of its own and only while armed, so a pointer moving while
// nobody waits for it costs nothing. Null when the display has no XInput 2.
std::unique_ptr<PointerMotion> createSystemPointerMotion();

} // namespace kolu
