#pragma once

#include <QSemaphore>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace kolu::test {

// Keeps every worker of a pool (the shared one by default) busy while it lives (or until
// release()), so that work handed to a worker cannot end before the test
// has looked at what is in progress. A fast worker could otherwise finish
// before the coroutine that started it even waits.
class WorkersHeld {
public:
    // `pool`: the shared pool unless another is named.
    explicit WorkersHeld(QThreadPool *pool = QThreadPool::globalInstance())
        : m_count(pool->maxThreadCount())
    {
        auto started = std::make_shared<QSemaphore>();
        for (int i = 0; i < m_count; ++i)
            pool->start([gate = m_gate, started] {
                started->release();
                gate->acquire();
            });
        EXPECT_TRUE(started->tryAcquire(m_count, 10000)) << "the workers were busy elsewhere";
    }
    ~WorkersHeld() { release(); }
    WorkersHeld(const WorkersHeld &) = delete;
    WorkersHeld &operator=(const WorkersHeld &) = delete;

    void release()
    {
        m_gate->release(m_count);
        m_count = 0;
    }

private:
    std::shared_ptr<QSemaphore> m_gate = std::make_shared<QSemaphore>();
    int m_count;
};

// Runs `work` on this thread while every worker of the shared pool is held:
// true when it ended without waiting for a worker. Work that waits on one
// would wait for ever, so past `bound` the workers are let go, the work
// ends, and the answer is false.
inline bool endsWithoutWorkers(const std::function<void()> &work,
                               std::chrono::milliseconds bound = std::chrono::seconds(10))
{
    WorkersHeld held;
    QSemaphore finished;
    std::atomic<bool> letGo = false;
    std::thread watchdog([&] {
        if (!finished.tryAcquire(1, int(bound.count()))) {
            letGo = true;
            held.release();
        }
    });
    work();
    finished.release();
    watchdog.join();
    return !letGo;
}

} // namespace kolu::test
