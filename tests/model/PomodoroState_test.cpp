#include "model/PomodoroState.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kolu;

// Records here name only the fields a case needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
using namespace Qt::StringLiterals;

namespace {

const QDateTime kStart(QDate(2026, 5, 1), QTime(8, 0), Qt::UTC);

PomodoroState running(double remaining, const QDateTime &since = kStart)
{
    return {.remaining = remaining, .isRunning = true, .startedAt = since};
}

// What the countdown shows: remaining, running, started, finished and not yet announced.
std::tuple<double, bool, bool, bool> seen(const PomodoroState &state)
{
    return {state.remaining, state.isRunning, state.startedAt.has_value(), state.finishedPendingNotification};
}

} // namespace

TEST(PomodoroState, UpdateCountsDownFromTheLastUpdate)
{
    PomodoroState state = running(100);
    state.updateRemaining(kStart.addMSecs(10'500));
    EXPECT_EQ(seen(state), std::tuple(89.5, true, true, false));
    EXPECT_EQ(state.startedAt, kStart.addMSecs(10'500));

    // A clock that went back adds the time back.
    state.updateRemaining(kStart.addMSecs(5'500));
    EXPECT_DOUBLE_EQ(state.remaining, 94.5);

    // Stopped, or without a start, nothing moves.
    PomodoroState stopped{.remaining = 42, .startedAt = kStart};
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
    EXPECT_EQ(seen(state), std::tuple(60.0, false, false, false));

    PomodoroState expired = running(10);
    expired.pause(kStart.addSecs(30));
    EXPECT_EQ(seen(expired), std::tuple(0.0, false, false, true));
    // Resetting the finished period refills it and drops the pending finish.
    expired.reset();
    EXPECT_EQ(seen(expired), std::tuple(expired.focusDuration, false, false, false));

    PomodoroState idle{.remaining = 77};
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
    EXPECT_EQ(seen(state), std::tuple(300.0, false, false, false));
    state.skip();
    EXPECT_EQ(state.mode, PomodoroMode::focus);
    EXPECT_EQ(state.remaining, 1500);
    EXPECT_EQ(state.breakDuration, 300);
}

TEST(PomodoroState, SetFocusMinutesClampsAndRefillsOnlyAStoppedFocus)
{
    PomodoroState stopped;
    PomodoroState runningFocus = running(100);
    PomodoroState inBreak{.mode = PomodoroMode::breakTime, .remaining = 120};
    const struct {
        PomodoroState *state;
        int minutes;
        double focus;
        double remaining;
    } cases[] = {{&stopped, 0, 60, 60},
                 {&stopped, 500, 10800, 10800},
                 {&runningFocus, 30, 1800, 100},
                 {&inBreak, 30, 1800, 120}};
    for (const auto &c : cases) {
        c.state->setFocusMinutes(c.minutes);
        EXPECT_EQ(std::pair(c.state->focusDuration, c.state->remaining), std::pair(c.focus, c.remaining)) << c.minutes;
    }
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
        EXPECT_EQ(std::pair(state.focusDuration, state.remaining),
                  std::pair(c.migrated, c.migrated == c.seconds ? 400.0 : 1500.0))
            << c.seconds;
    }
}

TEST(PomodoroState, DisplayTimeRoundsUpToTheSecond)
{
    for (const auto &[remaining, shown] :
         {std::pair(59.2, u"01:00"_s), std::pair(0.4, u"00:01"_s), std::pair(0.0, u"00:00"_s),
          std::pair(-3.0, u"00:00"_s), std::pair(10800.0, u"180:00"_s)}) {
        EXPECT_EQ(PomodoroState{.remaining = remaining}.displayTime(), shown) << remaining;
    }
}
