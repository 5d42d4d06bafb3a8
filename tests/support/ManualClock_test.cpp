#include "AwaitTask.h"
#include "ManualClock.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kolu;
using namespace std::chrono_literals;

namespace {

QCoro::Task<int> sleepThenAnswer(Clock &clock)
{
    co_await clock.sleep(1600ms);
    co_return 42;
}

} // namespace

TEST(ManualClock, FiresTimersInOrderAtTheirOwnMoments)
{
    test::ManualClock clock;
    const QDateTime start = clock.now();
    std::vector<std::pair<char, qint64>> fired;

    std::unique_ptr<ClockTimer> repeating(clock.createTimer(nullptr));
    std::unique_ptr<ClockTimer> once(clock.createTimer(nullptr));
    QObject::connect(repeating.get(), &ClockTimer::timeout, [&] { fired.emplace_back('r', start.msecsTo(clock.now())); });
    QObject::connect(once.get(), &ClockTimer::timeout, [&] { fired.emplace_back('o', start.msecsTo(clock.now())); });
    repeating->start(1000ms, true);
    once->start(1500ms, false);

    clock.advance(3200ms);
    const std::vector<std::pair<char, qint64>> expected{{'r', 1000}, {'o', 1500}, {'r', 2000}, {'r', 3000}};
    EXPECT_EQ(fired, expected);
    EXPECT_FALSE(once->isActive());
    EXPECT_TRUE(repeating->isActive());
    EXPECT_EQ(start.msecsTo(clock.now()), 3200);

    repeating->stop();
    clock.advance(5s);
    EXPECT_EQ(fired.size(), 4u);
}

TEST(ManualClock, WallClockJumpsFireNothing)
{
    test::ManualClock clock;
    const QDateTime start = clock.now();
    int count = 0;
    std::unique_ptr<ClockTimer> timer(clock.createTimer(nullptr));
    QObject::connect(timer.get(), &ClockTimer::timeout, [&] { ++count; });
    timer->start(1s, false);
    clock.jumpWallClock(std::chrono::hours(2));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(start.secsTo(clock.now()), 7200);
    clock.advance(1s);
    EXPECT_EQ(count, 1);
}

TEST(ManualClock, DestroyedTimersAreForgotten)
{
    test::ManualClock clock;
    auto *timer = clock.createTimer(nullptr);
    timer->start(1s, true);
    EXPECT_EQ(clock.activeTimerCount(), 1);
    delete timer;
    EXPECT_EQ(clock.activeTimerCount(), 0);
    clock.advance(2s); // must not touch the deleted timer
}

TEST(ClockSleep, CompletesOnlyWhenTheClockHasMoved)
{
    test::ManualClock clock;
    auto probe = test::startTask(sleepThenAnswer(clock));
    clock.advance(1599ms);
    EXPECT_FALSE(probe.isDone());
    clock.advance(1ms);
    ASSERT_TRUE(probe.isDone());
    EXPECT_EQ(probe.wait(), 42);
}

TEST(AwaitTask, RethrowsTheTasksException)
{
    const auto failing = []() -> QCoro::Task<int> {
        throw std::logic_error("boom");
        co_return 1;
    };
    EXPECT_THROW(test::awaitTask(failing()), std::logic_error);
}
