#include "services/media/QuranAudioManager.h"

#include "model/Clock.h"
#include "model/UserDefaults.h"
#include "model/WorkerAwait.h"
#include "platform/media/AudioPlayer.h"
#include "platform/net/NetworkReachability.h"
#include "services/media/QuranCustomStationError.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QString kBahrainID = u"bahrain"_s;
const QString kCustomID = u"custom"_s;

constexpr SettingsKey kVolumeKey = SettingsKey::quranVolume;
constexpr SettingsKey kBahrainEnabledKey = SettingsKey::quranBahrainStationEnabled;
constexpr SettingsKey kStationIDKey = SettingsKey::quranRadioStationID;
constexpr SettingsKey kCustomNameKey = SettingsKey::quranCustomRadioStationName;
constexpr SettingsKey kCustomURLKey = SettingsKey::quranCustomRadioStationStreamURL;

double clampedVolume(double volume)
{
    // NaN would be stored as null, which removes the key.
    if (!std::isfinite(volume))
        return volume > 0 ? 1.0 : 0.0;
    return std::clamp(volume, 0.0, 1.0);
}

} // namespace

const QuranRadioStation &QuranAudioManager::bahrainStation()
{
    static const QuranRadioStation station{
        .id = kBahrainID,
        .nameArabic = u"راديو البحرين للقرآن الكريم"_s,
        .nameEnglish = u"Bahrain Quran Radio"_s,
        .country = u"Bahrain"_s,
        .streamURL = QUrl(u"https://5c7b683162943.streamlock.net:443/live/ngrp:radio-106-1_all/playlist.m3u8"_s),
        .fallbackStreamURLs = {},
        .providerName = u"Bahrain Quran Radio"_s,
        .providerURL = QUrl(u"https://www.mia.gov.bh/media-center/quran-kareem-106-1/?lang=en"_s),
        .attributionText = u"Official Bahrain Quran Radio 106.1 stream"_s,
    };
    return station;
}

