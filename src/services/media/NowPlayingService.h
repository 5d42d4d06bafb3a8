#pragma once

#include "model/Clock.h"
#include "model/Enums.h"
#include "model/Records.h"
#include "platform/media/Mpris.h"
#include "platform/media/MprisPlaybackOrder.h"
#include "platform/media/OutputMute.h"
#include "platform/system/ProcessRunner.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QString>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>
#include <optional>

namespace kolu {

// Answers what is playing right now, from the media players and browsers on
// the session bus, and sends them the transport buttons. Calls may overlap:
// each waits on the bus, never on the main thread. Transport buttons go to
// the player the shown item came from.
class NowPlayingService {
public:
    // Without `outputMute` the mute is read through pactl on `processes`.
    explicit NowPlayingService(QDBusConnection connection = QDBusConnection::sessionBus(),
                               ProcessRunner &processes = defaultProcessRunner(),
                               Clock &clock = SystemClock::instance(),
                               QString artworkDirectory = defaultArtworkDirectory(),
                               std::chrono::milliseconds callTimeout = MprisClient::defaultCallTimeout,
                               std::unique_ptr<OutputMute> outputMute = nullptr);
    ~NowPlayingService();

    // What plays now, or the "Nothing playing" item. Never fails.
    QCoro::Task<NowPlayingItem> currentItem();

    // currentItem() when more than `minimumInterval` seconds have passed since
    // the last refresh started here; nothing otherwise.
    QCoro::Task<std::optional<NowPlayingItem>> refreshIfNeeded(double minimumInterval);

    // Carries out one transport button: on the player whose item
    // currentItem() last answered, or, when it answered none, on the player
    // a media key would reach. Never fails visibly.
    QCoro::Task<> perform(MediaAction action);

    // "Kolu" in the per-user runtime folder.
    static QString defaultArtworkDirectory();

    // When the last throttled refresh read the players; invalid before the first.
    QDateTime lastRefresh() const { return m_lastRefresh; }

private:
    static ProcessRunner &defaultProcessRunner();

    QCoro::Task<> sendAsMediaKey(MprisCommand command);

    MprisClient m_mpris;
    std::unique_ptr<MprisPlaybackOrder> m_playbackOrder;
    std::unique_ptr<OutputMute> m_outputMute;
    // The player of the item last answered; empty with "Nothing playing".
    QString m_shownPlayer;
    // The player last shown or sent a command: it stays on show while paused.
    QString m_keptPlayer;
    Clock &m_clock;
    QString m_artworkDirectory;
    QDateTime m_lastRefresh; // invalid until the first throttled refresh
    // Expires with the service: a call whose answers arrive after it went
    // ends without touching it.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};

} // namespace kolu
