#include "services/media/NowPlayingService.h"

#include "services/media/NowPlayingRules.h"

#include "../ServiceTests.h"
#include "FakeMprisPlayer.h"
#include "PrivateBus.h"
#include "RecordingProcessRunner.h"

using kolu::MediaAction;
using kolu::NowPlayingItem;
using kolu::test::awaitTask;
using kolu::test::FakeMprisPlayer;

namespace {

struct NowPlayingServiceTest : ::testing::Test {
    kolu::test::PrivateBus bus;
    kolu::test::ManualClock clock;
    kolu::test::RecordingProcessRunner processes;
    QTemporaryDir runtime;
    kolu::NowPlayingService service{bus.connect(u"kolu"_s), processes, clock, QDir(runtime.path()).filePath(u"Kolu"_s)};
    std::vector<std::unique_ptr<FakeMprisPlayer>> players;

    // A player named by its instance; a "chromium" one shows a video.
    FakeMprisPlayer &add(const QString &instance, const QString &status, const QString &title = u"Tune"_s)
    {
        auto player = std::make_unique<FakeMprisPlayer>(bus.connect(instance), instance);
        player->desktopEntry = instance.section(u'.', 0, 0);
        player->identity = player->desktopEntry.left(1).toUpper() + player->desktopEntry.mid(1);
        player->playbackStatus = status;
        player->title = title;
        if (instance.startsWith(u"chromium"))
            player->url = u"https://www.youtube.com/watch?v=vid42"_s;
        players.push_back(std::move(player));
        return *players.back();
    }
};

TEST_F(NowPlayingServiceTest, APlayingSpotifyTrackCarriesTheMuteStateAndNothingPlayingDoesNot)
{
    processes.respond(u"env"_s, {true, false, false, 0, "Mute: yes\n", {}});
    FakeMprisPlayer &vlc = add(u"vlc"_s, u"Stopped"_s);
    EXPECT_EQ(awaitTask(service.currentItem()), kolu::nothingPlayingItem());
    FakeMprisPlayer &spotify = add(u"spotify"_s, u"Playing"_s, u"Hey Jude"_s);
    spotify.artists = {u"The Beatles"_s};
    spotify.artUrl = u"https://i.scdn.co/image/ab67616d"_s;
    vlc.playbackStatus = u"Playing"_s;
    EXPECT_EQ(awaitTask(service.currentItem()), (NowPlayingItem{u"Hey Jude"_s, u"The Beatles"_s, u"Spotify"_s, true,
                                                                true, u"https://i.scdn.co/image/ab67616d"_s}));
    EXPECT_EQ(processes.runs().constLast().arguments,
              (QStringList{u"LC_ALL=C"_s, u"/usr/bin/pactl"_s, u"get-sink-mute"_s, u"@DEFAULT_SINK@"_s}));
    // Without pactl nothing is muted.
    processes.setMissing({u"pactl"_s});
    EXPECT_FALSE(awaitTask(service.currentItem()).isMuted);
}

TEST_F(NowPlayingServiceTest, AHungPlayerDoesNotHoldTheRefresh)
{
    FakeMprisPlayer &hung = add(u"hung"_s, u"Playing"_s, u"Never"_s);
    hung.silent = true;
    add(u"spotify"_s, u"Paused"_s, u"Waiting"_s);

    auto probe = kolu::test::startTask(service.currentItem());
    ASSERT_TRUE(kolu::test::waitUntil([&] { return hung.messagesReceived() == 2 && clock.activeTimerCount() == 2; }));
    EXPECT_FALSE(probe.isDone());
    clock.advance(kolu::MprisClient::defaultCallTimeout);
    const NowPlayingItem item = probe.wait();
    EXPECT_EQ(item.title + u" on "_s + item.source, u"Waiting on Spotify"_s);
}

// How often the app state probes is tested with the app state.
TEST_F(NowPlayingServiceTest, TheThrottledRefreshRunsOncePerIntervalWhateverTheWallClock)
{
    FakeMprisPlayer &vlc = add(u"vlc"_s, u"Playing"_s);
    EXPECT_TRUE(awaitTask(service.refreshIfNeeded(10)).has_value());
    const int asked = vlc.messagesReceived();
    clock.advance(10s);
    EXPECT_EQ(awaitTask(service.refreshIfNeeded(10)), std::nullopt);
    EXPECT_EQ(vlc.messagesReceived(), asked);
    clock.advance(1ms);
    awaitTask(service.currentItem()); // a direct read does not move the throttle
    EXPECT_TRUE(awaitTask(service.refreshIfNeeded(10)).has_value());
    // A clock set back does not stop the refresh.
    clock.jumpWallClock(-1h);
    EXPECT_TRUE(awaitTask(service.refreshIfNeeded(10)).has_value());
    clock.advance(5s);
    EXPECT_EQ(awaitTask(service.refreshIfNeeded(10)), std::nullopt);
}

TEST_F(NowPlayingServiceTest, CommandsGoToPlayingSpotifyThenABrowserThenPausedSpotifyThenAnotherPlayer)
{
    FakeMprisPlayer &stopped = add(u"audacious"_s, u"Stopped"_s, {});
    FakeMprisPlayer &spotify = add(u"spotify"_s, u"Playing"_s);
    FakeMprisPlayer &vlc = add(u"vlc"_s, u"Paused"_s);
    FakeMprisPlayer &tab = add(u"chromium.instance7"_s, u"Playing"_s, u"(2) Video - YouTube"_s);
    const auto callsSoFar = [&] {
        return QList<QStringList>{stopped.calls(), spotify.calls(), vlc.calls(), tab.calls()};
    };
    awaitTask(service.perform(MediaAction::playPause));
    EXPECT_EQ(callsSoFar(), (QList<QStringList>{{}, {u"PlayPause"_s}, {}, {}}));

    // A browser with media takes the command before a paused Spotify.
    spotify.playbackStatus = u"Paused"_s;
    tab.playbackStatus = u"Paused"_s;
    awaitTask(service.perform(MediaAction::next));
    EXPECT_EQ(callsSoFar(), (QList<QStringList>{{}, {u"PlayPause"_s}, {}, {u"Next"_s}}));

    // Without one, the paused Spotify does, even before a playing player.
    tab.playbackStatus = u"Stopped"_s;
    vlc.playbackStatus = u"Playing"_s;
    awaitTask(service.perform(MediaAction::playPause));
    EXPECT_EQ(callsSoFar(), (QList<QStringList>{{}, {u"PlayPause"_s, u"PlayPause"_s}, {}, {u"Next"_s}}));

    // Otherwise the first other player that plays.
    spotify.playbackStatus = u"Stopped"_s;
    awaitTask(service.perform(MediaAction::previous));
    EXPECT_EQ(callsSoFar(), (QList<QStringList>{{}, {u"PlayPause"_s, u"PlayPause"_s}, {u"Previous"_s}, {u"Next"_s}}));
}

TEST_F(NowPlayingServiceTest, MuteTogglesTheDefaultSinkAndLeavesPlayersAloneAndAStoppedSpotifyIsCommanded)
{
    awaitTask(service.perform(MediaAction::next)); // nobody to command: quietly nothing
    EXPECT_TRUE(processes.runs().isEmpty());
    FakeMprisPlayer &spotify = add(u"spotify"_s, u"Stopped"_s);
    awaitTask(service.perform(MediaAction::toggleMute));
    ASSERT_EQ(processes.runs().size(), 1);
    EXPECT_EQ(processes.runs().constFirst().program + u' ' + processes.runs().constFirst().arguments.join(u' '),
              u"pactl set-sink-mute @DEFAULT_SINK@ toggle"_s);
    EXPECT_EQ(spotify.messagesReceived(), 0);
    // A stopped Spotify alone still gets a player command.
    awaitTask(service.perform(MediaAction::playPause));
    EXPECT_EQ(spotify.calls(), QStringList{u"PlayPause"_s});
}

TEST_F(NowPlayingServiceTest, PlayPauseStaysWithThePlayerTheUserPaused)
{
    FakeMprisPlayer &alpha = add(u"alpha"_s, u"Paused"_s, u"Alpha tune"_s);
    FakeMprisPlayer &zulu = add(u"zulu"_s, u"Playing"_s, u"Zulu tune"_s);
    EXPECT_EQ(awaitTask(service.currentItem()).title, u"Zulu tune"_s);

    // Paused from the card, and again from its own window: either way it
    // stays on show and the next play/pause resumes it.
    for (bool fromTheCard : {true, false}) {
        if (fromTheCard)
            awaitTask(service.perform(MediaAction::playPause));
        zulu.changePlaybackStatus(u"Paused"_s);
        const NowPlayingItem shown = awaitTask(service.currentItem());
        EXPECT_TRUE(shown.title == u"Zulu tune"_s && !shown.isPlaying);
        awaitTask(service.perform(MediaAction::playPause));
        zulu.changePlaybackStatus(u"Playing"_s);
        EXPECT_EQ(awaitTask(service.currentItem()).title, u"Zulu tune"_s);
    }
    EXPECT_TRUE(alpha.calls().isEmpty());
    EXPECT_EQ(zulu.calls().size(), 3);
}

TEST_F(NowPlayingServiceTest, ThePlayerThatStartedLastIsShown)
{
    FakeMprisPlayer &alpha = add(u"alpha"_s, u"Paused"_s, u"Alpha tune"_s);
    FakeMprisPlayer &zulu = add(u"zulu"_s, u"Paused"_s, u"Zulu tune"_s);
    // Both start between two reads; their announcements tell the order.
    alpha.changePlaybackStatus(u"Playing"_s);
    zulu.changePlaybackStatus(u"Playing"_s);
    EXPECT_EQ(awaitTask(service.currentItem()).title, u"Zulu tune"_s);
    // A pause and a new start put alpha ahead.
    alpha.changePlaybackStatus(u"Paused"_s);
    alpha.changePlaybackStatus(u"Playing"_s);
    EXPECT_EQ(awaitTask(service.currentItem()).title, u"Alpha tune"_s);
    // An announcement that it still plays does not move zulu ahead.
    zulu.changePlaybackStatus(u"Playing"_s);
    EXPECT_EQ(awaitTask(service.currentItem()).title, u"Alpha tune"_s);
}

TEST_F(NowPlayingServiceTest, TheButtonsActOnThePlayerOfTheShownItem)
{
    FakeMprisPlayer &music = add(u"vlc"_s, u"Playing"_s, u"Album track"_s);
    FakeMprisPlayer &tab = add(u"chromium.instance7"_s, u"Playing"_s, u"(2) Video - YouTube"_s);
    EXPECT_EQ(awaitTask(service.currentItem()).title, u"Album track"_s);
    awaitTask(service.perform(MediaAction::playPause));
    awaitTask(service.perform(MediaAction::next));
    EXPECT_EQ(music.calls(), (QStringList{u"PlayPause"_s, u"Next"_s}));
    EXPECT_TRUE(tab.calls().isEmpty());

    // Once the shown player has left, a button reaches no other player.
    players.erase(players.begin());
    awaitTask(service.perform(MediaAction::next));
    EXPECT_TRUE(tab.calls().isEmpty());
    // With the tab on show, it takes them.
    EXPECT_EQ(awaitTask(service.currentItem()).source, u"YouTube"_s);
    awaitTask(service.perform(MediaAction::previous));
    EXPECT_EQ(tab.calls(), QStringList{u"Previous"_s});
}

} // namespace