QuranAudioManager::QuranAudioManager(UserDefaults &defaults, AudioPlayerFactory &players, Clock &clock,
                                     QuranRadioStation builtInStation, QuranAudioDelays delays, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_players(players)
    , m_clock(clock)
    , m_builtInStation(std::move(builtInStation))
    , m_delays(delays)
    , m_hasNetwork(hasNetworkConnection)
    , m_resolves([](const QString &host) { return QtConcurrent::run(&resolvesHostName, host); })
{
    m_builtInStation.id = kBahrainID;
    m_volume = defaults.numberValue(kVolumeKey);
    m_customStation = loadCustomStation(defaults);
    m_bahrainStationEnabled = defaults.boolValue(kBahrainEnabledKey);

    const QString fallbackID = m_bahrainStationEnabled ? kBahrainID : m_customStation ? kCustomID : QString();
    const QString storedID = defaults.string(kStationIDKey).value_or(fallbackID);
    const bool offered =
        (m_bahrainStationEnabled && storedID == kBahrainID) || (m_customStation && storedID == kCustomID);
    m_selectedStationID = offered ? storedID : fallbackID;
    if (m_selectedStationID != storedID)
        m_defaults.set(kStationIDKey, m_selectedStationID);
}

QuranAudioManager::~QuranAudioManager() = default;

void QuranAudioManager::setNetworkCheck(std::function<bool()> hasNetwork, NameLookup resolves)
{
    m_hasNetwork = std::move(hasNetwork);
    m_resolves = std::move(resolves);
}

std::optional<QuranRadioStation> QuranAudioManager::loadCustomStation(const UserDefaults &defaults)
{
    const auto name = defaults.string(kCustomNameKey);
    if (!name)
        return std::nullopt;
    const QString trimmed = name->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const auto text = defaults.string(kCustomURLKey);
    if (!text)
        return std::nullopt;
    const QUrl url = QuranRadioStation::validatedStreamURL(*text);
    if (!url.isValid())
        return std::nullopt;
    return QuranRadioStation::custom(trimmed, url);
}

void QuranAudioManager::setBahrainStationEnabled(bool enabled)
{
    m_bahrainStationEnabled = enabled;
    Q_EMIT bahrainStationEnabledChanged();
    m_defaults.set(kBahrainEnabledKey, enabled);
    if (enabled) {
        if (m_selectedStationID.isEmpty())
            setSelectedStationID(kBahrainID);
        return;
    }
    if (m_currentStation && m_currentStation->id == kBahrainID)
        stop();
    if (m_selectedStationID == kBahrainID)
        setSelectedStationID(m_customStation ? m_customStation->id : QString());
}

void QuranAudioManager::setSelectedStationID(const QString &id)
{
    m_selectedStationID = id;
    Q_EMIT selectedStationIDChanged();
    m_defaults.set(kStationIDKey, id);
}

void QuranAudioManager::setVolume(double volume)
{
    m_volume = volume;
    Q_EMIT volumeChanged();
    const double clamped = clampedVolume(volume);
    m_defaults.set(kVolumeKey, clamped);
    if (m_player)
        m_player->setVolume(clamped);
}

QList<QuranRadioStation> QuranAudioManager::stations() const
{
    QList<QuranRadioStation> list;
    if (m_bahrainStationEnabled)
        list.append(m_builtInStation);
    if (m_customStation)
        list.append(*m_customStation);
    return list;
}

std::optional<QuranRadioStation> QuranAudioManager::selectedStation() const
{
    const QList<QuranRadioStation> list = stations();
    for (const QuranRadioStation &station : list) {
        if (station.id == m_selectedStationID)
            return station;
    }
    if (list.isEmpty())
        return std::nullopt;
    return list.first();
}

void QuranAudioManager::selectStation(const QuranRadioStation &station)
{
    setSelectedStationID(station.id);
    switch (m_status.kind()) {
    case QuranPlayerStatus::Kind::Playing:
    case QuranPlayerStatus::Kind::Paused:
    case QuranPlayerStatus::Kind::Loading: play(station, 0); break;
    case QuranPlayerStatus::Kind::Idle:
    case QuranPlayerStatus::Kind::NetworkUnavailable:
    case QuranPlayerStatus::Kind::Error: break;
    }
}

void QuranAudioManager::togglePlayPause()
{
    switch (m_status.kind()) {
    case QuranPlayerStatus::Kind::Playing:
        if (m_player)
            m_player->pause();
        setStatus(QuranPlayerStatus::paused());
        break;
    case QuranPlayerStatus::Kind::Paused: resume(); break;
    case QuranPlayerStatus::Kind::Loading: break;
    case QuranPlayerStatus::Kind::Idle:
    case QuranPlayerStatus::Kind::NetworkUnavailable:
    case QuranPlayerStatus::Kind::Error:
        if (const auto station = selectedStation())
            play(*station, 0);
        break;
    }
}

void QuranAudioManager::resume()
{
    // A player whose stream failed cannot be resumed; start afresh instead.
    if (m_player && m_attemptAlive) {
        setStatus(QuranPlayerStatus::loading());
        m_player->play();
        return;
    }
    if (const auto station = selectedStation())
        play(*station, 0);
}

void QuranAudioManager::stop()
{
    if (m_player)
        m_player->pause();
    dropPlayer();
    setCurrentStation(std::nullopt);
    setStatus(QuranPlayerStatus::idle());
}

void QuranAudioManager::saveCustomStation(const QString &name, const QString &streamURLString)
{
    const QString trimmedName = name.trimmed();
    const QString trimmedURL = streamURLString.trimmed();
    if (trimmedName.isEmpty())
        throw QuranCustomStationError(QuranCustomStationError::Case::MissingName);
    const QUrl url = QuranRadioStation::validatedStreamURL(trimmedURL);
    if (!url.isValid())
        throw QuranCustomStationError(QuranCustomStationError::Case::InvalidStreamURL);

    QuranRadioStation station = QuranRadioStation::custom(trimmedName, url);
    if (m_currentStation && m_currentStation->id == kCustomID)
        stop();
    setCustomStation(std::move(station));
    if (m_selectedStationID.isEmpty())
        setSelectedStationID(kCustomID);
    m_defaults.set(kCustomNameKey, trimmedName);
    m_defaults.set(kCustomURLKey, url.toString(QUrl::FullyEncoded));
}

void QuranAudioManager::removeCustomStation()
{
    if (!m_customStation)
        return;
    const bool playingCustom = m_currentStation && m_currentStation->id == kCustomID;
    const bool inUse = m_selectedStationID == kCustomID || playingCustom;
    if (playingCustom)
        stop();
    setCustomStation(std::nullopt);
    if (inUse)
        setSelectedStationID(m_bahrainStationEnabled ? kBahrainID : QString());
    m_defaults.remove(kCustomNameKey);
    m_defaults.remove(kCustomURLKey);
}

void QuranAudioManager::play(const QuranRadioStation &station, int streamIndex)
{
    const QList<QUrl> addresses = station.streamAddresses();
    if (streamIndex < 0 || streamIndex >= addresses.size()) {
        // The failed player stays until the next play or stop, but its
        // attempt is over: nothing it reports may change the status now.
        m_attemptAlive = false;
        m_startCheck.reset();
        m_watchdog.reset();
        reportFailure(addresses.isEmpty() ? QUrl() : addresses.last());
        return;
    }
    m_lastAttemptSilent = false;

    setStatus(QuranPlayerStatus::loading());
    setCurrentStation(station);

    const quint64 attempt = ++m_attempt;
    m_attemptAlive = true;
    m_startCheck.reset();
    m_watchdog.reset();

    std::unique_ptr<AudioPlayer> player = m_players.create(addresses.at(streamIndex), false);
    if (!player) {
        m_player.reset();
        play(station, streamIndex + 1);
        return;
    }
    player->setVolume(clampedVolume(m_volume));
    // Queued, like the observation tasks: a handler may replace the player
    // that is emitting.
    connect(
        player.get(), &AudioPlayer::itemStatusChanged, this,
        [this, attempt, station, streamIndex] { onItemStatusChanged(attempt, station, streamIndex); },
        Qt::QueuedConnection);
    connect(
        player.get(), &AudioPlayer::timeControlStatusChanged, this,
        [this, attempt] { onTimeControlStatusChanged(attempt); }, Qt::QueuedConnection);
    m_player = std::move(player);
    m_player->play();

    m_startCheck.reset(m_clock.createTimer(nullptr));
    connect(
        m_startCheck.get(), &ClockTimer::timeout, this, [this, attempt] { onStartCheck(attempt); },
        Qt::QueuedConnection);
    m_startCheck->start(m_delays.startCheck, false);

    m_watchdog.reset(m_clock.createTimer(nullptr));
    connect(
        m_watchdog.get(), &ClockTimer::timeout, this,
        [this, attempt, station, streamIndex] { onWatchdog(attempt, station, streamIndex); }, Qt::QueuedConnection);
    m_watchdog->start(m_delays.watchdog, false);
}

void QuranAudioManager::onItemStatusChanged(quint64 attempt, const QuranRadioStation &station, int streamIndex)
{
    if (!isLive(attempt))
        return;
    switch (m_player->itemStatus()) {
    case AudioPlayer::ItemStatus::Unknown: setStatus(QuranPlayerStatus::loading()); break;
    case AudioPlayer::ItemStatus::ReadyToPlay: m_player->play(); break;
    case AudioPlayer::ItemStatus::Failed:
        m_lastAttemptSilent = false;
        play(station, streamIndex + 1);
        break;
    }
}

void QuranAudioManager::onTimeControlStatusChanged(quint64 attempt)
{
    if (!isLive(attempt))
        return;
    switch (m_player->timeControlStatus()) {
    case AudioPlayer::TimeControlStatus::Paused:
        if (m_status.kind() == QuranPlayerStatus::Kind::Playing)
            setStatus(QuranPlayerStatus::paused());
        break;
    case AudioPlayer::TimeControlStatus::WaitingToPlay: setStatus(QuranPlayerStatus::loading()); break;
    case AudioPlayer::TimeControlStatus::Playing: setStatus(QuranPlayerStatus::playing()); break;
    }
}

void QuranAudioManager::onStartCheck(quint64 attempt)
{
    if (!isLive(attempt))
        return;
    if (m_player->timeControlStatus() == AudioPlayer::TimeControlStatus::Playing) {
        setStatus(QuranPlayerStatus::playing());
        return;
    }
    // A pause the user chose in the first moments stays a pause.
    const auto kind = m_status.kind();
    if (kind != QuranPlayerStatus::Kind::Playing && kind != QuranPlayerStatus::Kind::Paused)
        setStatus(QuranPlayerStatus::loading());
}

void QuranAudioManager::onWatchdog(quint64 attempt, const QuranRadioStation &station, int streamIndex)
{
    if (!isLive(attempt))
        return;
    if (m_player->timeControlStatus() == AudioPlayer::TimeControlStatus::Playing)
        setStatus(QuranPlayerStatus::playing());
    else if (m_status.kind() == QuranPlayerStatus::Kind::Loading) {
        m_lastAttemptSilent = true;
        play(station, streamIndex + 1);
    }
}

void QuranAudioManager::reportFailure(const QUrl &lastAddress)
{
    if (!m_hasNetwork || !m_hasNetwork() || !m_resolves) {
        setFailureStatus(m_hasNetwork && m_hasNetwork());
        return;
    }
    awaitNameLookup(QPointer<QuranAudioManager>(this), m_attempt, m_resolves(lastAddress.host()));
}

QCoro::Task<> QuranAudioManager::awaitNameLookup(QPointer<QuranAudioManager> self, quint64 attempt,
                                                 QFuture<bool> lookup)
{
    const bool resolved = co_await afterWorker(std::move(lookup));
    // A play or a stop since then has its own status.
    if (!self || self->m_attempt != attempt || self->m_attemptAlive
        || self->m_status.kind() != QuranPlayerStatus::Kind::Loading)
        co_return;
    self->setFailureStatus(resolved);
}

void QuranAudioManager::setFailureStatus(bool hasNetwork)
{
    if (!hasNetwork)
        setStatus(QuranPlayerStatus::networkUnavailable());
    else if (m_lastAttemptSilent)
        setStatus(QuranPlayerStatus::error(tr("The station did not answer. Try again later.")));
    else
        setStatus(QuranPlayerStatus::error(tr("The station could not be played. Try again later.")));
}

void QuranAudioManager::setStatus(QuranPlayerStatus status)
{
    m_status = std::move(status);
    Q_EMIT statusChanged();
}

void QuranAudioManager::setCurrentStation(std::optional<QuranRadioStation> station)
{
    m_currentStation = std::move(station);
    Q_EMIT currentStationChanged();
}

void QuranAudioManager::setCustomStation(std::optional<QuranRadioStation> station)
{
    m_customStation = std::move(station);
    Q_EMIT customStationChanged();
}

void QuranAudioManager::dropPlayer()
{
    ++m_attempt;
    m_attemptAlive = false;
    m_startCheck.reset();
    m_watchdog.reset();
    m_player.reset();
}

} // namespace kolu
