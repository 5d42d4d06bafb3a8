#include "cards/nowplaying/NowPlayingCard.h"

#include "cards/nowplaying/NowPlayingHero.h"
#include "cards/nowplaying/QuranRecitationSection.h"
#include "cards/nowplaying/SoundscapeDisclosure.h"
#include "cards/nowplaying/SoundscapeRules.h"
#include "cards/nowplaying/SoundscapeWidgets.h"
#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"
#include "style/OrlixStyle.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSlider.h"
#include "style/widgets/SymbolView.h"

#include "../CardTest.h"
#include "services/images/ImageSlot.h"
#include "cards/nowplaying/NowPlayingArtwork.h"
#include "cards/nowplaying/NowPlayingControls.h"
#include "cards/nowplaying/NowPlayingHeroRules.h"
#include "FakeMprisPlayer.h"
#include "../../style/ColorMeasure.h"
#include "../../style/LightLooks.h"

#include <QGraphicsEffect>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

using Kind = QuranPlayerStatus::Kind;

class NowPlayingCardTest : public test::CardTest<NowPlayingCard> {
protected:
    void SetUp() override
    {
        for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks())
            ASSERT_TRUE(test::writeFile(home.path(u"soundscapes/"_s + track.filename), {}));
        CardTest::SetUp();
    }

    SoundscapeAudioManager &mixer() const { return state->soundscapeAudioManager(); }
    QuranAudioManager &radio() const { return state->quranAudioManager(); }
    QString summaryTitle() const { return text(u"summaryTitle"_s); }
    QString summarySubtitle() const { return text(u"summarySubtitle"_s); }
    const SoundscapeTrack &track(const QString &id) const
    {
        const auto &tracks = mixer().tracks();
        return *std::find_if(tracks.begin(), tracks.end(), [&](const SoundscapeTrack &t) { return t.id == id; });
    }
    AmbientSoundTile *tile(const QString &id) const { return find<AmbientSoundTile>(u"ambientTile:"_s + id); }
    // Another application plays, as the state would publish it.
    void publish(NowPlayingItem item) { state->setNowPlaying(std::move(item)); }
    static NowPlayingItem music(const QString &title = u"Song"_s)
    {
        return {title, u"Artist"_s, u"Player"_s, true, false, std::nullopt};
    }
    void bringRadioTo(Kind kind)
    {
        state->toggleQuranRadio(); // loading
        if (kind == Kind::Loading)
            return;
        auto *player = services.audio->last();
        ASSERT_NE(player, nullptr);
        player->report(AudioPlayer::ItemStatus::ReadyToPlay);
        player->report(AudioPlayer::TimeControlStatus::Playing);
        clock.advance(std::chrono::milliseconds(0));
        ASSERT_EQ(radio().status(), QuranPlayerStatus::playing());
        if (kind == Kind::Paused) {
            state->toggleQuranRadio();
            ASSERT_EQ(radio().status(), QuranPlayerStatus::paused());
        }
    }
};

