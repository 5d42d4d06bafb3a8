#pragma once

#include "EventWait.h"

#include <QPointer>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>

namespace kolu::test {

namespace detail {

struct Unit { };

template<typename T>
using Stored = std::conditional_t<std::is_void_v<T>, Unit, T>;

template<typename T>
struct TaskState {
    bool done = false;
    std::optional<Stored<T>> value;
    std::exception_ptr error;
    // The loop a waiter runs, ended the moment the task is: a benchmark
    // timing a task through it measures the task, not a polling period.
    QPointer<QEventLoop> loop;
};

template<typename T>
QCoro::Task<> drive(QCoro::Task<T> task, std::shared_ptr<TaskState<T>> state)
{
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            state->value.emplace();
        } else {
            state->value.emplace(co_await std::move(task));
        }
    } catch (...) {
        state->error = std::current_exception();
    }
    state->done = true;
    if (state->loop)
        state->loop->quit();
}

} // namespace detail

// A running task whose outcome a test can look at without blocking, while it
// drives time forward with a manual clock.
template<typename T>
class TaskProbe {
public:
    explicit TaskProbe(QCoro::Task<T> task)
        : m_state(std::make_shared<detail::TaskState<T>>())
    {
        detail::drive(std::move(task), m_state);
    }

    bool isDone() const { return m_state->done; }

    // Runs the event loop until the task ends or `timeout` of real time has
    // passed (a guard against hangs, not a pace). Rethrows the task's
    // exception; throws std::runtime_error when it did not end.
    auto wait(std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        if (!m_state->done) {
            QEventLoop loop;
            m_state->loop = &loop;
            QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
            loop.exec();
            m_state->loop = nullptr;
        }
        if (!m_state->done)
            throw std::runtime_error("the task did not finish in time");
        if (m_state->error)
            std::rethrow_exception(m_state->error);
        if constexpr (!std::is_void_v<T>)
            return std::move(*m_state->value);
    }

private:
    std::shared_ptr<detail::TaskState<T>> m_state;
};

template<typename T>
TaskProbe<T> startTask(QCoro::Task<T> task)
{
    return TaskProbe<T>(std::move(task));
}

// Awaits `task` in a nested event loop and returns its value or rethrows.
template<typename T>
auto awaitTask(QCoro::Task<T> task, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    return TaskProbe<T>(std::move(task)).wait(timeout);
}

} // namespace kolu::test
