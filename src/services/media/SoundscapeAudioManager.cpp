#include "services/media/SoundscapeAudioManager.h"

#include "platform/media/AudioPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

const QString SoundscapeAudioManager::kSoundFolderName = u"Kolu_Soundscapes_v1"_s;

namespace {

constexpr double kVolumeWithoutEntry = 0.68;

const QString kSoundFileMissing = u"Sound file missing."_s;
const QString kCouldNotPlay = u"Kolu could not play this sound."_s;

double clampedVolume(double value)
{
    if (!std::isfinite(value))
        return value > 0 ? 1.0 : 0.0;
    return std::clamp(value, 0.0, 1.0);
}

QHash<QString, double> defaultVolumes()
{
    return {{u"ocean"_s, 0.72}, {u"forest"_s, 0.66}, {u"rain"_s, 0.58}, {u"stream"_s, 0.62}};
}

} // namespace

QList<SoundscapeTrack> SoundscapeAudioManager::defaultTracks()
{
    return {
        {u"ocean"_s, u"Ocean Waves"_s, u"water.waves"_s, u"01_Ocean.flac"_s},
        {u"forest"_s, u"Forest Birds"_s, u"leaf"_s, u"02_Forest_Birds.flac"_s},
        {u"rain"_s, u"Soft Rain"_s, u"cloud.rain"_s, u"03_Rain.flac"_s},
        {u"stream"_s, u"Hemlock Stream"_s, u"drop"_s, u"04_Stream.flac"_s},
    };
}

QList<SoundscapeMix> SoundscapeAudioManager::defaultMixes()
{
    return {
        {u"focus"_s, u"Focus"_s, u"scope"_s, {{u"rain"_s, 0.52}, {u"stream"_s, 0.44}}},
        {u"calm"_s, u"Calm"_s, u"moon"_s, {{u"ocean"_s, 0.58}, {u"forest"_s, 0.38}}},
        {u"nature"_s, u"Nature"_s, u"tree"_s, {{u"forest"_s, 0.64}, {u"stream"_s, 0.46}}},
    };
}

QStringList SoundscapeAudioManager::defaultSoundFolders()
{
    return soundFoldersFor(QCoreApplication::applicationDirPath());
}

QStringList SoundscapeAudioManager::soundFoldersFor(const QString &appDir)
{
    return {
        QDir(appDir).filePath(kSoundFolderName),
        QDir::cleanPath(appDir + u"/../share/kolu/"_s + kSoundFolderName),
        QDir::current().filePath(u"Resources/"_s + kSoundFolderName),
    };
}

SoundscapeAudioManager::SoundscapeAudioManager(AudioPlayerFactory &players, QStringList soundFolders, QObject *parent)
    : QObject(parent)
    , m_players(players)
    , m_soundFolders(std::move(soundFolders))
    , m_volumeByTrackID(defaultVolumes())
    , m_tracks(defaultTracks())
    , m_mixes(defaultMixes())
{
}

SoundscapeAudioManager::~SoundscapeAudioManager() = default;

double SoundscapeAudioManager::volume(const SoundscapeTrack &track) const
{
    return m_volumeByTrackID.value(track.id, kVolumeWithoutEntry);
}

void SoundscapeAudioManager::setVolume(double value, const SoundscapeTrack &track)
{
    const double clamped = clampedVolume(value);
    m_volumeByTrackID.insert(track.id, clamped);
    Q_EMIT volumeByTrackIDChanged();
    if (AudioPlayer *existing = player(track.id))
        existing->setVolume(clamped);
}

void SoundscapeAudioManager::play(const SoundscapeTrack &track)
{
    if (AudioPlayer *existing = player(track.id)) {
        existing->play();
        insertActive(track.id);
        setCurrentTrack(track);
        setIsPlaying(true);
        setErrorMessage(std::nullopt);
        return;
    }

    const auto url = resourceURL(track.filename);
    if (!url) {
        setCurrentTrack(track);
        refreshPlaybackState();
        setErrorMessage(kSoundFileMissing);
        return;
    }

    std::unique_ptr<AudioPlayer> made = m_players.create(*url, true);
    if (!made) {
        setCurrentTrack(track);
        refreshPlaybackState();
        setErrorMessage(kCouldNotPlay);
        return;
    }

    AudioPlayer *raw = made.get();
    // A file that turns out not to decode is only known once the back end has
    // opened it; queued, because the handler deletes the emitting player.
    connect(
        raw, &AudioPlayer::itemStatusChanged, this, [this, id = track.id, raw] { onPlayerFailed(id, raw); },
        Qt::QueuedConnection);
    raw->setVolume(volume(track));
    raw->play();
    m_playerByTrackID[track.id] = std::move(made);
    insertActive(track.id);
    setCurrentTrack(track);
    setIsPlaying(true);
    setErrorMessage(std::nullopt);
}

