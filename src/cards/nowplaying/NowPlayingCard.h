#pragma once

#include "style/widgets/ModuleCard.h"

class QStackedLayout;

namespace kolu {

class AppState;
class NowPlayingHero;
class SoundscapeDisclosure;
class SoundscapeNowPlayingSummary;

// The card of the now-playing module ("Soundscapes"): at the top the hero of
// what another application plays, or the summary of Kolu's own audio while
// that plays or nothing plays anywhere; below it the "Ambient" and
// "Quran Radio" sections, both closed each time the card is built.
class NowPlayingCard : public ModuleCard {
    Q_OBJECT
public:
    explicit NowPlayingCard(AppState &state, QWidget *parent = nullptr);

    // Whether the top slot shows the hero (else the summary row).
    bool showsHero() const;
    NowPlayingHero *hero() const { return m_hero; }
    SoundscapeNowPlayingSummary *summary() const { return m_summary; }
    SoundscapeDisclosure *ambient() const { return m_ambient; }
    SoundscapeDisclosure *radio() const { return m_radio; }

private:
    void chooseHero();

    AppState &m_state;
    SoundscapeNowPlayingSummary *m_summary;
    NowPlayingHero *m_hero;
    SoundscapeDisclosure *m_ambient;
    SoundscapeDisclosure *m_radio;
};

} // namespace kolu
