#pragma once

#include "services/media/QuranPlayerStatus.h"
#include "services/media/QuranRadioStation.h"

#include <qcoro/qcorotask.h>

#include <QFuture>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace kolu {

class AudioPlayer;
class AudioPlayerFactory;
class Clock;
class ClockTimer;
class UserDefaults;

// How long the radio waits before looking whether a new stream plays, and how
// long a stream may stay loading before the next address is tried.
struct QuranAudioDelays {
    std::chrono::milliseconds startCheck{450};
    std::chrono::milliseconds watchdog{30000};
};

// Plays a live radio stream: one built-in station and at most one that the
// user adds. Remembers the selected station, the volume and whether the
// built-in station is offered. A stream that does not start, stalls or dies
// moves on to the station's next address; when none is left the status says
// the network is unavailable when there is none, and otherwise that the
// station did not answer or could not be played.
//
// It does not know the ambient mixer: its callers keep one source at a time.
class QuranAudioManager : public QObject {
    Q_OBJECT
public:
    // `builtInStation` is the station offered as "bahrain"; tests hand in one
    // whose addresses point at a local server.
    QuranAudioManager(UserDefaults &defaults, AudioPlayerFactory &players, Clock &clock,
                      QuranRadioStation builtInStation = bahrainStation(), QuranAudioDelays delays = QuranAudioDelays(),
                      QObject *parent = nullptr);
    ~QuranAudioManager() override;

    static const QuranRadioStation &bahrainStation();

    // Whether a host name resolves, answered later (a lookup may take as long
    // as the resolver does).
    using NameLookup = std::function<QFuture<bool>(const QString &host)>;

    // Asked when a station's last address has failed, to tell no network from
    // a station that is silent or refuses: `hasNetwork` first, then, when
    // given, `resolves` with the host of the last address tried, since an
    // interface with an address is no network when no name can be looked
    // up. The status stays "loading" until the lookup answers. By default the
    // computer's interfaces are read and the name is looked up on a worker.
    void setNetworkCheck(std::function<bool()> hasNetwork, NameLookup resolves = {});

    const QuranPlayerStatus &status() const { return m_status; }
    // The station whose stream is loaded.
    const std::optional<QuranRadioStation> &currentStation() const { return m_currentStation; }
    const std::optional<QuranRadioStation> &customStation() const { return m_customStation; }

    bool isBahrainStationEnabled() const { return m_bahrainStationEnabled; }
    void setBahrainStationEnabled(bool enabled);

    const QString &selectedStationID() const { return m_selectedStationID; }
    void setSelectedStationID(const QString &id);

    // As the caller set it; the stored and played value is clamped to 0...1.
    double volume() const { return m_volume; }
    void setVolume(double volume);

    // The built-in station when enabled, then the user's station when present.
    QList<QuranRadioStation> stations() const;
    // The selected one of stations(), else the first; none when empty.
    std::optional<QuranRadioStation> selectedStation() const;

    void selectStation(const QuranRadioStation &station);
    void togglePlayPause();
    void resume();
    void stop();

    // Throws QuranCustomStationError.
    void saveCustomStation(const QString &name, const QString &streamURLString);
    void removeCustomStation();

    // The live player, if any.
    AudioPlayer *player() const { return m_player.get(); }

Q_SIGNALS:
    void statusChanged();
    void currentStationChanged();
    void customStationChanged();
    void bahrainStationEnabledChanged();
    void selectedStationIDChanged();
    void volumeChanged();

private:
    static std::optional<QuranRadioStation> loadCustomStation(const UserDefaults &defaults);

    void play(const QuranRadioStation &station, int streamIndex);
    // The last address failed: the status says why, once the network check
    // has answered.
    void reportFailure(const QUrl &lastAddress);
    void setFailureStatus(bool hasNetwork);
    static QCoro::Task<> awaitNameLookup(QPointer<QuranAudioManager> self, quint64 attempt, QFuture<bool> lookup);
    void setStatus(QuranPlayerStatus status);
    void setCurrentStation(std::optional<QuranRadioStation> station);
    void setCustomStation(std::optional<QuranRadioStation> station);
    void dropPlayer();

    // Each reaction below belongs to one play attempt and acts only while
    // that attempt is the live one: a newer play, a stop or a failure of the
    // attempt ends it, and its late signals and timers then change nothing.
    bool isLive(quint64 attempt) const { return attempt == m_attempt && m_attemptAlive; }
    void onItemStatusChanged(quint64 attempt, const QuranRadioStation &station, int streamIndex);
    void onTimeControlStatusChanged(quint64 attempt);
    void onStartCheck(quint64 attempt);
    void onWatchdog(quint64 attempt, const QuranRadioStation &station, int streamIndex);

    UserDefaults &m_defaults;
    AudioPlayerFactory &m_players;
    Clock &m_clock;
    QuranRadioStation m_builtInStation;
    QuranAudioDelays m_delays;

    QuranPlayerStatus m_status = QuranPlayerStatus::idle();
    std::optional<QuranRadioStation> m_currentStation;
    std::optional<QuranRadioStation> m_customStation;
    bool m_bahrainStationEnabled = true;
    QString m_selectedStationID;
    double m_volume = 0.78;

    std::unique_ptr<AudioPlayer> m_player;
    std::unique_ptr<ClockTimer> m_startCheck;
    std::unique_ptr<ClockTimer> m_watchdog;
    quint64 m_attempt = 0;
    bool m_attemptAlive = false;
    // Whether the last address tried was given up for silence (the watchdog)
    // rather than refused (a failed stream).
    bool m_lastAttemptSilent = false;
    std::function<bool()> m_hasNetwork;
    NameLookup m_resolves;
};

} // namespace kolu