TEST_F(NowPlayingCardTest, TheTopSlotChoosesTheSummaryOrTheHeroAndAMixOrATileStopsTheRadio)
{
    makeCard();
    EXPECT_TRUE(card->summary()->isVisible() && !card->hero()->isVisible());
    EXPECT_EQ(summaryTitle(), u"Nothing playing"_s);
    EXPECT_EQ(summarySubtitle(), u"Choose Ambient or Quran Radio"_s);

    // Titled "Nothing playing" but muted: something, so the hero.
    NowPlayingItem muted = soundscape::nothingPlayingItem();
    muted.isMuted = true;
    publish(muted);
    EXPECT_TRUE(card->hero()->isVisible() && !card->summary()->isVisible());
    EXPECT_EQ(card->hero()->height(), NowPlayingHero::preferredHeight);

    // A stream that tunes holds the summary, a paused one gives way.
    bringRadioTo(Kind::Loading);
    publish(music());
    EXPECT_FALSE(card->hero()->isVisible());
    EXPECT_EQ(summarySubtitle(), u"Tuning..."_s);
    state->quranAudioManager().stop();
    bringRadioTo(Kind::Paused);
    publish(music(u"Other"_s));
    EXPECT_TRUE(card->hero()->isVisible());

    // A mix stops the radio, then applies, then refreshes.
    radio().stop();
    card->ambient()->setExpanded(true);
    bringRadioTo(Kind::Playing);
    publish(music());

    QStringList calls;
    QObject::connect(&radio(), &QuranAudioManager::statusChanged, card.get(), [&] {
        if (radio().status() == QuranPlayerStatus::idle())
            calls << u"stop"_s;
    });
    QObject::connect(&mixer(), &SoundscapeAudioManager::activeTrackIDsChanged, card.get(), [&] {
        if (!mixer().activeTrackIDs().isEmpty() && !calls.contains(u"apply"_s))
            calls << u"apply"_s;
    });
    QObject::connect(state.get(), &AppState::changed, card.get(), [&](AppState::Field field) {
        if (field == AppState::Field::nowPlaying)
            calls << u"refresh"_s;
    });
    click(u"mix:calm"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls.contains(u"refresh"_s); }, 20000));
    // On a loaded machine a second refresh may land in the same turn.
    EXPECT_EQ(calls.mid(0, 3), (QStringList{u"stop"_s, u"apply"_s, u"refresh"_s}));
    // Only the mix's sounds show their sliders, and the summary names the mix.
    EXPECT_TRUE(tile(u"ocean"_s)->slider()->isVisible());
    EXPECT_FALSE(tile(u"rain"_s)->slider()->isVisible());
    EXPECT_EQ(summaryTitle(), u"Ambient Mix"_s);
    EXPECT_EQ(summarySubtitle(), u"2 sounds playing"_s);

    // A tile stops the radio too, and its slider sets only its own volume.
    state->stopSoundscapes();
    bringRadioTo(Kind::Playing);
    const SoundscapeTrack &rain = track(u"rain"_s);
    QTest::mouseClick(tile(u"rain"_s)->button(), Qt::LeftButton);
    EXPECT_EQ(radio().status(), QuranPlayerStatus::idle());
    EXPECT_TRUE(mixer().activeTrackIDs().contains(u"rain"_s));
    EXPECT_EQ(summaryTitle(), rain.title);
    EXPECT_EQ(summarySubtitle(), u"Ambient soundscape"_s);

    const QSet<QString> before = mixer().activeTrackIDs();
    const double ocean = mixer().volume(track(u"ocean"_s));
    int activeChanges = 0;
    QObject::connect(&mixer(), &SoundscapeAudioManager::activeTrackIDsChanged, card.get(), [&] { ++activeChanges; });
    QObject::connect(&radio(), &QuranAudioManager::statusChanged, card.get(), [&] { ++activeChanges; });
    tile(u"rain"_s)->slider()->setValue(250);
    EXPECT_NEAR(mixer().volume(rain), 0.25, 0.001);
    EXPECT_EQ(mixer().volume(track(u"ocean"_s)), ocean);
    EXPECT_EQ(mixer().activeTrackIDs(), before);
    EXPECT_EQ(activeChanges, 0);

    for (const QString &id : {u"ocean"_s, u"forest"_s})
        QTest::mouseClick(tile(id)->button(), Qt::LeftButton);
    EXPECT_EQ(summaryTitle(), u"Ambient Mix"_s);
    EXPECT_EQ(summarySubtitle(), u"3 sounds playing"_s);
    EXPECT_TRUE(find(u"clearMix"_s)->isEnabled());
    click(u"clearMix"_s);
    EXPECT_TRUE(mixer().activeTrackIDs().isEmpty());
    EXPECT_FALSE(find(u"clearMix"_s)->isEnabled());
}

