// Keeping the now-playing item current, and the Now Playing card's buttons.
#include "state/AppState.h"

#include "services/media/NowPlayingService.h"

namespace kolu {

void AppState::refreshNowPlaying()
{
    if (isModuleHidden(RailModule::nowPlaying))
        return;
    runRefreshNowPlaying(QPointer<AppState>(this));
}

QCoro::Task<> AppState::runRefreshNowPlaying(QPointer<AppState> self)
{
    const quint64 request = self->beginRequest(RefreshKind::nowPlaying);
    NowPlayingItem item = co_await self->nowPlayingService().currentItem();
    if (self)
        self->showNowPlaying(request, std::move(item));
}

void AppState::showNowPlaying(quint64 request, NowPlayingItem item)
{
    // An answer older than the one shown would put back what has changed.
    if (isModuleHidden(RailModule::nowPlaying) || request < m_shownNowPlayingRequest)
        return;
    m_shownNowPlayingRequest = request;
    setNowPlaying(std::move(item));
}

double AppState::nowPlayingRefreshInterval() const
{
    using Seconds = std::chrono::duration<double>;
    if (m_selectedModule == RailModule::nowPlaying || m_nowPlaying.isPlaying)
        return std::chrono::duration_cast<Seconds>(activeNowPlayingRefreshInterval).count();
    return std::chrono::duration_cast<Seconds>(idleNowPlayingRefreshInterval).count();
}

void AppState::refreshNowPlayingIfNeeded()
{
    if (isModuleHidden(RailModule::nowPlaying) || m_nowPlayingRefreshInFlight)
        return;
    m_nowPlayingRefreshInFlight = true;
    runThrottledNowPlayingRefresh(QPointer<AppState>(this), nowPlayingRefreshInterval());
}

QCoro::Task<> AppState::runThrottledNowPlayingRefresh(QPointer<AppState> self, double interval)
{
    const quint64 request = self->beginRequest(RefreshKind::nowPlaying);
    std::optional<NowPlayingItem> item;
    try {
        item = co_await self->nowPlayingService().refreshIfNeeded(interval);
    } catch (...) {
        item.reset(); // the flag below is cleared on every path
    }
    if (!self)
        co_return;
    self->m_nowPlayingRefreshInFlight = false;
    if (item)
        self->showNowPlaying(request, std::move(*item));
}

void AppState::mediaAction(MediaAction action)
{
    if (isModuleHidden(RailModule::nowPlaying))
        return;
    runMediaAction(QPointer<AppState>(this), action);
}

QCoro::Task<> AppState::runMediaAction(QPointer<AppState> self, MediaAction action)
{
    co_await self->nowPlayingService().perform(action);
    if (!self || self->isModuleHidden(RailModule::nowPlaying))
        co_return;
    const quint64 request = self->beginRequest(RefreshKind::nowPlaying);
    NowPlayingItem item = co_await self->nowPlayingService().currentItem();
    if (self)
        self->showNowPlaying(request, std::move(item));
}

} // namespace kolu