void SoundscapeAudioManager::onPlayerFailed(const QString &trackID, const AudioPlayer *failed)
{
    const auto it = m_playerByTrackID.find(trackID);
    if (it == m_playerByTrackID.end() || it->second.get() != failed
        || failed->itemStatus() != AudioPlayer::ItemStatus::Failed)
        return;
    // The track never became audible: it leaves the active set as a track
    // that failed at once would never have joined it.
    m_playerByTrackID.erase(it);
    removeActive(trackID);
    if (m_currentTrack && m_currentTrack->id == trackID) {
        const QList<SoundscapeTrack> active = activeTracks();
        setCurrentTrack(active.isEmpty() ? std::nullopt : std::optional(active.last()));
    }
    refreshPlaybackState();
    setErrorMessage(kCouldNotPlay);
}

void SoundscapeAudioManager::stop(const SoundscapeTrack &track)
{
    const auto it = m_playerByTrackID.find(track.id);
    if (it != m_playerByTrackID.end()) {
        it->second->stop();
        m_playerByTrackID.erase(it);
    }
    removeActive(track.id);
    if (m_currentTrack == track) {
        const QList<SoundscapeTrack> active = activeTracks();
        setCurrentTrack(active.isEmpty() ? std::nullopt : std::optional(active.last()));
    }
    refreshPlaybackState();
}

void SoundscapeAudioManager::toggle(const SoundscapeTrack &track)
{
    setErrorMessage(std::nullopt);
    if (m_activeTrackIDs.contains(track.id))
        stop(track);
    else
        play(track);
}

void SoundscapeAudioManager::stop()
{
    for (auto &[id, player] : m_playerByTrackID)
        player->stop();
    m_playerByTrackID.clear();
    if (!m_activeTrackIDs.isEmpty()) {
        m_activeTrackIDs.clear();
        Q_EMIT activeTrackIDsChanged();
    }
    setCurrentTrack(std::nullopt);
    setIsPlaying(false);
    setErrorMessage(std::nullopt);
}

void SoundscapeAudioManager::applyMix(const SoundscapeMix &mix)
{
    stop();
    for (const SoundscapeMix::Item &item : mix.items) {
        const auto found = std::find_if(m_tracks.begin(), m_tracks.end(),
                                        [&](const SoundscapeTrack &t) { return t.id == item.trackID; });
        if (found == m_tracks.end())
            continue;
        setVolume(item.volume, *found);
        play(*found);
    }
}

void SoundscapeAudioManager::pause()
{
    for (auto &[id, player] : m_playerByTrackID)
        player->pause();
    setIsPlaying(false);
}

void SoundscapeAudioManager::resume()
{
    if (m_playerByTrackID.empty()) {
        if (m_currentTrack)
            play(SoundscapeTrack(*m_currentTrack));
        return;
    }
    for (const QString &id : std::as_const(m_activeTrackIDs)) {
        if (AudioPlayer *existing = player(id))
            existing->play();
    }
    refreshPlaybackState();
}

QList<SoundscapeTrack> SoundscapeAudioManager::activeTracks() const
{
    QList<SoundscapeTrack> active;
    for (const SoundscapeTrack &track : m_tracks) {
        if (m_activeTrackIDs.contains(track.id))
            active.append(track);
    }
    return active;
}

AudioPlayer *SoundscapeAudioManager::player(const QString &trackID) const
{
    const auto it = m_playerByTrackID.find(trackID);
    return it == m_playerByTrackID.end() ? nullptr : it->second.get();
}

void SoundscapeAudioManager::refreshPlaybackState()
{
    const bool anyPlaying = !m_activeTrackIDs.isEmpty()
                            && std::any_of(m_playerByTrackID.begin(), m_playerByTrackID.end(),
                                           [](const auto &entry) { return entry.second->isPlaying(); });
    setIsPlaying(anyPlaying);
    if (m_activeTrackIDs.isEmpty())
        setCurrentTrack(std::nullopt);
}

std::optional<QUrl> SoundscapeAudioManager::resourceURL(const QString &filename) const
{
    for (const QString &folder : m_soundFolders) {
        const QFileInfo candidate(QDir(folder).filePath(filename));
        if (candidate.isFile())
            return QUrl::fromLocalFile(candidate.absoluteFilePath());
    }
    return std::nullopt;
}

void SoundscapeAudioManager::setCurrentTrack(std::optional<SoundscapeTrack> track)
{
    m_currentTrack = std::move(track);
    Q_EMIT currentTrackChanged();
}

void SoundscapeAudioManager::setIsPlaying(bool playing)
{
    m_isPlaying = playing;
    Q_EMIT isPlayingChanged();
}

void SoundscapeAudioManager::setErrorMessage(std::optional<QString> message)
{
    m_errorMessage = std::move(message);
    Q_EMIT errorMessageChanged();
}

void SoundscapeAudioManager::insertActive(const QString &id)
{
    if (m_activeTrackIDs.contains(id))
        return;
    m_activeTrackIDs.insert(id);
    Q_EMIT activeTrackIDsChanged();
}

void SoundscapeAudioManager::removeActive(const QString &id)
{
    if (m_activeTrackIDs.remove(id))
        Q_EMIT activeTrackIDsChanged();
}

} // namespace kolu