TEST(SoundscapeRulesTest, RadioStatusLinePlayButtonAndSummary)
{
    using soundscape::StatusTone;
    using S = QuranPlayerStatus;
    const QString choose = u"Choose Ambient or Quran Radio"_s; // with no sound active
    const auto secondary = StatusTone::secondary, warning = StatusTone::warning;
    const std::tuple<QuranPlayerStatus, bool, QString, StatusTone, QString, bool, QString> cases[] = {
        {S::idle(), true, u"Choose a station and press play."_s, secondary, u"Play"_s, true, choose},
        {S::idle(), false, u"No radio station is enabled."_s, secondary, u"Play"_s, false, choose},
        {S::loading(), true, u"Tuning live stream..."_s, secondary, u"Loading"_s, false, u"Tuning..."_s},
        {S::playing(), true, u"Live stream playing."_s, StatusTone::tint, u"Pause"_s, true, u"Quran Radio is live"_s},
        {S::paused(), true, u"Paused"_s, secondary, u"Play"_s, true, u"Paused"_s},
        {S::networkUnavailable(), true, u"Qur'an radio requires an internet connection."_s, warning, u"Play"_s, true,
         choose},
        {S::error(u"Boom"_s), true, u"Boom"_s, warning, u"Play"_s, true, choose},
        {S::error(QString()), true, QString(), warning, u"Play"_s, true, choose},
    };
    for (const auto &[status, hasStation, text, tone, button, enabled, subtitle] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(soundscape::radioStatusText(status, hasStation), text);
        EXPECT_EQ(soundscape::radioStatusTone(status), tone);
        EXPECT_EQ(soundscape::radioPlayButton(status).title, button);
        EXPECT_EQ(soundscape::radioPlayButtonEnabled(status, hasStation), enabled);
        EXPECT_EQ(soundscape::summarySubtitle(status, 0, false), subtitle);
    }
    // Past the radio rows: the mixer's.
    EXPECT_EQ(soundscape::summarySubtitle(QuranPlayerStatus::idle(), 2, false), u"Paused"_s);
    EXPECT_EQ(soundscape::summarySubtitle(QuranPlayerStatus::error(u"x"_s), 1, true), u"Ambient soundscape"_s);
    EXPECT_EQ(soundscape::summarySubtitle(QuranPlayerStatus::idle(), 3, true), u"3 sounds playing"_s);
}

// Measured from the pixels: a playing sound's yellow name and symbol, and the
// disclosure's symbol, read on a light card in every light look.
TEST_F(NowPlayingCardTest, PlayingSoundsReadOnLightCards)
{
    OrlixStyle style(defaults);
    makeCard();
    card->ambient()->setExpanded(true);
    state->toggleSoundscape(track(u"rain"_s));
    AmbientSoundTile *rain = tile(u"rain"_s);
    ASSERT_NE(rain, nullptr);
    for (const char *theme : test::kLightThemes) {
        SCOPED_TRACE(theme);
        test::useLightLook(defaults, style, theme);
        QCoreApplication::sendPostedEvents();
        const QColor backdrop = test::lightCardBackdrop(style);
        auto *title = rain->findChild<ElidedLabel *>(u"ambientTileTitle"_s);
        ASSERT_NE(title, nullptr);
        const QRect titleArea(title->mapTo(rain, QPoint()), title->size());
        EXPECT_GE(test::drawnContrast(*rain, titleArea, backdrop), kBodyTextContrast);
        // The sound's symbol, left of its name.
        const QRect symbolArea(rain->findChild<SymbolView *>()->mapTo(rain, QPoint()),
                               rain->findChild<SymbolView *>()->size());
        EXPECT_GE(test::drawnContrast(*rain, symbolArea, backdrop), kLargeInkContrast);
    }
}

