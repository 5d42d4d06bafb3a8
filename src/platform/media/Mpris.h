#pragma once

#include "model/Clock.h"

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <optional>

namespace kolu {

// What one media player on the session bus says about itself and its track.
struct MprisPlayer {
    QString busName;        // "org.mpris.MediaPlayer2.<name>"
    QString identity;       // the player's name for people, e.g. "Mozilla Firefox"
    QString desktopEntry;   // its desktop file's name without ".desktop"
    QString playbackStatus; // "Playing", "Paused" or "Stopped"
    QString title;          // xesam:title
    QStringList artists;    // xesam:artist
    QString url;            // xesam:url (a browser's page, a player's file)
    QString artUrl;         // mpris:artUrl
    QString owner;          // the unique connection name that answered, e.g. ":1.42"

    bool isPlaying() const;
    bool isPaused() const;

    friend bool operator==(const MprisPlayer &, const MprisPlayer &) = default;
};

enum class MprisCommand { playPause, next, previous };

// Talks MPRIS 2 to the players on one bus. Every call is bounded by
// `callTimeout` on the injected clock, so a player that hangs is treated as
// absent instead of holding a refresh open.
class MprisClient {
public:
    static constexpr std::chrono::milliseconds defaultCallTimeout{1500};

    explicit MprisClient(QDBusConnection connection, Clock &clock = SystemClock::instance(),
                         std::chrono::milliseconds callTimeout = defaultCallTimeout);

    // The bus names of every player, sorted so that "first" means the same
    // thing on every refresh. Empty when the bus does not answer.
    QCoro::Task<QStringList> playerNames();

    // One player's state; nothing when it does not answer its player
    // properties in time. A missing identity or desktop entry stays empty.
    QCoro::Task<std::optional<MprisPlayer>> readPlayer(QString busName);

    // Every player that answered, in the order of playerNames(). The players
    // are asked all at once, so one hung player costs one time-out in total.
    QCoro::Task<QList<MprisPlayer>> readPlayers();

    // Sends the command; true when the player acknowledged it in time.
    QCoro::Task<bool> send(QString busName, MprisCommand command);

private:
    QDBusConnection m_connection;
    Clock &m_clock;
    std::chrono::milliseconds m_callTimeout;
};

} // namespace kolu
