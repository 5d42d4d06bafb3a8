#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>

#include <coroutine>
#include <type_traits>
#include <utility>

namespace kolu {

// co_await afterWorker(QtConcurrent::run(...)) is the one way code here
// waits for a worker: it suspends until the worker's result is there and
// hands it over, moved out rather than copied. The coroutine always resumes
// from the event loop, even when the work has already ended by the time it
// is awaited: QCoro's own awaiter of a future goes straight on then, so a
// caller that starts work and expects to hear of it later could hear of it
// before its own call returns. Re-check whatever the coroutine uses after
// the wait; it may have gone meanwhile.
template<typename T>
class WorkerAwaiter {
public:
    explicit WorkerAwaiter(QFuture<T> future)
        : m_future(std::move(future))
    {
    }

    bool await_ready() const noexcept { return false; }

    void await_suspend(std::coroutine_handle<> waiting)
    {
        // A watcher reports a future that has already finished from the
        // event loop as well.
        auto *watcher = new QFutureWatcher<T>();
        QObject::connect(watcher, &QFutureWatcherBase::finished, [watcher, waiting] {
            watcher->deleteLater();
            waiting.resume();
        });
        watcher->setFuture(m_future);
    }

    T await_resume()
    {
        if constexpr (std::is_void_v<T>)
            m_future.waitForFinished(); // hands on what the work threw
        else
            return m_future.takeResult();
    }

private:
    QFuture<T> m_future;
};

template<typename T>
WorkerAwaiter<T> afterWorker(QFuture<T> future)
{
    return WorkerAwaiter<T>(std::move(future));
}

} // namespace kolu
