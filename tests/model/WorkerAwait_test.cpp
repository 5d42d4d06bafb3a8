// Many coroutines awaiting work on the shared pool at once, with work that
// ends before, during and after the wait starts: every one must resume.
#include "AwaitTask.h"
#include "EventWait.h"
#include "model/WorkerAwait.h"

#include <gtest/gtest.h>

#include <QThread>
#include <QtConcurrent/QtConcurrent>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotask.h>

#include <atomic>
#include <chrono>
#include <vector>

namespace kolu {
namespace {

int spin(int index)
{
    // Some end at once, some while the coroutine suspends, some later.
    const int rounds = (index % 7) * 2000;
    volatile int sink = 0;
    for (int i = 0; i < rounds; ++i)
        sink = sink + i;
    if (index % 11 == 0)
        QThread::yieldCurrentThread();
    return index;
}

QCoro::Task<int> awaitSpins(int first, int count)
{
    int sum = 0;
    for (int i = first; i < first + count; ++i)
        sum += co_await QtConcurrent::run(&spin, i);
    co_return sum;
}

TEST(WorkerAwait, EveryAwaitedRunResumesUnderLoad)
{
    constexpr int kChains = 64;
    constexpr int kLength = 60;
    std::vector<test::TaskProbe<int>> probes;
    probes.reserve(kChains);
    for (int chain = 0; chain < kChains; ++chain)
        probes.push_back(test::startTask(awaitSpins(chain * kLength, kLength)));
    for (int chain = 0; chain < kChains; ++chain) {
        const int first = chain * kLength;
        const int expected = kLength * first + kLength * (kLength - 1) / 2;
        // A bound against a hang only: a loaded machine is slow, never stuck.
        EXPECT_EQ(probes[static_cast<std::size_t>(chain)].wait(std::chrono::seconds(120)), expected)
            << "chain " << chain;
    }
}

QCoro::Task<> awaitAfterWorker(QFuture<int> work, int *received)
{
    *received = co_await afterWorker(std::move(work));
}

// Work that has ended before it is awaited is still heard of from the event
// loop, never inside the call that started the waiting: a loader that starts
// a decode and then marks itself loading must not have the answer first.
TEST(WorkerAwait, AfterWorkerResumesFromTheEventLoopEvenWhenTheWorkHasEnded)
{
    int received = 0;
    awaitAfterWorker(QtFuture::makeReadyFuture(42), &received);
    EXPECT_EQ(received, 0);
    ASSERT_TRUE(test::waitUntil([&] { return received == 42; }));

    QFuture<int> running = QtConcurrent::run(&spin, 13);
    running.waitForFinished();
    awaitAfterWorker(running, &received);
    EXPECT_EQ(received, 42);
    ASSERT_TRUE(test::waitUntil([&] { return received == 13; }));
}

} // namespace
} // namespace kolu
