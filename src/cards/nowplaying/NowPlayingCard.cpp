#include "cards/nowplaying/NowPlayingCard.h"

#include "cards/nowplaying/NowPlayingHero.h"
#include "cards/nowplaying/QuranRecitationSection.h"
#include "cards/nowplaying/SoundscapeDisclosure.h"
#include "cards/nowplaying/SoundscapeRules.h"
#include "cards/nowplaying/SoundscapeWidgets.h"
#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"
#include "state/AppState.h"

using namespace Qt::StringLiterals;

namespace kolu {

NowPlayingCard::NowPlayingCard(AppState &state, QWidget *parent)
    : ModuleCard(tr("Soundscapes"), u"music.note"_s, parent)
    , m_state(state)
    , m_summary(new SoundscapeNowPlayingSummary(state, this))
    , m_hero(new NowPlayingHero(state, this))
    , m_ambient(new SoundscapeDisclosure(tr("Ambient"), u"leaf"_s, new SoundscapeAmbientSection(state), this))
    , m_radio(new SoundscapeDisclosure(tr("Quran Radio"), u"dot.radiowaves.left.and.right"_s,
                                       new QuranRecitationSection(state), this))
{
    setObjectName(u"nowPlayingCard"_s);
    m_ambient->setObjectName(u"ambientDisclosure"_s);
    m_radio->setObjectName(u"radioDisclosure"_s);
    m_hero->setFixedHeight(NowPlayingHero::preferredHeight);
    addContent(m_summary);
    addContent(m_hero);
    addContent(m_ambient);
    addContent(m_radio);

    // The choice follows the state only: every audio control ends by asking
    // for a now-playing refresh, whose answer brings the card here.
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::nowPlaying)
            chooseHero();
    });
    chooseHero();
}

bool NowPlayingCard::showsHero() const
{
    return soundscape::showsHero(m_state.nowPlaying(), m_state.quranAudioManager().status(),
                                 m_state.soundscapeAudioManager().isPlaying());
}

void NowPlayingCard::chooseHero()
{
    const bool hero = showsHero();
    m_hero->setVisible(hero);
    m_summary->setVisible(!hero);
}

} // namespace kolu