TEST_F(NowPlayingCardTest, AStationRowShowsItsStationAClickOnlyChoosesItAndTheRadioCardFollows)
{
    radio().saveCustomStation(u"Night Recitation"_s, u"https://radio.example.org/live.m3u8"_s);
    makeCard();
    card->radio()->setExpanded(true);
    auto *bahrain = find<QAbstractButton>(u"station:bahrain"_s), *custom = find<QAbstractButton>(u"station:custom"_s);
    ASSERT_TRUE(bahrain && custom);
    const QuranRadioStation built = radio().stations().front();
    const auto shown = [](QAbstractButton *row) {
        return QStringList{row->findChild<ElidedLabel *>(u"stationName"_s)->text(),
                           row->findChild<ElidedLabel *>(u"stationCountry"_s)->text(),
                           row->findChild<SymbolView *>()->symbol(), row->accessibleName()};
    };
    EXPECT_EQ(shown(bahrain),
              (QStringList{built.nameArabic, built.country, u"dot.radiowaves.left.and.right"_s, built.nameEnglish}));
    EXPECT_EQ(shown(custom),
              (QStringList{u"Night Recitation"_s, u"Custom Station"_s, u"radio"_s, u"Night Recitation"_s}));

    // With the ambient sounds playing and the radio at rest, a click only
    // chooses: the sounds go on, nothing tunes, and the rows stay where they
    // are with the mark moved.
    state->applySoundscapeMix(mixer().mixes().front());
    const QSet<QString> playing = mixer().activeTrackIDs();
    const qsizetype players = services.audio->created.size();
    QTest::mouseClick(custom, Qt::LeftButton);
    EXPECT_EQ(radio().selectedStationID(), u"custom"_s);
    EXPECT_EQ(radio().status(), QuranPlayerStatus::idle());
    EXPECT_TRUE(mixer().isPlaying() && mixer().activeTrackIDs() == playing);
    EXPECT_EQ(services.audio->created.size(), players);
    EXPECT_EQ(find<QAbstractButton>(u"station:custom"_s), custom) << "the rows stay";
    EXPECT_EQ(shown(custom)[2], u"dot.radiowaves.left.and.right"_s);
    EXPECT_EQ(shown(bahrain)[2], u"radio"_s);
    EXPECT_EQ(text(u"radioTitleEnglish"_s), u"Night Recitation"_s);

    // While the radio plays, a click tunes the chosen station in its place.
    state->stopSoundscapes();
    bringRadioTo(Kind::Playing);
    QTest::mouseClick(bahrain, Qt::LeftButton);
    EXPECT_EQ(radio().selectedStationID(), u"bahrain"_s);
    EXPECT_EQ(radio().status(), QuranPlayerStatus::loading());
    EXPECT_EQ(radio().currentStation().value_or(QuranRadioStation{}).id, u"bahrain"_s);
    EXPECT_TRUE(mixer().activeTrackIDs().isEmpty());
    // Play tunes the station the radio card names; with none enabled it says so.
    radio().stop();
    auto *play = find<OrlixButton>(u"radioPlay"_s);
    EXPECT_EQ(play->text(), u"Play"_s);
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_EQ(play->text(), u"Loading"_s);
    EXPECT_FALSE(play->isEnabled());
    EXPECT_EQ(text(u"radioTitleArabic"_s), built.nameArabic);
    EXPECT_EQ(text(u"radioTitleEnglish"_s), built.nameEnglish);
    EXPECT_EQ(summaryTitle(), built.nameArabic);
    radio().stop();
    radio().removeCustomStation();
    radio().setBahrainStationEnabled(false);
    EXPECT_EQ(text(u"radioTitleArabic"_s), u"No station enabled"_s);
    EXPECT_EQ(text(u"radioTitleEnglish"_s), u"Add a station in Settings"_s);
    EXPECT_EQ(text(u"radioStatus"_s), u"No radio station is enabled."_s);
    find(u"radioNoStations"_s);
    EXPECT_FALSE(play->isEnabled());
}

