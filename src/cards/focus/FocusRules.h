#pragma once

#include "model/PomodoroState.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kolu::focus {

// Bounds of the focus length the card lets the user choose, in minutes.
inline constexpr int kMinMinutes = 1;
inline constexpr int kMaxMinutes = 180;

// "05:00", "25:00", "180:00": the minute count clamped to 1...180.
QString durationText(int minutes);

// The focus length of the timer in whole minutes (halves away from zero), at least 1.
int pomodoroMinutes(const PomodoroState &pomodoro);

// Stopped part-way through a period: the duration is locked until a reset.
bool isPausedSession(const PomodoroState &pomodoro);

// Used share of the current period, 0...1.
double progress(const PomodoroState &pomodoro);

QString modeTitle(const PomodoroState &pomodoro);
QString primaryActionTitle(const PomodoroState &pomodoro);

// What the duration field keeps of typed text: numeric characters and ":",
// in order, at most five.
QString filterDurationText(const QString &text);

// "25" and "25:00" give 1500 seconds, "1:30" gives 90; anything else
// ("7:", ":30", "1:60", "1:2:3", letters) gives nothing.
std::optional<int> parsedDurationSeconds(const QString &text);

// The whole minutes a parsed duration becomes: clamped to 1 minute...3 hours,
// rounded up.
int minutesForSeconds(int seconds);

// The alert sounds offered on the card: shown titles and stored values, in order.
const QStringList &alertSoundTitles();
const QStringList &alertSoundValues();
// The entry shown for a stored value; absent or unknown values play the
// bell, so they show as the bell.
int alertSoundIndex(const std::optional<QString> &stored);

} // namespace kolu::focus
