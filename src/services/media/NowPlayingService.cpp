#include "services/media/NowPlayingService.h"

#include "model/PrivateFiles.h"

#include "platform/media/PactlOutputMute.h"
#include "services/media/NowPlayingRules.h"

#include <QDir>
#include <QSet>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

MprisCommand commandFor(MediaAction action)
{
    switch (action) {
    case MediaAction::previous: return MprisCommand::previous;
    case MediaAction::next: return MprisCommand::next;
    case MediaAction::playPause:
    case MediaAction::toggleMute: break;
    }
    return MprisCommand::playPause;
}

int statusRank(const MprisPlayer &player)
{
    if (player.isPlaying())
        return 0;
    if (player.isPaused())
        return 1;
    return 2;
}

// Where a media key would have gone: the first other player, the active one
// before the paused one before the rest; with none, whichever player is left.
std::optional<MprisPlayer> mediaKeyTarget(const QList<MprisPlayer> &players, const QSet<QString> &alreadyAsked)
{
    for (PlayerKind kind : {PlayerKind::other, PlayerKind::spotify, PlayerKind::browser}) {
        for (int rank = 0; rank < 3; ++rank) {
            for (const MprisPlayer &player : players) {
                if (playerKind(player) == kind && statusRank(player) == rank && !alreadyAsked.contains(player.busName))
                    return player;
            }
        }
    }
    return std::nullopt;
}

} // namespace

NowPlayingService::NowPlayingService(QDBusConnection connection, ProcessRunner &processes, Clock &clock,
                                     QString artworkDirectory, std::chrono::milliseconds callTimeout,
                                     std::unique_ptr<OutputMute> outputMute)
    : m_mpris(connection, clock, callTimeout)
    , m_playbackOrder(std::make_unique<MprisPlaybackOrder>(connection))
    , m_outputMute(outputMute ? std::move(outputMute) : std::make_unique<PactlOutputMute>(processes))
    , m_clock(clock)
    , m_artworkDirectory(std::move(artworkDirectory))
{
}

NowPlayingService::~NowPlayingService() = default;

ProcessRunner &NowPlayingService::defaultProcessRunner()
{
    static SystemProcessRunner runner;
    return runner;
}

QString NowPlayingService::defaultArtworkDirectory()
{
    // Never a shared temporary folder, where another account could have
    // made the folder first.
    if (const auto runtime = userRuntimeFolder())
        return QDir(*runtime).filePath(u"Kolu"_s);
    return privateCacheFolder();
}

QCoro::Task<NowPlayingItem> NowPlayingService::currentItem()
{
    // The mute is read only when a player is shown: with nothing playing
    // (as at most launches) the sound server is never asked, and the media
    // module that asks it is not loaded.
    const std::weak_ptr<int> alive = m_lifetime;
    const QList<MprisPlayer> players = co_await m_mpris.readPlayers();
    if (alive.expired())
        co_return nothingPlayingItem();

    m_playbackOrder->notePlayers(players);
    NowPlayingPreference preference{m_keptPlayer, {}};
    for (const MprisPlayer &player : players)
        preference.startedPlaying.insert(player.busName, m_playbackOrder->startedAt(player));
    std::optional<NowPlayingChoice> choice = chooseNowPlaying(players, m_artworkDirectory, preference);
    // The "Nothing playing" item is compared as a whole, so it never carries
    // the mute state.
    if (!choice) {
        m_shownPlayer.clear();
        co_return nothingPlayingItem();
    }
    const bool muted = co_await m_outputMute->isMuted();
    if (alive.expired())
        co_return nothingPlayingItem();
    m_shownPlayer = choice->busName;
    m_keptPlayer = choice->busName;
    choice->item.isMuted = muted;
    co_return choice->item;
}

QCoro::Task<std::optional<NowPlayingItem>> NowPlayingService::refreshIfNeeded(double minimumInterval)
{
    const QDateTime now = m_clock.now();
    // A last refresh that lies ahead means the clock was set back; waiting
    // for it to come round again would freeze the card for that long.
    const qint64 elapsedMs = m_lastRefresh.isValid() ? m_lastRefresh.msecsTo(now) : -1;
    if (elapsedMs >= 0 && double(elapsedMs) / 1000.0 <= minimumInterval)
        co_return std::nullopt;
    m_lastRefresh = now;
    co_return co_await currentItem();
}

QCoro::Task<> NowPlayingService::perform(MediaAction action)
{
    if (action == MediaAction::toggleMute) {
        co_await m_outputMute->toggle();
        co_return;
    }
    const MprisCommand command = commandFor(action);
    // The buttons belong to the item on show: they act on its player, even
    // when another player would take a media key. One that has gone since
    // takes nothing; the read that follows shows what is there now.
    if (!m_shownPlayer.isEmpty()) {
        m_keptPlayer = m_shownPlayer;
        co_await m_mpris.send(m_shownPlayer, command);
        co_return;
    }
    co_await sendAsMediaKey(command);
}

QCoro::Task<> NowPlayingService::sendAsMediaKey(MprisCommand command)
{
    const std::weak_ptr<int> alive = m_lifetime;
    QList<MprisPlayer> players = co_await m_mpris.readPlayers();
    if (alive.expired())
        co_return;
    m_playbackOrder->notePlayers(players);
    QHash<QString, quint64> startedPlaying;
    for (const MprisPlayer &player : players)
        startedPlaying.insert(player.busName, m_playbackOrder->startedAt(player));
    players = latestStartedFirst(players, startedPlaying);
    QSet<QString> asked;

    // A player that did not take the command sends nothing more once the
    // service has gone.
    const auto sendTo = [this, command, alive](const QString &busName) -> QCoro::Task<bool> {
        if (alive.expired())
            return [](bool taken) -> QCoro::Task<bool> { co_return taken; }(true);
        m_keptPlayer = busName;
        return m_mpris.send(busName, command);
    };

    for (const MprisPlayer &player : players) {
        if (playerKind(player) == PlayerKind::spotify && player.isPlaying()) {
            asked.insert(player.busName);
            if (co_await sendTo(player.busName))
                co_return;
        }
    }

    // A browser with media takes the key; paused players are left alone.
    if (const std::optional<MprisPlayer> browser = chosenBrowserPlayer(players)) {
        co_await sendTo(browser->busName);
        co_return;
    }

    for (const MprisPlayer &player : players) {
        if (playerKind(player) == PlayerKind::spotify && player.isPaused()) {
            asked.insert(player.busName);
            if (co_await sendTo(player.busName))
                co_return;
        }
    }

    if (const std::optional<MprisPlayer> target = mediaKeyTarget(players, asked))
        co_await sendTo(target->busName);
}

} // namespace kolu