TEST_F(NowPlayingCardTest, ASectionSlidesAndFadesInOnItsSpringThenRestsQuietly)
{
    test::Frames frames;
    makeCard();
    SoundscapeDisclosure *ambient = card->ambient();
    QWidget *content = ambient->content();
    QWidget *clip = content->parentWidget();
    const auto chevron = [&] {
        for (SymbolView *symbol : ambient->header()->findChildren<SymbolView *>())
            if (symbol->symbol() == u"chevron.down"_s)
                return symbol->rotation();
        ADD_FAILURE() << "no chevron";
        return 0.0;
    };
    EXPECT_EQ(chevron(), -90);
    const int duration = ambient->motion()->duration();

    QTest::mouseClick(ambient->header(), Qt::LeftButton);
    EXPECT_TRUE(content->isVisible());
    EXPECT_EQ(ambient->reveal(), 0);
    frames.advanceBy(duration / 5);
    const qreal early = ambient->reveal();
    EXPECT_TRUE(test::between(early, 0.05, 1.0));
    EXPECT_TRUE(test::between(chevron(), -90, 0));
    // Part of the content shows below the header, hanging from the clip's
    // bottom edge: it comes down from the top, faded in as far as it shows.
    EXPECT_TRUE(test::between(clip->height(), 0, content->height()));
    EXPECT_EQ(content->y() + content->height(), clip->height());
    auto *fade = qobject_cast<QGraphicsOpacityEffect *>(clip->graphicsEffect());
    ASSERT_NE(fade, nullptr);
    EXPECT_NEAR(fade->opacity(), early, 1e-6);

    frames.advanceBy(duration);
    EXPECT_EQ(ambient->reveal(), 1.0);
    EXPECT_EQ(chevron(), 0);
    EXPECT_EQ(content->y(), 0);
    EXPECT_EQ(clip->height(), content->height());
    EXPECT_EQ(clip->graphicsEffect(), nullptr) << "nothing painted through an effect at rest";
    EXPECT_FALSE(test::anyRunning(*card)) << "idle once open";

    // The open section follows its content: a sound's slider appears.
    const int before = clip->height();
    state->toggleSoundscape(track(u"rain"_s));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::sendPostedEvents();
    EXPECT_GT(clip->height(), before);
    EXPECT_EQ(clip->height(), content->height());

    // Closing runs the other way and ends hidden.
    QTest::mouseClick(ambient->header(), Qt::LeftButton);
    frames.advanceBy(duration / 5);
    EXPECT_TRUE(test::between(ambient->reveal(), 0.0, 1.0));
    EXPECT_TRUE(content->isVisible());
    frames.advanceBy(duration);
    EXPECT_FALSE(content->isVisible());
    EXPECT_EQ(chevron(), -90);
    EXPECT_EQ(clip->graphicsEffect(), nullptr);
    EXPECT_FALSE(test::anyRunning(*card)) << "idle once closed";
}

TEST(NowPlayingHeroRulesTest, BadgesAndTheDetailLine)
{
    const std::pair<QString, QString> badges[] = {
        {u"Spotify"_s, u"music.note.list"_s}, {u"SoundCloud"_s, u"waveform"_s},
        {u"Anghami"_s, u"music.note.tv"_s},   {u"x YouTube y"_s, u"play.rectangle.fill"_s},
        {u"youtube"_s, u"music.note"_s},      {u"Spotify "_s, u"music.note"_s},
        {QString(), u"music.note"_s},         {u"VLC media player"_s, u"music.note"_s},
    };
    for (const auto &[source, symbol] : badges)
        EXPECT_EQ(nowplaying::badgeSymbol(source), symbol) << source.toStdString();
    EXPECT_EQ(nowplaying::badgeText({}), u"Audio"_s);
    EXPECT_EQ(nowplaying::badgeText(u"Spotify"_s), u"Spotify"_s);

    EXPECT_EQ(nowplaying::detailLine(u"Nina"_s, u"Spotify"_s), u"Nina \u00B7 Spotify"_s);
    EXPECT_EQ(nowplaying::detailLine({}, u"Spotify"_s), u"Spotify"_s);
    EXPECT_EQ(nowplaying::detailLine(u"Nina"_s, {}), u"Nina"_s);
    EXPECT_EQ(nowplaying::detailLine({}, {}), QString());
}

class NowPlayingHeroTest : public test::CardTest<NowPlayingHero> {
protected:
    NowPlayingHeroTest() { cardSize = {254, NowPlayingHero::preferredHeight}; }

    bool idle() const override { return !state->isRefreshingNowPlaying(); }

    static NowPlayingItem item(const QString &artwork = {}, bool playing = true)
    {
        return {u"Clair de Lune"_s,
                u"Debussy"_s,
                u"Spotify"_s,
                playing,
                false,
                artwork.isNull() ? std::nullopt : std::optional(artwork)};
    }

