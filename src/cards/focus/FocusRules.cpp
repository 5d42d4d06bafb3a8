#include "cards/focus/FocusRules.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu::focus {

QString durationText(int minutes)
{
    return u"%1:00"_s.arg(std::clamp(minutes, kMinMinutes, kMaxMinutes), 2, 10, QChar(u'0'));
}

int pomodoroMinutes(const PomodoroState &pomodoro)
{
    return std::max(static_cast<int>(std::lround(pomodoro.focusDuration / 60.0)), 1);
}

bool isPausedSession(const PomodoroState &pomodoro)
{
    return !pomodoro.isRunning && pomodoro.remaining > 0 && pomodoro.remaining < pomodoro.currentModeDuration();
}

double progress(const PomodoroState &pomodoro)
{
    const double total = std::max(pomodoro.currentModeDuration(), 1.0);
    return std::clamp((total - pomodoro.remaining) / total, 0.0, 1.0);
}

QString modeTitle(const PomodoroState &pomodoro)
{
    if (pomodoro.remaining <= 0)
        return u"Complete"_s;
    return pomodoro.mode == PomodoroMode::breakTime ? u"Break time"_s : u"Focus time"_s;
}

QString primaryActionTitle(const PomodoroState &pomodoro)
{
    if (pomodoro.isRunning)
        return u"Pause"_s;
    if (isPausedSession(pomodoro))
        return u"Resume"_s;
    if (pomodoro.remaining <= 0)
        return u"Restart"_s;
    return u"Start"_s;
}

QString filterDurationText(const QString &text)
{
    QString kept;
    for (const QChar c : text) {
        if (kept.size() == 5)
            break;
        if (c.isNumber() || c == u':')
            kept.append(c);
    }
    return kept;
}

namespace {

// A base-10 integer: an optional sign, then ASCII digits only.
std::optional<int> parseInteger(const QString &piece)
{
    qsizetype i = 0;
    if (piece.startsWith(u'+') || piece.startsWith(u'-'))
        i = 1;
    if (i == piece.size())
        return std::nullopt;
    for (qsizetype j = i; j < piece.size(); ++j) {
        if (piece[j] < u'0' || piece[j] > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const int value = piece.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

std::optional<int> parsedDurationSeconds(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QStringList pieces = trimmed.split(u':');
    if (pieces.size() == 1) {
        const auto minutes = parseInteger(pieces[0]);
        if (!minutes || std::abs(*minutes) > 1'000'000)
            return std::nullopt;
        return *minutes * 60;
    }
    if (pieces.size() == 2) {
        const auto minutes = parseInteger(pieces[0]);
        const auto seconds = parseInteger(pieces[1]);
        if (!minutes || !seconds || *seconds > 59 || std::abs(*minutes) > 1'000'000)
            return std::nullopt;
        return *minutes * 60 + *seconds;
    }
    return std::nullopt;
}

int minutesForSeconds(int seconds)
{
    const int clamped = std::clamp(seconds, kMinMinutes * 60, kMaxMinutes * 60);
    return std::max((clamped + 59) / 60, 1);
}

const QStringList &alertSoundTitles()
{
    static const QStringList titles{u"Bell"_s, u"Chime"_s, u"Soft"_s, u"Digital"_s, u"None"_s};
    return titles;
}

const QStringList &alertSoundValues()
{
    static const QStringList values{u"calendar"_s, u"chime"_s, u"soft"_s, u"digital"_s, u"off"_s};
    return values;
}

int alertSoundIndex(const std::optional<QString> &stored)
{
    const qsizetype index = stored ? alertSoundValues().indexOf(*stored) : -1;
    return index < 0 ? 0 : static_cast<int>(index);
}

} // namespace kolu::focus
