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
    PomodoroState ready;
    EXPECT_EQ(primaryActionTitle(ready), u"Start"_s);
    EXPECT_EQ(modeTitle(ready), u"Focus time"_s);
    EXPECT_DOUBLE_EQ(progress(ready), 0);

    PomodoroState running = ready;
    running.isRunning = true;
    running.remaining = 375;
    EXPECT_EQ(primaryActionTitle(running), u"Pause"_s);
    EXPECT_DOUBLE_EQ(progress(running), 0.75);

    PomodoroState paused = running;
    paused.isRunning = false;
    EXPECT_TRUE(isPausedSession(paused));
    EXPECT_EQ(primaryActionTitle(paused), u"Resume"_s);

    PomodoroState complete = ready;
    complete.remaining = 0;
    EXPECT_EQ(primaryActionTitle(complete), u"Restart"_s);
    EXPECT_EQ(modeTitle(complete), u"Complete"_s);
    EXPECT_DOUBLE_EQ(progress(complete), 1);

    // A snooze longer than the focus length, then paused: still ready.
    PomodoroState snoozed = ready;
    snoozed.remaining = 3000;
    EXPECT_FALSE(isPausedSession(snoozed));
    EXPECT_EQ(primaryActionTitle(snoozed), u"Start"_s);
    EXPECT_DOUBLE_EQ(progress(snoozed), 0);

    PomodoroState onBreak = ready;
    onBreak.mode = PomodoroMode::breakTime;
    onBreak.remaining = 150;
    EXPECT_EQ(modeTitle(onBreak), u"Break time"_s);
    EXPECT_DOUBLE_EQ(progress(onBreak), 0.5);

    PomodoroState odd = ready;
    for (const auto &[seconds, minutes] : {std::pair{89.0, 1}, {90.0, 2}, {30.0, 1}, {10800.0, 180}}) {
        odd.focusDuration = seconds;
        EXPECT_EQ(pomodoroMinutes(odd), minutes) << seconds;
    }
}

TEST(FocusRules, StoredSoundsMapToAShownChoice)
{
    EXPECT_EQ(alertSoundIndex(u"chime"_s), 1);
    EXPECT_EQ(alertSoundIndex(u"off"_s), 4);
    EXPECT_EQ(alertSoundIndex(std::nullopt), 0);
    EXPECT_EQ(alertSoundIndex(u"trumpet"_s), 0);
    ASSERT_EQ(alertSoundTitles().size(), alertSoundValues().size());
}

} // namespace kolu::focus
