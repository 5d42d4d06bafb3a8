#include "SoundscapeViews.h"

#include "FakeAudioPlayer.h"
#include "GalleryState.h"
#include "KitViews.h"
#include "ManualClock.h"

#include "cards/nowplaying/NowPlayingCard.h"
#include "cards/nowplaying/SoundscapeDisclosure.h"
#include "cards/nowplaying/SoundscapeRules.h"
#include "cards/nowplaying/SoundscapeWidgets.h"
#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"
#include "state/AppState.h"

#include <QDir>
#include <QFile>

#include <chrono>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

enum class Radio { idle, loading, playing, failed, none };

struct Scene {
    QStringList tracks = {}; // toggled on, in order
    QString mix = {};        // applied
    Radio radio = Radio::idle;
    bool ambientOpen = false;
    bool radioOpen = false;
    bool otherAppPlaying = false;
};

// The gallery's fake players: the loops need only exist as files.
void makeLoops()
{
    const QString folder = QDir::homePath() + u"/soundscapes"_s;
    QDir().mkpath(folder);
    for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks()) {
        QFile file(folder + u'/' + track.filename);
        if (!file.exists() && file.open(QIODevice::WriteOnly))
            file.close();
    }
}

test::FakeAudioPlayer *radioPlayer()
{
    return dynamic_cast<test::FakeAudioPlayer *>(state().quranAudioManager().player());
}

void bringRadioTo(Radio radio)
{
    AppState &s = state();
    QuranAudioManager &manager = s.quranAudioManager();
    manager.stop();
    manager.setBahrainStationEnabled(radio != Radio::none);
    if (radio == Radio::idle || radio == Radio::none)
        return;
    s.toggleQuranRadio();
    if (radio == Radio::playing) {
        if (test::FakeAudioPlayer *player = radioPlayer()) {
            player->report(AudioPlayer::ItemStatus::ReadyToPlay);
            player->report(AudioPlayer::TimeControlStatus::Playing);
        }
    } else if (radio == Radio::failed) {
        // Every address fails in turn.
        for (int i = 0; i < 10 && manager.status().kind() == QuranPlayerStatus::Kind::Loading; ++i) {
            if (test::FakeAudioPlayer *player = radioPlayer())
                player->report(AudioPlayer::ItemStatus::Failed);
            clock().advance(std::chrono::seconds(1));
        }
    }
}

QWidget *soundscapeCard(const Scene &scene, const Context &context)
{
    AppState &s = state();
    makeLoops();
    // The module is hidden while the card is drawn, so nothing asks for now
    // playing and the item set here stays.
    const RailModuleSet visible = s.hiddenRailModules();
    RailModuleSet hidden = visible;
    hidden.insert(RailModule::nowPlaying);
    s.setHiddenRailModules(hidden);

    SoundscapeAudioManager &mixer = s.soundscapeAudioManager();
    mixer.stop();
    bringRadioTo(scene.radio == Radio::none ? Radio::none : Radio::idle);
    for (const SoundscapeMix &mix : mixer.mixes()) {
        if (mix.id == scene.mix)
            s.applySoundscapeMix(mix);
    }
    for (const QString &id : scene.tracks) {
        for (const SoundscapeTrack &track : mixer.tracks()) {
            if (track.id == id)
                s.toggleSoundscape(track);
        }
    }
    if (scene.radio != Radio::idle && scene.radio != Radio::none)
        bringRadioTo(scene.radio);
    NowPlayingItem item = soundscape::nothingPlayingItem();
    if (scene.otherAppPlaying)
        item = {u"Clair de Lune"_s, u"Debussy"_s, u"Spotify"_s, true, false, std::nullopt};
    s.setNowPlaying(item);

    auto *card = new NowPlayingCard(s);
    card->ambient()->setExpanded(scene.ambientOpen);
    card->radio()->setExpanded(scene.radioOpen);
    // Opened before it is shown, each section is drawn at rest, not mid-slide.
    QWidget *panel = onPanel(card);
    // Only the rail is put back here: the card is going, and changing the
    // audio now would redraw it. The last view leaves the audio at rest.
    QObject::connect(panel, &QObject::destroyed, [visible] { state().setHiddenRailModules(visible); });
    panel->resize((QSizeF(318, 720) * context.scale).toSize());
    return panel;
}

View view(const char *name, Scene scene)
{
    return {name, {318, 720}, true, [scene](const Context &c) { return soundscapeCard(scene, c); }};
}

} // namespace

std::vector<View> soundscapeViews()
{
    return {
        view("soundscapes-hero", {.otherAppPlaying = true}),
        view("soundscapes-ambient-two", {.tracks = {u"ocean"_s, u"rain"_s}, .ambientOpen = true}),
        view("soundscapes-mix-focus", {.mix = u"focus"_s, .ambientOpen = true}),
        view("soundscapes-mix-calm", {.mix = u"calm"_s, .ambientOpen = true}),
        view("soundscapes-mix-nature", {.mix = u"nature"_s, .ambientOpen = true}),
        view("soundscapes-radio-loading", {.radio = Radio::loading, .radioOpen = true}),
        view("soundscapes-radio-playing", {.radio = Radio::playing, .radioOpen = true}),
        view("soundscapes-radio-failed", {.radio = Radio::failed, .radioOpen = true}),
        view("soundscapes-radio-none", {.radio = Radio::none, .radioOpen = true}),
        view("soundscapes-both-open",
             {.tracks = {u"forest"_s}, .ambientOpen = true, .radioOpen = true, .otherAppPlaying = true}),
        view("soundscapes-nothing", {}),
    };
}

} // namespace kolu::gallery
