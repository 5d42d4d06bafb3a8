#include "cards/nowplaying/SoundscapeRules.h"

#include "services/media/QuranAudioManager.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace kolu::soundscape {

namespace {

using Kind = QuranPlayerStatus::Kind;

QString tr(const char *text)
{
    return QCoreApplication::translate("NowPlayingCard", text);
}

} // namespace

NowPlayingItem nothingPlayingItem()
{
    NowPlayingItem item;
    item.title = u"Nothing playing"_s;
    return item;
}

bool isPlayingOwnAudio(const QuranPlayerStatus &radio, bool mixerPlaying)
{
    return radio.kind() == Kind::Playing || radio.kind() == Kind::Loading || mixerPlaying;
}

bool showsHero(const NowPlayingItem &item, const QuranPlayerStatus &radio, bool mixerPlaying)
{
    if (isPlayingOwnAudio(radio, mixerPlaying))
        return false;
    // All six fields: a muted "Nothing playing" is still something.
    return !(item == nothingPlayingItem());
}

QString summaryTitle(const std::optional<QuranRadioStation> &currentStation, const QList<SoundscapeTrack> &activeTracks,
                     const std::optional<SoundscapeTrack> &currentTrack)
{
    if (currentStation)
        return currentStation->nameArabic;
    if (activeTracks.size() >= 2)
        return tr("Ambient Mix");
    if (currentTrack)
        return currentTrack->title;
    return tr("Nothing playing");
}

QString summarySubtitle(const QuranPlayerStatus &radio, int activeCount, bool mixerPlaying)
{
    switch (radio.kind()) {
    case Kind::Loading: return tr("Tuning...");
    case Kind::Paused: return tr("Paused");
    case Kind::Playing: return tr("Quran Radio is live");
    case Kind::Idle:
    case Kind::NetworkUnavailable:
    case Kind::Error: break;
    }
    if (activeCount == 0)
        return tr("Choose Ambient or Quran Radio");
    if (!mixerPlaying)
        return tr("Paused");
    if (activeCount == 1)
        return tr("Ambient soundscape");
    return QString::number(activeCount) + tr(" sounds playing");
}

bool summaryShowsPause(const QuranPlayerStatus &radio, bool mixerPlaying)
{
    return radio.kind() == Kind::Playing || mixerPlaying;
}

std::optional<QuranRadioStation> shownStation(const QuranAudioManager &radio)
{
    if (radio.currentStation())
        return radio.currentStation();
    return radio.selectedStation();
}

QString radioStatusText(const QuranPlayerStatus &status, bool hasSelectedStation)
{
    switch (status.kind()) {
    case Kind::Idle:
        return hasSelectedStation ? tr("Choose a station and press play.") : tr("No radio station is enabled.");
    case Kind::Loading: return tr("Tuning live stream...");
    case Kind::Playing: return tr("Live stream playing.");
    case Kind::Paused: return tr("Paused");
    case Kind::NetworkUnavailable: return tr("Qur'an radio requires an internet connection.");
    case Kind::Error: return status.message();
    }
    return {};
}

StatusTone radioStatusTone(const QuranPlayerStatus &status)
{
    switch (status.kind()) {
    case Kind::Playing: return StatusTone::tint;
    case Kind::NetworkUnavailable:
    case Kind::Error: return StatusTone::warning;
    case Kind::Idle:
    case Kind::Loading:
    case Kind::Paused: break;
    }
    return StatusTone::secondary;
}

PlayButtonLook radioPlayButton(const QuranPlayerStatus &status)
{
    if (status.kind() == Kind::Loading)
        return {tr("Loading"), u"hourglass"_s};
    if (status.kind() == Kind::Playing)
        return {tr("Pause"), u"pause.fill"_s};
    return {tr("Play"), u"play.fill"_s};
}

bool radioPlayButtonEnabled(const QuranPlayerStatus &status, bool hasSelectedStation)
{
    return status.kind() != Kind::Loading && hasSelectedStation;
}

} // namespace kolu::soundscape
