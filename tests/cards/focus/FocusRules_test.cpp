#include "cards/focus/FocusRules.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kolu::focus {

TEST(FocusRules, DurationTextsParseAndRoundUpToWholeMinutes)
{
    const struct {
        QString typed;
        std::optional<int> seconds;
    } cases[] = {
        {u"25"_s, 1500},  {u"25:00"_s, 1500}, {u" 1:30\n"_s, 90}, {u"+2"_s, 120}, {u"0:59"_s, 59},
        {u"7:"_s, {}},    {u":30"_s, {}},     {u"1:60"_s, {}},    {u"1:2:3"_s, {}}, {u""_s, {}},
        {u"  "_s, {}},    {u"a5"_s, {}},      {u"+"_s, {}},       {u"٣"_s, {}},    {u"1:+"_s, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parsedDurationSeconds(c.typed), c.seconds) << c.typed.toStdString();

    const std::pair<int, int> minutes[] = {{90 * 60, 90}, {270, 5}, {59, 1}, {0, 1}, {-300, 1}, {61, 2},
                                           {999 * 60, 180}};
    for (const auto &[seconds, expected] : minutes)
        EXPECT_EQ(minutesForSeconds(seconds), expected) << seconds;

    const std::pair<int, QString> texts[] = {{5, u"05:00"_s}, {25, u"25:00"_s}, {180, u"180:00"_s},
                                             {0, u"01:00"_s}, {400, u"180:00"_s}};
    for (const auto &[m, text] : texts)
        EXPECT_EQ(durationText(m), text) << m;
}

TEST(FocusRules, TheFieldKeepsNumbersAndColonsUpToFiveCharacters)
{
    EXPECT_EQ(filterDurationText(u"1a2 :b3"_s), u"12:3"_s);
    EXPECT_EQ(filterDurationText(u"180:00"_s), u"180:0"_s);
    EXPECT_EQ(filterDurationText(u"abc"_s), QString());
    // The kept text of a 3-digit length still parses as that length.
    EXPECT_EQ(minutesForSeconds(*parsedDurationSeconds(filterDurationText(durationText(120)))), 120);
}

TEST(FocusRules, SessionStatesGiveTheirTitlesAndProgress)
{
    // A 25-minute focus and a 5-minute break.
    const auto session = [](bool running, double remaining, PomodoroMode mode = PomodoroMode::focus) {
        PomodoroState p;
        p.isRunning = running;
        p.remaining = remaining;
        p.mode = mode;
        return p;
    };
    const struct {
        PomodoroState state;
        QString action, mode;
        double progress;
    } cases[] = {
        {session(false, 1500), u"Start"_s, u"Focus time"_s, 0},
        {session(true, 375), u"Pause"_s, u"Focus time"_s, 0.75},
        {session(false, 375), u"Resume"_s, u"Focus time"_s, 0.75},
        {session(false, 0), u"Restart"_s, u"Complete"_s, 1},
        {session(false, 3000), u"Start"_s, u"Focus time"_s, 0}, // snoozed past the length: still ready
        {session(false, 150, PomodoroMode::breakTime), u"Resume"_s, u"Break time"_s, 0.5},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(primaryActionTitle(c.state), c.action) << c.state.remaining;
        EXPECT_EQ(modeTitle(c.state), c.mode) << c.state.remaining;
        EXPECT_DOUBLE_EQ(progress(c.state), c.progress) << c.state.remaining;
    }

    PomodoroState odd;
    for (const auto &[seconds, minutes] : {std::pair{89.0, 1}, {90.0, 2}, {30.0, 1}, {10800.0, 180}}) {
        odd.focusDuration = seconds;
        EXPECT_EQ(pomodoroMinutes(odd), minutes) << seconds;
    }
}

} // namespace kolu::focus
