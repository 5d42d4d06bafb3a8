#pragma once

#include "model/Records.h"
#include "services/media/QuranPlayerStatus.h"
#include "services/media/QuranRadioStation.h"
#include "services/media/SoundscapeTrack.h"

#include <QList>
#include <QString>

#include <optional>

namespace kolu {

class QuranAudioManager;
class SoundscapeAudioManager;

// The rules of the Now Playing card's own audio views, apart from the widgets
// so that they can be read and tested as tables.
namespace soundscape {

// The item the now-playing service reports when no application plays.
NowPlayingItem nothingPlayingItem();

// Kolu's own audio holds the card's top slot while the radio plays or tunes
// or an ambient sound plays; a paused radio does not.
bool isPlayingOwnAudio(const QuranPlayerStatus &radio, bool mixerPlaying);

// Whether the card's top slot shows another application's item rather than
// the summary of Kolu's own audio.
bool showsHero(const NowPlayingItem &item, const QuranPlayerStatus &radio, bool mixerPlaying);

// The summary row's two lines.
QString summaryTitle(const std::optional<QuranRadioStation> &currentStation, const QList<SoundscapeTrack> &activeTracks,
                     const std::optional<SoundscapeTrack> &currentTrack);
QString summarySubtitle(const QuranPlayerStatus &radio, int activeCount, bool mixerPlaying);
// Whether the summary's button shows "pause" (something audible).
bool summaryShowsPause(const QuranPlayerStatus &radio, bool mixerPlaying);

// The radio card: the station its header names (the current one, else the
// selected one), the status line, the play button.
std::optional<QuranRadioStation> shownStation(const QuranAudioManager &radio);
QString radioStatusText(const QuranPlayerStatus &status, bool hasSelectedStation);
enum class StatusTone { tint, warning, secondary };
StatusTone radioStatusTone(const QuranPlayerStatus &status);
struct PlayButtonLook {
    QString title;
    QString symbol;
};
PlayButtonLook radioPlayButton(const QuranPlayerStatus &status);
bool radioPlayButtonEnabled(const QuranPlayerStatus &status, bool hasSelectedStation);

} // namespace soundscape
} // namespace kolu
