#pragma once

#include "model/Enums.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace kolu {

// The focus timer: a countdown that alternates between a focus period and a
// break. It keeps the seconds left plus the moment up to which they are
// right, so it stays correct across sleeps, missed ticks and relaunches.
// Operations that read the time take it as `now` from the owner's clock.
struct PomodoroState {
    PomodoroMode mode = PomodoroMode::focus;
    double focusDuration = 1500;
    double breakDuration = 300;
    double remaining = 1500;
    bool isRunning = false;
    std::optional<QDateTime> startedAt;
    bool finishedPendingNotification = false;

    friend bool operator==(const PomodoroState &, const PomodoroState &) = default;

    // Length of the period the countdown is in.
    double currentModeDuration() const;

    // Brings the countdown up to `now`; a period that runs out finishes.
    void updateRemaining(const QDateTime &now);
    // The same rule, applied once to a record read at launch.
    void reconcileAfterLaunch(const QDateTime &now);
    // Moves a stopped focus timer from the old 16-minute default to 25 minutes.
    void migrateDefaultFocusDurationIfNeeded();
    // Sets the focus length, clamped to 1...180 minutes.
    void setFocusMinutes(int minutes);
    // Stops and refills the current period.
    void reset();
    // Stops, keeping what is left (finishing the period if it ran out).
    void pause(const QDateTime &now);
    // Switches to the other period, stopped and full.
    void skip();

    // "mm:ss" of the remaining time, rounded up to the second.
    QString displayTime() const;
};

} // namespace kolu
