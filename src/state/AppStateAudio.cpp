// The system's own audio: the Qur'an radio and the ambient soundscapes. Only
// one of the two plays at a time: the ambient sounds stop the radio when they
// start, and give way to the radio once it is heard, so that a station that
// is offline or silent does not take the sound the user had. Each action ends
// by reading now playing again. The Now Playing card and the tray call these
// rather than the two managers.
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
    quranAudioManager().togglePlayPause();
    refreshNowPlaying();
}

void AppState::selectQuranStation(const QuranRadioStation &station)
{
    // Choosing plays at once only while the radio is busy; otherwise it only chooses.
    quranAudioManager().selectStation(station);
    refreshNowPlaying();
}

void AppState::onRadioStatusChanged()
{
    if (quranAudioManager().status().kind() != QuranPlayerStatus::Kind::Playing)
        return;
    SoundscapeAudioManager &soundscapes = soundscapeAudioManager();
    if (soundscapes.activeTrackIDs().isEmpty())
        return;
    soundscapes.stop();
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
    // The ambient sounds go on while a station tunes or after it failed:
    // then they are what the user hears, and what the button pauses.
    const bool radioHeard = radio.status().kind() == QuranPlayerStatus::Kind::Playing;
    if (!radioHeard && soundscapes.isPlaying()) {
        soundscapes.pause();
    } else if (radio.currentStation() || radioIsBusy(radio)) {
        radio.togglePlayPause();
    } else if (soundscapes.activeTrackIDs().isEmpty()) {
        openModule(RailModule::nowPlaying);
    } else {
        soundscapes.resume();
    }
    refreshNowPlaying();
}

} // namespace kolu
