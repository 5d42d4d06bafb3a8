#pragma once

#include <QObject>

#include <chrono>

namespace kolu {

class AppState;
class Clock;
class ClockTimer;

// A while after the rail collapses, gives back what only the opened rail
// needed: its views and cards (through `releasing`), the pictures its glass,
// shadows and icons were cached as and the cards' decoded pictures; then the
// heap returns its free pages to the system. Opening the rail again before
// then keeps everything; after, the next open paints them anew.
class RailMemoryRelease : public QObject {
    Q_OBJECT
public:
    // `state` and `clock` must outlive the object.
    RailMemoryRelease(AppState &state, Clock &clock, QObject *parent = nullptr);

    bool isPending() const;
    // Forgets a pending release (the program ends).
    void cancel();
    // Gives everything back now.
    void release();
    int releases() const { return m_releases; }

    static constexpr std::chrono::seconds kDelay{8};

Q_SIGNALS:
    // Now is the time to let go of the views kept for the opened rail.
    void releasing();

private:
    void follow();

    AppState &m_state;
    ClockTimer *m_timer;
    int m_releases = 0;
};

} // namespace kolu
