#include "model/PomodoroState.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QDateTime kStart(QDate(2026, 5, 1), QTime(8, 0), Qt::UTC);

PomodoroState running(double remaining, const QDateTime &since = kStart)
{
    PomodoroState state;
    state.remaining = remaining;
    state.isRunning = true;
    state.startedAt = since;
    return state;
}

} // namespace

TEST(PomodoroState, UpdateCountsDownFromTheLastUpdate)
{
    PomodoroState state = running(100);
    state.updateRemaining(kStart.addMSecs(10'500));
    EXPECT_DOUBLE_EQ(state.remaining, 89.5);
    EXPECT_EQ(state.startedAt, kStart.addMSecs(10'500));
    EXPECT_TRUE(state.isRunning);

    // A clock that went back adds the time back.
    state.updateRemaining(kStart.addMSecs(5'500));
    EXPECT_DOUBLE_EQ(state.remaining, 94.5);
}

TEST(PomodoroState, UpdateDoesNothingWhenStoppedOrWithoutStart)
{
    PomodoroState stopped;
    stopped.remaining = 42;
    stopped.startedAt = kStart;
    stopped.updateRemaining(kStart.addSecs(30));
    EXPECT_EQ(stopped.remaining, 42);

    PomodoroState noStart = running(42);
    noStart.startedAt.reset();
    noStart.updateRemaining(kStart.addSecs(30));
    EXPECT_EQ(noStart.remaining, 42);
}

TEST(PomodoroState, PauseKeepsWhatIsLeftAndFinishesAnExpiredPeriod)
{
    PomodoroState state = running(100);
    state.pause(kStart.addSecs(40));
    EXPECT_EQ(state.remaining, 60);
    EXPECT_FALSE(state.isRunning);
    EXPECT_FALSE(state.startedAt);
    EXPECT_FALSE(state.finishedPendingNotification);

    PomodoroState expired = running(10);
    expired.pause(kStart.addSecs(30));
    EXPECT_EQ(expired.remaining, 0);
    EXPECT_TRUE(expired.finishedPendingNotification);
    EXPECT_FALSE(expired.startedAt);
    EXPECT_FALSE(expired.isRunning);
    // Resetting the finished period refills it and drops the pending finish.
    expired.reset();
    EXPECT_EQ(expired.remaining, expired.focusDuration);
    EXPECT_FALSE(expired.finishedPendingNotification);

    PomodoroState idle;
    idle.remaining = 77;
    idle.pause(kStart);
    EXPECT_EQ(idle.remaining, 77);
}

TEST(PomodoroState, SkipSwitchesToTheOtherPeriodFull)
{
    PomodoroState state = running(1);
    state.reconcileAfterLaunch(kStart.addSecs(5)); // finished focus period
    ASSERT_TRUE(state.finishedPendingNotification);
    state.skip();
    EXPECT_EQ(state.mode, PomodoroMode::breakTime);
    EXPECT_EQ(state.remaining, 300);
    EXPECT_FALSE(state.isRunning);
    EXPECT_FALSE(state.finishedPendingNotification);
    state.skip();
    EXPECT_EQ(state.mode, PomodoroMode::focus);
    EXPECT_EQ(state.remaining, 1500);
    EXPECT_EQ(state.breakDuration, 300);
}

TEST(PomodoroState, SetFocusMinutesClampsAndRefillsOnlyAStoppedFocus)
{
    PomodoroState state;
    state.setFocusMinutes(0);
    EXPECT_EQ(state.focusDuration, 60);
    EXPECT_EQ(state.remaining, 60);
    state.setFocusMinutes(500);
    EXPECT_EQ(state.focusDuration, 10800);

    PomodoroState runningFocus = running(100);
    runningFocus.setFocusMinutes(30);
    EXPECT_EQ(runningFocus.focusDuration, 1800);
    EXPECT_EQ(runningFocus.remaining, 100);

    PomodoroState inBreak;
    inBreak.mode = PomodoroMode::breakTime;
    inBreak.remaining = 120;
    inBreak.setFocusMinutes(30);
    EXPECT_EQ(inBreak.focusDuration, 1800);
    EXPECT_EQ(inBreak.remaining, 120);
}

TEST(PomodoroState, MigratesOnlyAStoppedFocusOfSixteenMinutes)
{
    const struct {
        double seconds;
        bool running;
        PomodoroMode mode;
        double migrated;
    } cases[] = {{960, false, PomodoroMode::focus, 1500}, {930, false, PomodoroMode::focus, 1500},
                 {990, false, PomodoroMode::focus, 990},  {929, false, PomodoroMode::focus, 929},
                 {960, true, PomodoroMode::focus, 960},   {960, false, PomodoroMode::breakTime, 960}};
    for (const auto &c : cases) {
        PomodoroState state = c.running ? running(400) : PomodoroState{};
        state.mode = c.mode;
        state.focusDuration = c.seconds;
        state.remaining = 400;
        state.migrateDefaultFocusDurationIfNeeded();
        EXPECT_EQ(state.focusDuration, c.migrated) << c.seconds;
        EXPECT_EQ(state.remaining, c.migrated == c.seconds ? 400 : 1500) << c.seconds;
    }
}

TEST(PomodoroState, DisplayTimeRoundsUpToTheSecond)
{
    const auto shown = [](double remaining) {
        PomodoroState state;
        state.remaining = remaining;
        return state.displayTime();
    };
    EXPECT_EQ(shown(59.2), u"01:00"_s);
    EXPECT_EQ(shown(0.4), u"00:01"_s);
    EXPECT_EQ(shown(0), u"00:00"_s);
    EXPECT_EQ(shown(-3), u"00:00"_s);
    EXPECT_EQ(shown(10800), u"180:00"_s);
}
