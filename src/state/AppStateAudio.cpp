// The system's own audio: the Qur'an radio and the ambient soundscapes. Only
// one of the two plays at a time, so every action that starts one stops the
// other first; each ends by reading now playing again. The Now Playing card
// and the tray call these rather than the two managers.
#include "state/AppState.h"

#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"

namespace kolu {

namespace {

bool radioIsBusy(const QuranAudioManager &radio)
{
    using Kind = QuranPlayerStatus::Kind;
    const Kind kind = radio.status().kind();
    return kind == Kind::Playing || kind == Kind::Paused || kind == Kind::Loading;
}

} // namespace

void AppState::toggleQuranRadio()
{
    QuranAudioManager &radio = quranAudioManager();
    // Pausing leaves the (already silent) soundscapes alone.
    if (radio.status().kind() != QuranPlayerStatus::Kind::Playing)
        soundscapeAudioManager().stop();
    radio.togglePlayPause();
    refreshNowPlaying();
}

void AppState::selectQuranStation(const QuranRadioStation &station)
{
    // Choosing plays at once only while the radio is busy; otherwise it only chooses.
    if (radioIsBusy(quranAudioManager()))
        soundscapeAudioManager().stop();
    quranAudioManager().selectStation(station);
    refreshNowPlaying();
}

void AppState::toggleSoundscape(const SoundscapeTrack &track)
{
    // Also when the press turns its sound off: the radio is silent then anyway.
    quranAudioManager().stop();
    soundscapeAudioManager().toggle(track);
    refreshNowPlaying();
}

void AppState::applySoundscapeMix(const SoundscapeMix &mix)
{
    quranAudioManager().stop();
    soundscapeAudioManager().applyMix(mix);
    refreshNowPlaying();
}

void AppState::stopSoundscapes()
{
    soundscapeAudioManager().stop();
    refreshNowPlaying();
}

void AppState::toggleSystemAudio()
{
    QuranAudioManager &radio = quranAudioManager();
    SoundscapeAudioManager &soundscapes = soundscapeAudioManager();
    if (radio.currentStation() || radioIsBusy(radio)) {
        if (radio.status().kind() != QuranPlayerStatus::Kind::Playing)
            soundscapes.stop();
        radio.togglePlayPause();
    } else if (soundscapes.activeTrackIDs().isEmpty()) {
        openModule(RailModule::nowPlaying);
    } else if (soundscapes.isPlaying()) {
        soundscapes.pause();
    } else {
        soundscapes.resume();
    }
    refreshNowPlaying();
}

} // namespace kolu
