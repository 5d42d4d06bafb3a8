#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>
#include <QString>
#include <QtConcurrent/QtConcurrentRun>

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

namespace kolu {

// The reads of one cache of parsed files, run one at a time. A read that
// waited for the cache's guard on a worker would hold that worker, and a
// burst of refreshes would hold every worker of the pool that way. A read
// asked for while another runs waits for its turn on the asking thread
// instead, and one that would give what a read already waiting will give
// joins that read: a burst reads the files once more, not once for each.
// Used from the one thread that asks; answers come on it.
class CalendarReadQueue {
public:
    CalendarReadQueue();

    // Runs `work` on a worker once the reads before it have ended, or joins
    // the waiting read of the same `key` (reads with equal keys give the
    // same answer).
    template<typename T>
    QFuture<T> read(const QString &key, std::function<T()> work);

    // How many reads were started on a worker, so far.
    qint64 startedCount() const { return m_state->started; }

private:
    struct Turn {
        QString key;
        const std::type_info *type = nullptr;
        std::shared_ptr<void> joiners; // the promises of its askers
        // Starts the read on a worker; `done` is called on the asking thread
        // once every asker has its answer.
        std::function<void(std::function<void()> done)> start;
    };
    struct State {
        std::deque<Turn> waiting;
        bool running = false;
        qint64 started = 0;
    };

    // Kept by the read under way as well, so a queue may go before it ends.
    static void startNext(const std::shared_ptr<State> &state);

    std::shared_ptr<State> m_state;
};

template<typename T>
QFuture<T> CalendarReadQueue::read(const QString &key, std::function<T()> work)
{
    using Joiners = std::vector<QPromise<T>>;
    std::shared_ptr<Joiners> joiners;
    for (const Turn &turn : m_state->waiting) {
        if (turn.key == key && *turn.type == typeid(T))
            joiners = std::static_pointer_cast<Joiners>(turn.joiners);
    }
    if (!joiners) {
        joiners = std::make_shared<Joiners>();
        const auto start = [joiners, work = std::move(work)](std::function<void()> done) {
            auto *watcher = new QFutureWatcher<T>();
            QObject::connect(watcher, &QFutureWatcherBase::finished, [watcher, joiners, done = std::move(done)] {
                watcher->deleteLater();
                const QFuture<T> future = watcher->future();
                for (QPromise<T> &promise : *joiners) {
                    try {
                        promise.addResult(future.result());
                    } catch (...) {
                        promise.setException(std::current_exception());
                    }
                    promise.finish();
                }
                done();
            });
            watcher->setFuture(QtConcurrent::run(work));
        };
        m_state->waiting.push_back({key, &typeid(T), joiners, start});
    }
    QPromise<T> &promise = joiners->emplace_back();
    promise.start();
    QFuture<T> answer = promise.future();
    startNext(m_state);
    return answer;
}

} // namespace kolu
