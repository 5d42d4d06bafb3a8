#include "cards/nowplaying/NowPlayingHero.h"

#include "cards/images/ImageSlot.h"
#include "cards/nowplaying/NowPlayingArtwork.h"
#include "cards/nowplaying/NowPlayingControls.h"
#include "cards/nowplaying/NowPlayingHeroRules.h"

#include "../CardTest.h"
#include "FakeMprisPlayer.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

TEST(NowPlayingHeroRulesTest, ArtworkLocationsNameAWebPictureAFileOrNothing)
{
    const QString cwd = QDir::currentPath();
    struct Case {
        std::optional<QString> location;
        std::optional<QUrl> expected;
    };
    // The hero's own tests load trimmed web addresses, paths and blanks.
    const Case cases[] = {
        {u"\n\t"_s, std::nullopt},
        {u"http://h/a.png"_s, QUrl(u"http://h/a.png"_s)},
        {u"https://"_s, std::nullopt},
        {u"file:///tmp/cover%20art.png"_s, QUrl::fromLocalFile(u"/tmp/cover art.png"_s)},
        {u"rel/a.png"_s, QUrl::fromLocalFile(cwd + u"/rel/a.png"_s)},
        {u"file://elsewhere/a.png"_s, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(nowplaying::artworkURL(c.location), c.expected) << c.location.value_or(u"(none)"_s).toStdString();
}

TEST(NowPlayingHeroRulesTest, BadgesAndTheDetailLine)
{
    const std::pair<QString, QString> badges[] = {
        {u"Spotify"_s, u"music.note.list"_s},      {u"SoundCloud"_s, u"waveform"_s},
        {u"Anghami"_s, u"music.note.tv"_s},        {u"x YouTube y"_s, u"play.rectangle.fill"_s},
        {u"youtube"_s, u"music.note"_s},           {u"Spotify "_s, u"music.note"_s},
        {QString(), u"music.note"_s},              {u"VLC media player"_s, u"music.note"_s},
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
        NowPlayingItem i{u"Clair de Lune"_s, u"Debussy"_s, u"Spotify"_s, playing, false, std::nullopt};
        if (!artwork.isNull())
            i.artworkLocation = artwork;
        return i;
    }

    NowPlayingArtworkView &artwork() { return *card->artworkView(); }

    bool artworkSettled()
    {
        return test::waitUntil([&] { return artwork().imageSlot()->phase() != ImageSlot::Phase::loading; });
    }

    QString writePicture(const QString &path)
    {
        EXPECT_TRUE(test::writeFile(path, test::pngBytes({300, 300})));
        return path;
    }
};

TEST_F(NowPlayingHeroTest, ArtworkLoadsFromTrimmedWebAddressesAndFilesElseThePlaceholderShowsThePlay)
{
    services.server.respond(u"/a.png"_s, {200, test::pngBytes({64, 64}), {{"Content-Type", "image/png"}}});
    services.server.respond(u"/gone.png"_s, {404, "gone", {}});
    const QString absolute = writePicture(home.path(u"art/a.png"_s));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(home.home()));
    writePicture(home.path(u"rel/a.png"_s));
    makeCard();
    const QString web = services.server.url(u"/a.png"_s).toString();
    const struct {
        QString location;
        bool playing, shows;
    } cases[] = {
        {u"  "_s + web + u"\n"_s, true, true}, {u"rel/a.png"_s, true, true},
        {QUrl::fromLocalFile(absolute).toString(), true, true}, {absolute, true, true},
        {u"   "_s, true, false}, {{}, false, false},
        {services.server.url(u"/gone.png"_s).toString(), true, false}, {home.path(u"missing.png"_s), false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.location.toStdString());
        state->setNowPlaying(item(c.location, c.playing));
        ASSERT_TRUE(artworkSettled());
        EXPECT_EQ(artwork().showsArtwork(), c.shows);
        if (c.shows)
            EXPECT_LE(artwork().imageSlot()->image().width(), 238) << "decoded for the tile, not at full size";
        else
            EXPECT_EQ(NowPlayingArtworkPlaceholder::symbol(artwork().item()), c.playing ? u"waveform"_s : u"music.note"_s);
    }
    QDir::setCurrent(before);

    // The web picture, announced again unchanged and redrawn, was loaded once.
    state->setNowPlaying(item(cases[0].location));
    state->setNowPlaying(state->nowPlaying());
    card->resize(260, NowPlayingHero::preferredHeight);
    card->update();
    QCoreApplication::processEvents();
    const auto requests = services.server.requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const test::RecordedRequest &r) { return r.path == u"/a.png"_s; }),
              1);
}

TEST_F(NowPlayingHeroTest, TheTextsBadgeAndMuteFollowTheItem)
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
    QObject::connect(state.get(), &AppState::changed, [&](AppState::Field field) {
        published += field == AppState::Field::nowPlaying;
    });
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
    EXPECT_EQ(std::count_if(runs.begin(), runs.end(),
                            [](const test::RecordedProcess &run) { return run.arguments.contains(u"set-sink-mute"_s); }),
              1);
}

TEST_F(NowPlayingHeroTest, TheTileIsTheShorterSideAndCentred)
{
    makeCard();
    const struct {
        QSize hero;
        QRect tile;
    } cases[] = {
        {{400, 238}, {81, 0, 238, 238}},
        {{238, 238}, {0, 0, 238, 238}},
        {{200, 238}, {0, 19, 200, 200}},
    };
    for (const auto &c : cases) {
        card->resize(c.hero);
        EXPECT_EQ(card->tileRect(), c.tile);
        EXPECT_EQ(artwork().geometry().size(), c.tile.size());
        EXPECT_EQ(artwork().mapTo(card.get(), QPoint()), c.tile.topLeft());
    }
}

} // namespace
} // namespace kolu
