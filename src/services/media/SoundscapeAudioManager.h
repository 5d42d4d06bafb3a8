#pragma once

#include "services/media/SoundscapeTrack.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <map>
#include <memory>
#include <optional>

namespace kolu {

class AudioPlayer;
class AudioPlayerFactory;

// Plays the ambient loops. Several tracks may sound at once, each at its own
// volume; a mix replaces whatever plays with its tracks at its volumes.
// Nothing here is remembered across launches.
//
// It does not know the radio: its callers keep one source at a time.
class SoundscapeAudioManager : public QObject {
    Q_OBJECT
public:
    static const QString kSoundFolderName; // "Kolu_Soundscapes_v1"

    // `soundFolders` are searched in order for the loops; the default is
    // defaultSoundFolders().
    explicit SoundscapeAudioManager(AudioPlayerFactory &players, QStringList soundFolders = defaultSoundFolders(),
                                    QObject *parent = nullptr);
    ~SoundscapeAudioManager() override;

    // Where an installed or freshly built Kolu keeps its loops: beside the
    // executable, in the shared data folder of its prefix, then the
    // "Resources" folder of the working directory.
    static QStringList defaultSoundFolders();
    // The same for a program in `programFolder`.
    static QStringList soundFoldersFor(const QString &programFolder);

    static QList<SoundscapeTrack> defaultTracks();
    static QList<SoundscapeMix> defaultMixes();

    const std::optional<SoundscapeTrack> &currentTrack() const { return m_currentTrack; }
    const QSet<QString> &activeTrackIDs() const { return m_activeTrackIDs; }
    bool isPlaying() const { return m_isPlaying; }
    const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    const QHash<QString, double> &volumeByTrackID() const { return m_volumeByTrackID; }
    const QList<SoundscapeTrack> &tracks() const { return m_tracks; }
    const QList<SoundscapeMix> &mixes() const { return m_mixes; }

    double volume(const SoundscapeTrack &track) const;
    void setVolume(double value, const SoundscapeTrack &track);

    void play(const SoundscapeTrack &track);
    void stop(const SoundscapeTrack &track);
    void toggle(const SoundscapeTrack &track);
    void applyMix(const SoundscapeMix &mix);
    void stop();
    void pause();
    void resume();

    // The entries of tracks(), in table order, that are active.
    QList<SoundscapeTrack> activeTracks() const;

    // The player of an active track, if any.
    AudioPlayer *player(const QString &trackID) const;

Q_SIGNALS:
    void currentTrackChanged();
    void activeTrackIDsChanged();
    void isPlayingChanged();
    void errorMessageChanged();
    void volumeByTrackIDChanged();

private:
    void refreshPlaybackState();
    std::optional<QUrl> resourceURL(const QString &filename) const;
    void onPlayerFailed(const QString &trackID, const AudioPlayer *player);

    void setCurrentTrack(std::optional<SoundscapeTrack> track);
    void setIsPlaying(bool playing);
    void setErrorMessage(std::optional<QString> message);
    void insertActive(const QString &id);
    void removeActive(const QString &id);

    AudioPlayerFactory &m_players;
    QStringList m_soundFolders;

    std::optional<SoundscapeTrack> m_currentTrack;
    QSet<QString> m_activeTrackIDs;
    bool m_isPlaying = false;
    std::optional<QString> m_errorMessage;
    QHash<QString, double> m_volumeByTrackID;
    const QList<SoundscapeTrack> m_tracks;
    const QList<SoundscapeMix> m_mixes;
    std::map<QString, std::unique_ptr<AudioPlayer>> m_playerByTrackID;
};

} // namespace kolu