    NowPlayingArtworkView &artwork() { return *card->artworkView(); }

    bool artworkSettled()
    {
        return test::waitUntil([&] { return artwork().imageSlot()->phase() != ImageSlot::Phase::loading; });
    }
};

TEST_F(NowPlayingHeroTest, ArtworkLoadsFromTrimmedWebAddressesAndFilesElseThePlaceholderShowsThePlay)
{
    services.server.respond(u"/a.png"_s, {200, test::pngBytes({64, 64}), {{"Content-Type", "image/png"}}});
    services.server.respond(u"/gone.png"_s, {404, "gone", {}});
    const QString absolute = makeFile(u"rel/a.png"_s, test::pngBytes({300, 300}));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(home.path(u"Files"_s)));
    makeCard();
    const QString web = services.server.url(u"/a.png"_s).toString();
    const std::tuple<QString, bool, bool> cases[] = {
        {u"  "_s + web + u"\n"_s, true, true},
        {u"rel/a.png"_s, true, true},
        {QUrl::fromLocalFile(absolute).toString(), true, true},
        {absolute, true, true},
        {u"   "_s, true, false},
        {{}, false, false},
        {services.server.url(u"/gone.png"_s).toString(), true, false},
        {home.path(u"missing.png"_s), false, false},
    };
    for (const auto &[location, playing, shows] : cases) {
        SCOPED_TRACE(location.toStdString());
        state->setNowPlaying(item(location, playing));
        ASSERT_TRUE(artworkSettled());
        EXPECT_EQ(artwork().showsArtwork(), shows);
        if (shows)
            EXPECT_LE(artwork().imageSlot()->image().width(), 238) << "decoded for the tile, not at full size";
        else
            EXPECT_EQ(NowPlayingArtworkPlaceholder::symbol(artwork().item()),
                      playing ? u"waveform"_s : u"music.note"_s);
    }
    QDir::setCurrent(before);

    // The web picture, announced again unchanged and redrawn, was loaded once.
    state->setNowPlaying(item(std::get<0>(cases[0])));
    state->setNowPlaying(state->nowPlaying());
    card->resize(260, NowPlayingHero::preferredHeight);
    card->update();
    QCoreApplication::processEvents();
    const auto requests = services.server.requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const test::RecordedRequest &r) { return r.path == u"/a.png"_s; }),
              1);

    const QString cwd = QDir::currentPath();
    // The hero's own tests load trimmed web addresses, paths and blanks.
    const std::pair<std::optional<QString>, std::optional<QUrl>> locations[] = {
        {u"\n\t"_s, std::nullopt},
        {u"http://h/a.png"_s, QUrl(u"http://h/a.png"_s)},
        {u"https://"_s, std::nullopt},
        {u"file:///tmp/cover%20art.png"_s, QUrl::fromLocalFile(u"/tmp/cover art.png"_s)},
        {u"rel/a.png"_s, QUrl::fromLocalFile(cwd + u"/rel/a.png"_s)},
        {u"file://elsewhere/a.png"_s, std::nullopt},
    };
    for (const auto &[location, expected] : locations)
        EXPECT_EQ(nowplaying::artworkURL(location), expected) << location.value_or(u"(none)"_s).toStdString();
}

