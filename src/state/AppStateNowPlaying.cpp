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
    NowPlayingItem item = co_await self->nowPlayingService().currentItem();
    if (!self || self->isModuleHidden(RailModule::nowPlaying))
        co_return;
    self->setNowPlaying(std::move(item));
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
    std::optional<NowPlayingItem> item = co_await self->nowPlayingService().refreshIfNeeded(interval);
    if (!self)
        co_return;
    if (item && !self->isModuleHidden(RailModule::nowPlaying))
        self->setNowPlaying(std::move(*item));
    self->m_nowPlayingRefreshInFlight = false;
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
    NowPlayingItem item = co_await self->nowPlayingService().currentItem();
    if (!self || self->isModuleHidden(RailModule::nowPlaying))
        co_return;
    self->setNowPlaying(std::move(item));
}

} // namespace kolu
