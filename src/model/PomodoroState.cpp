#include "model/PomodoroState.h"

#include <algorithm>
#include <cmath>

namespace kolu {

namespace {

constexpr double kDefaultFocusDuration = 1500;
constexpr double kLegacyDefaultFocusMinutes = 16;

double secondsBetween(const QDateTime &from, const QDateTime &to)
{
    return static_cast<double>(from.msecsTo(to)) / 1000.0;
}

} // namespace

double PomodoroState::currentModeDuration() const
{
    return mode == PomodoroMode::focus ? focusDuration : breakDuration;
}

void PomodoroState::updateRemaining(const QDateTime &now)
{
    if (!isRunning || !startedAt)
        return;
    // A clock that went back yields a negative elapsed time, which adds time.
    remaining -= secondsBetween(*startedAt, now);
    startedAt = now;
    if (remaining <= 0) {
        remaining = 0;
        isRunning = false;
        finishedPendingNotification = true;
    }
}

void PomodoroState::reconcileAfterLaunch(const QDateTime &now)
{
    updateRemaining(now);
}

void PomodoroState::migrateDefaultFocusDurationIfNeeded()
{
    if (isRunning || mode != PomodoroMode::focus)
        return;
    // std::round rounds halves away from zero.
    if (std::round(focusDuration / 60.0) == kLegacyDefaultFocusMinutes) {
        focusDuration = kDefaultFocusDuration;
        remaining = kDefaultFocusDuration;
    }
}

void PomodoroState::setFocusMinutes(int minutes)
{
    focusDuration = std::clamp(minutes, 1, 180) * 60.0;
    if (mode == PomodoroMode::focus && !isRunning)
        remaining = focusDuration;
}

void PomodoroState::reset()
{
    isRunning = false;
    startedAt.reset();
    remaining = currentModeDuration();
    finishedPendingNotification = false;
}

void PomodoroState::pause(const QDateTime &now)
{
    if (isRunning && startedAt) {
        remaining -= secondsBetween(*startedAt, now);
        startedAt = now;
        if (remaining <= 0) {
            remaining = 0;
            finishedPendingNotification = true;
        }
    }
    isRunning = false;
    startedAt.reset();
}

void PomodoroState::skip()
{
    mode = mode == PomodoroMode::focus ? PomodoroMode::breakTime : PomodoroMode::focus;
    remaining = currentModeDuration();
    isRunning = false;
    startedAt.reset();
    finishedPendingNotification = false;
}

QString PomodoroState::displayTime() const
{
    const double rounded = std::ceil(remaining);
    // Past the range of a 64-bit count the value is meaningless; keep it finite.
    const qint64 total = std::isfinite(rounded) ? static_cast<qint64>(std::clamp(rounded, 0.0, 9.0e15)) : 0;
    return QString::asprintf("%02lld:%02lld", total / 60, total % 60);
}

} // namespace kolu