TEST_F(NowPlayingHeroTest, TheTextsBadgeAndMuteFollowTheItemAndTheTileIsTheShorterSide)
{
    makeCard();
    state->setNowPlaying({u"Clair de Lune"_s, {}, u"Spotify"_s, false, true, std::nullopt});
    EXPECT_EQ(text(u"nowPlayingTitle"_s), u"Clair de Lune"_s);
    EXPECT_EQ(text(u"nowPlayingDetail"_s), u"Spotify"_s) << "no separator without an artist";
    auto *mute = find<NowPlayingStatusButton>(u"nowPlayingMuteButton"_s);
    EXPECT_EQ(mute->toolTip(), u"Unmute"_s);
    EXPECT_EQ(mute->symbol(), u"speaker.slash.fill"_s);
    EXPECT_EQ(find<MediaControlButton>(u"nowPlayingPlayPauseButton"_s)->symbol(), u"play.fill"_s);

    state->setNowPlaying({u"Clair de Lune"_s, {}, {}, true, false, std::nullopt});
    EXPECT_EQ(find<SourceBadge>(u"sourceBadge"_s)->text(), u"Audio"_s);
    EXPECT_EQ(mute->toolTip(), u"Mute"_s);
    EXPECT_EQ(find<MediaControlButton>(u"nowPlayingPlayPauseButton"_s)->symbol(), u"pause.fill"_s);

    // The tile is the shorter side, centred.
    for (const auto &[hero, tile] : {std::pair{QSize(400, 238), QRect(81, 0, 238, 238)},
                                     {QSize(238, 238), QRect(0, 0, 238, 238)},
                                     {QSize(200, 238), QRect(0, 19, 200, 200)}}) {
        card->resize(hero);
        EXPECT_EQ(card->tileRect(), tile);
        EXPECT_EQ(QRect(artwork().mapTo(card.get(), QPoint()), artwork().size()), tile);
    }
}

// Over the lightest artwork the white title reads from its first line: the
// darkening starts above it, for one line and for two.
TEST_F(NowPlayingHeroTest, TheTitleReadsOverWhiteArtworkFromItsFirstLine)
{
    QImage white(64, 64, QImage::Format_RGB32);
    white.fill(Qt::white);
    const QString whiteFile = makeFile(u"white.png"_s, test::encoded(white));
    makeCard();
    card->resize(238, NowPlayingHero::preferredHeight);
    for (const QString &title : {u"Clair de Lune"_s, u"Clair de Lune, Suite bergamasque, third movement"_s}) {
        SCOPED_TRACE(title.toStdString());
        NowPlayingItem playing = item(whiteFile);
        playing.title = title;
        state->setNowPlaying(playing);
        ASSERT_TRUE(artworkSettled());
        ASSERT_TRUE(artwork().showsArtwork());
        QCoreApplication::sendPostedEvents();
        auto *label = find<ElidedLabel>(u"nowPlayingTitle"_s);
        const int line = QFontMetrics(label->font()).height();
        const QRect firstLine(label->mapTo(card.get(), QPoint()), QSize(label->width(), line));
        EXPECT_GE(test::drawnContrast(*card, firstLine, Qt::white), kBodyTextContrast);
    }
}

TEST_F(NowPlayingHeroTest, TheButtonsSendTheirCommandsThroughTheState)
{
    test::FakeMprisPlayer player(services.bus.connect(u"vlc"_s), u"vlc"_s);
    player.identity = u"VLC media player"_s;
    player.playbackStatus = u"Playing"_s;
    player.title = u"Track"_s;
    state->setRailModule(RailModule::nowPlaying, true); // reads what plays
    ASSERT_TRUE(test::waitUntil([&] { return state->nowPlaying().title == u"Track"_s; }));
    makeCard();
    // Each action reads the item again and publishes it: waiting for that
    // lets every action end before the next, and before the test does.
    int published = 0;
    QObject::connect(state.get(), &AppState::changed,
                     [&](AppState::Field field) { published += field == AppState::Field::nowPlaying; });
    QStringList expected;
    for (const QString &call : {u"Previous"_s, u"PlayPause"_s, u"Next"_s, u"Mute"_s}) {
        const int before = published;
        click(u"nowPlaying"_s + call + u"Button"_s);
        ASSERT_TRUE(test::waitUntil([&] { return published > before; })) << call.toStdString();
        if (call != u"Mute"_s) {
            EXPECT_EQ(player.calls(), expected << call);
        }
    }
    const auto &runs = services.processes->runs();
    EXPECT_EQ(
        std::count_if(runs.begin(), runs.end(),
                      [](const test::RecordedProcess &run) { return run.arguments.contains(u"set-sink-mute"_s); }),
        1);
}

} // namespace
} // namespace kolu
