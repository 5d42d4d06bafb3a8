#pragma once

#include <QCoreApplication>
#include <QObject>

#include <coroutine>

namespace kolu {

// co_await nextEmission(sender, &Sender::signal) suspends until the signal is
// next emitted, whatever its arguments. Unlike QCoro's signal awaiter it also
// works for Qt's private signals (QProcess::stateChanged and others), whose
// last argument must never be touched. The coroutine resumes from the event
// loop, after the emission has finished, so it may safely destroy the sender.
// The sender must outlive the wait.
template<typename Sender, typename Signal>
class SignalAwaiter {
public:
    SignalAwaiter(Sender *sender, Signal signal)
        : m_sender(sender)
        , m_signal(signal)
    {
    }

    bool await_ready() const noexcept { return false; }

    void await_suspend(std::coroutine_handle<> waiting)
    {
        QObject::connect(
            m_sender, m_signal, m_sender,
            [waiting] {
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(), [waiting] { waiting.resume(); }, Qt::QueuedConnection);
            },
            Qt::SingleShotConnection);
    }

    void await_resume() const noexcept { }

private:
    Sender *m_sender;
    Signal m_signal;
};

template<typename Sender, typename Signal>
SignalAwaiter<Sender, Signal> nextEmission(Sender *sender, Signal signal)
{
    return SignalAwaiter<Sender, Signal>(sender, signal);
}

} // namespace kolu
