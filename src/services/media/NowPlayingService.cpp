#include "services/media/NowPlayingService.h"

#include "services/media/NowPlayingRules.h"

#include <QDir>
#include <QSet>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// pactl answers at once or not at all; a stuck sound server must not hold a
// refresh open.
constexpr std::chrono::milliseconds pactlTimeout{1500};

MprisCommand commandFor(MediaAction action)
{
    switch (action) {
    case MediaAction::previous:
        return MprisCommand::previous;
    case MediaAction::next:
        return MprisCommand::next;
    case MediaAction::playPause:
    case MediaAction::toggleMute:
        break;
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
                                     QString artworkDirectory, std::chrono::milliseconds callTimeout)
    : m_mpris(std::move(connection), clock, callTimeout)
    , m_processes(processes)
    , m_clock(clock)
    , m_artworkDirectory(std::move(artworkDirectory))
{
}

ProcessRunner &NowPlayingService::defaultProcessRunner()
{
    static SystemProcessRunner runner;
    return runner;
}

QString NowPlayingService::defaultArtworkDirectory()
{
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return QDir(runtime).filePath(u"Kolu"_s);
}

QCoro::Task<NowPlayingItem> NowPlayingService::currentItem()
{
    const bool muted = co_await isOutputMuted();
    const QList<MprisPlayer> players = co_await m_mpris.readPlayers();
    std::optional<NowPlayingItem> item = chooseNowPlaying(players, m_artworkDirectory);
    // The "Nothing playing" item is compared as a whole, so it never carries
    // the mute state.
    if (!item)
        co_return nothingPlayingItem();
    item->isMuted = muted;
    co_return *item;
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
        co_await toggleMute();
        co_return;
    }
    const MprisCommand command = commandFor(action);
    const QList<MprisPlayer> players = co_await m_mpris.readPlayers();
    QSet<QString> asked;

    for (const MprisPlayer &player : players) {
        if (playerKind(player) == PlayerKind::spotify && player.isPlaying()) {
            asked.insert(player.busName);
            if (co_await m_mpris.send(player.busName, command))
                co_return;
        }
    }

    // A browser with media takes the key; paused players are left alone.
    if (const std::optional<MprisPlayer> browser = chosenBrowserPlayer(players)) {
        co_await m_mpris.send(browser->busName, command);
        co_return;
    }

    for (const MprisPlayer &player : players) {
        if (playerKind(player) == PlayerKind::spotify && player.isPaused()) {
            asked.insert(player.busName);
            if (co_await m_mpris.send(player.busName, command))
                co_return;
        }
    }

    if (const std::optional<MprisPlayer> target = mediaKeyTarget(players, asked))
        co_await m_mpris.send(target->busName, command);
}

QCoro::Task<bool> NowPlayingService::isOutputMuted()
{
    const QString pactl = m_processes.findExecutable(u"pactl"_s);
    if (pactl.isEmpty())
        co_return false;
    // pactl translates its "yes"; the C locale keeps the answer readable.
    const QStringList arguments = {u"LC_ALL=C"_s, pactl, u"get-sink-mute"_s, u"@DEFAULT_SINK@"_s};
    const ProcessResult result = co_await m_processes.run(u"env"_s, arguments, pactlTimeout);
    if (!result.succeeded())
        co_return false;
    const QString answer = QString::fromUtf8(result.standardOutput).trimmed();
    co_return answer.compare(u"Mute: yes"_s, Qt::CaseInsensitive) == 0;
}

QCoro::Task<> NowPlayingService::toggleMute()
{
    const QStringList arguments = {u"set-sink-mute"_s, u"@DEFAULT_SINK@"_s, u"toggle"_s};
    co_await m_processes.run(u"pactl"_s, arguments, pactlTimeout);
}

} // namespace kolu
