#include "platform/net/NetModule.h"

#include "platform/net/Http.h"
#include "platform/system/LoadableModule.h"

#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>
#include <qcoro/qcorofuture.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr char kFileName[] = "libkolu-net.so";

// Runs on a worker: opening the module maps Qt Network and what it needs.
const NetBackend *load()
{
    return loadModule<NetBackend>(kFileName, kNetBackendEntry, "no network");
}

// Started by the first request, from the main thread.
QFuture<const NetBackend *> &loading()
{
    static QFuture<const NetBackend *> future = QtConcurrent::run(load);
    return future;
}

bool loadingStarted = false;

// The real network, made on the main thread once the module is there. It
// lives as long as the deferred one that made it, or until it has been idle
// for kIdleRelease: destroying it (which ends its requests with
// RequestCancelled) lets its connections and its thread go too.
struct RealNetwork {
    std::unique_ptr<Network> network;
    std::unique_ptr<ClockTimer> idle;
    int active = 0;
    bool gone = false;
};

// A request under way: the real network stays while any is.
class InFlight {
public:
    explicit InFlight(std::shared_ptr<RealNetwork> real)
        : m_real(std::move(real))
    {
        ++m_real->active;
        m_real->idle->stop();
    }
    InFlight(const InFlight &) = delete;
    InFlight &operator=(const InFlight &) = delete;
    ~InFlight()
    {
        if (--m_real->active == 0 && !m_real->gone && m_real->network)
            m_real->idle->start(NetModule::kIdleRelease, false);
    }

private:
    std::shared_ptr<RealNetwork> m_real;
};

QCoro::Task<Network *> realNetwork(std::shared_ptr<RealNetwork> real)
{
    const NetBackend *backend = co_await NetModule::backend();
    if (real->gone)
        throw RequestCancelled();
    if (backend == nullptr)
        throw TransportError(u"The network could not be used."_s);
    if (!real->network)
        real->network = backend->makeNetwork();
    co_return real->network.get();
}

QCoro::Task<HttpResponse> getThrough(std::shared_ptr<RealNetwork> real, HttpRequest request, Clock &clock,
                                     std::chrono::milliseconds timeout, qint64 maxBodyBytes)
{
    const InFlight flight(real);
    Network *network = co_await realNetwork(real);
    co_return co_await network->get(std::move(request), clock, timeout, maxBodyBytes);
}

QCoro::Task<void> downloadThrough(std::shared_ptr<RealNetwork> real, HttpRequest request, QString targetPath,
                                  Clock &clock, std::chrono::milliseconds timeout, qint64 maxBytes)
{
    const InFlight flight(real);
    Network *network = co_await realNetwork(real);
    co_await network->download(std::move(request), std::move(targetPath), clock, timeout, maxBytes);
}

class DeferredNetwork final : public Network {
public:
    explicit DeferredNetwork(Clock &clock)
    {
        m_real->idle.reset(clock.createTimer(nullptr));
        QObject::connect(m_real->idle.get(), &ClockTimer::timeout, m_real->idle.get(),
                         [real = std::weak_ptr<RealNetwork>(m_real)] {
                             if (auto held = real.lock(); held && held->active == 0)
                                 held->network.reset();
                         });
    }

    ~DeferredNetwork() override
    {
        m_real->gone = true;
        m_real->idle->stop();
        m_real->network.reset();
    }

    QCoro::Task<HttpResponse> get(HttpRequest request, Clock &clock, std::chrono::milliseconds timeout,
                                  qint64 maxBodyBytes) override
    {
        return getThrough(m_real, std::move(request), clock, timeout, maxBodyBytes);
    }

    QCoro::Task<void> download(HttpRequest request, QString targetPath, Clock &clock, std::chrono::milliseconds timeout,
                               qint64 maxBytes) override
    {
        return downloadThrough(m_real, std::move(request), std::move(targetPath), clock, timeout, maxBytes);
    }

private:
    std::shared_ptr<RealNetwork> m_real = std::make_shared<RealNetwork>();
};

} // namespace

QCoro::Task<const NetBackend *> NetModule::backend()
{
    loadingStarted = true;
    co_return co_await loading();
}

bool NetModule::isLoaded()
{
    return loadingStarted && loading().isFinished() && loading().result() != nullptr;
}

QString NetModule::fileName()
{
    return QString::fromLatin1(kFileName);
}

std::unique_ptr<Network> NetModule::makeNetwork(Clock &clock)
{
    return std::make_unique<DeferredNetwork>(clock);
}

} // namespace kolu
