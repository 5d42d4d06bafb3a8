#include "platform/net/backend/ReplyWait.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QPointer>

#include <coroutine>
#include <memory>

using namespace Qt::StringLiterals;

namespace kolu {

QString requestTimedOutText()
{
    return u"The request timed out."_s;
}

namespace {

enum class ReplyEnd { finished, timedOut, cancelled };

// Suspends until the reply finishes or is destroyed, whichever comes first,
// and resumes from a posted event.
class ReplyEndAwaiter {
public:
    explicit ReplyEndAwaiter(QNetworkReply *reply)
        : m_reply(reply)
    {
    }

    bool await_ready() const { return !m_reply || m_reply->isFinished(); }

    void await_suspend(std::coroutine_handle<> waiting)
    {
        auto resumed = std::make_shared<bool>(false);
        auto resumeOnce = [waiting, resumed] {
            if (*resumed)
                return;
            *resumed = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [waiting] { waiting.resume(); }, Qt::QueuedConnection);
        };
        QObject::connect(m_reply, &QNetworkReply::finished, QCoreApplication::instance(), resumeOnce,
                         Qt::SingleShotConnection);
        QObject::connect(m_reply, &QObject::destroyed, QCoreApplication::instance(), resumeOnce,
                         Qt::SingleShotConnection);
    }

    void await_resume() const noexcept { }

private:
    QPointer<QNetworkReply> m_reply;
};

QCoro::Task<ReplyEnd> waitForReply(QNetworkReply *reply, Clock &clock, std::chrono::milliseconds timeout)
{
    const QPointer<QNetworkReply> guard(reply);
    bool timedOut = false;
    const std::unique_ptr<ClockTimer> timer(clock.createTimer(nullptr));
    QObject::connect(timer.get(), &ClockTimer::timeout, reply, [&timedOut, reply] {
        timedOut = true;
        reply->abort();
    });
    timer->start(timeout, false);

    co_await ReplyEndAwaiter(reply);
    timer->stop();
    if (!guard)
        co_return ReplyEnd::cancelled;
    co_return timedOut ? ReplyEnd::timedOut : ReplyEnd::finished;
}

} // namespace

QCoro::Task<OwnedReply> finishReply(QNetworkReply *reply, Clock &clock, std::chrono::milliseconds timeout)
{
    OwnedReply owned(reply, ReplyDeleter{reply});
    switch (co_await waitForReply(reply, clock, timeout)) {
    case ReplyEnd::cancelled:
        (void)owned.release(); // already deleted with its manager
        throw RequestCancelled();
    case ReplyEnd::timedOut: throw TransportError(requestTimedOutText());
    case ReplyEnd::finished: break;
    }
    co_return owned;
}

} // namespace kolu
