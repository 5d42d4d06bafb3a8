#pragma once

#include "model/Clock.h"
#include "model/Enums.h"
#include "model/Records.h"
#include "platform/media/Mpris.h"
#include "platform/system/ProcessRunner.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QString>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <optional>

namespace kolu {

// Answers what is playing right now, from the media players and browsers on
// the session bus, and sends them the transport buttons. Calls may overlap:
// each waits on the bus, never on the main thread.
class NowPlayingService {
public:
    explicit NowPlayingService(QDBusConnection connection = QDBusConnection::sessionBus(),
                               ProcessRunner &processes = defaultProcessRunner(),
                               Clock &clock = SystemClock::instance(),
                               QString artworkDirectory = defaultArtworkDirectory(),
                               std::chrono::milliseconds callTimeout = MprisClient::defaultCallTimeout);

    // What plays now, or the "Nothing playing" item. Never fails.
    QCoro::Task<NowPlayingItem> currentItem();

    // currentItem() when more than `minimumInterval` seconds have passed since
    // the last refresh started here; nothing otherwise.
    QCoro::Task<std::optional<NowPlayingItem>> refreshIfNeeded(double minimumInterval);

    // Carries out one transport button. Never fails visibly.
    QCoro::Task<> perform(MediaAction action);

    // "Kolu" in the per-user runtime folder.
    static QString defaultArtworkDirectory();

private:
    static ProcessRunner &defaultProcessRunner();

    QCoro::Task<bool> isOutputMuted();
    QCoro::Task<> toggleMute();

    MprisClient m_mpris;
    ProcessRunner &m_processes;
    Clock &m_clock;
    QString m_artworkDirectory;
    QDateTime m_lastRefresh; // invalid until the first throttled refresh
};

} // namespace kolu
