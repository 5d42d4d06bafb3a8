#include "AppStateFixture.h"

#include "FakeMprisPlayer.h"
#include "services/media/NowPlayingService.h"

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class AppStateNowPlayingTest : public test::AppStateActionsTest {
protected:
    std::unique_ptr<test::FakeMprisPlayer> player;
    std::unique_ptr<AppState> state = makeState();

    void addVlc(const QString &status, const QString &title)
    {
        player = std::make_unique<test::FakeMprisPlayer>(services.bus.connect(u"vlc"_s), u"vlc"_s);
        player->identity = u"VLC media player"_s;
        player->desktopEntry = u"vlc"_s;
        player->playbackStatus = status;
        player->title = title;
    }

    // The mute is read through the sound server's client, once a refresh
    // has a player to show.
    int muteReads() const
    {
        const auto &runs = services.processes->runs();
        return static_cast<int>(std::count_if(runs.begin(), runs.end(), [](const test::RecordedProcess &run) {
            return run.arguments.contains(u"get-sink-mute"_s);
        }));
    }

    // One tick: a second passes and the throttled refresh runs to its end.
    // Returns whether it probed (read the players).
    bool tick(AppState &state)
    {
        clock.advance(std::chrono::seconds(1));
        const QDateTime before = state.nowPlayingService().lastRefresh();
        state.refreshNowPlayingIfNeeded();
        EXPECT_TRUE(test::waitUntil([&] { return !state.isRefreshingNowPlaying(); }));
        return state.nowPlayingService().lastRefresh() != before;
    }

    // The seconds between successive probes over `ticks` ticks.
    std::vector<qint64> probeGaps(AppState &state, int ticks)
    {
        std::vector<QDateTime> at;
        for (int i = 0; i < ticks; ++i) {
            if (tick(state))
                at.push_back(clock.now());
        }
        std::vector<qint64> gaps;
        for (size_t i = 1; i < at.size(); ++i)
            gaps.push_back(at[i - 1].secsTo(at[i]));
        return gaps;
    }
};

} // namespace

TEST_F(AppStateNowPlayingTest, WhileSelectedTheServiceIsProbedEveryTenSeconds)
{
    state->setSelectedModule(RailModule::nowPlaying);
    const auto gaps = probeGaps(*state, 40);
    ASSERT_EQ(gaps.size(), 3u);
    for (const qint64 gap : gaps)
        EXPECT_EQ(gap, 11) << "more than ten seconds, at the first tick after";
    EXPECT_EQ(state->nowPlaying(), idleNowPlayingItem());
}

TEST_F(AppStateNowPlayingTest, IdleProbesComeEveryMinuteUntilSomethingPlays)
{
    ASSERT_NE(state->selectedModule(), RailModule::nowPlaying);
    const auto gaps = probeGaps(*state, 130);
    ASSERT_EQ(gaps.size(), 2u);
    EXPECT_EQ(gaps[0], 61);
    EXPECT_EQ(gaps[1], 61);

    addVlc(u"Playing"_s, u"Film score"_s);
    int sinceLast = 0;
    while (!tick(*state))
        ASSERT_LT(++sinceLast, 70);
    EXPECT_TRUE(state->nowPlaying().isPlaying);
    EXPECT_EQ(state->nowPlaying().title, u"Film score"_s);
    const auto playingGaps = probeGaps(*state, 23);
    ASSERT_EQ(playingGaps.size(), 1u);
    EXPECT_EQ(playingGaps[0], 11);
}

TEST_F(AppStateNowPlayingTest, ANotDueAnswerLeavesTheItemAndTheImmediateRefreshIgnoresTheThrottle)
{
    ASSERT_TRUE(tick(*state));
    const NowPlayingItem shown{u"Kept"_s, u"Artist"_s, u"Source"_s, false, false, std::nullopt};
    state->setNowPlaying(shown);
    EXPECT_FALSE(tick(*state));
    EXPECT_EQ(state->nowPlaying(), shown);

    addVlc(u"Playing"_s, u"Film score"_s);
    state->refreshNowPlaying();
    ASSERT_TRUE(test::waitUntil([&] { return state->nowPlaying().title == u"Film score"_s; }));
    // Nothing played before: only the immediate refresh read the mute.
    EXPECT_EQ(muteReads(), 1);
    EXPECT_FALSE(tick(*state)) << "the immediate path does not move the throttle";
}

TEST_F(AppStateNowPlayingTest, AMediaActionSendsTheCommandThenPublishesTheItem)
{
    addVlc(u"Paused"_s, u"Track one"_s);
    state->mediaAction(MediaAction::next);
    ASSERT_TRUE(test::waitUntil([&] { return state->nowPlaying().title == u"Track one"_s; }));
    EXPECT_EQ(player->calls(), QStringList{u"Next"_s});
}

TEST_F(AppStateNowPlayingTest, AHiddenModuleStartsNothing)
{
    addVlc(u"Playing"_s, u"Film score"_s);
    state->setRailModule(RailModule::nowPlaying, false);
    const int messages = player->messagesReceived();
    state->refreshNowPlaying();
    state->refreshNowPlayingIfNeeded();
    state->mediaAction(MediaAction::playPause);
    EXPECT_FALSE(state->isRefreshingNowPlaying());
    EXPECT_EQ(muteReads(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(player->messagesReceived(), messages);
    EXPECT_EQ(state->nowPlaying(), idleNowPlayingItem());
}

TEST_F(AppStateNowPlayingTest, AnAnswerAfterHidingIsDropped)
{
    addVlc(u"Playing"_s, u"Film score"_s);
    state->refreshNowPlaying();
    state->refreshNowPlayingIfNeeded();
    state->setRailModule(RailModule::nowPlaying, false);
    ASSERT_TRUE(test::waitUntil([&] { return muteReads() == 2; }));
    ASSERT_TRUE(test::waitUntil([&] { return !state->isRefreshingNowPlaying(); }));
    EXPECT_EQ(state->nowPlaying(), idleNowPlayingItem());
}

TEST_F(AppStateNowPlayingTest, HidingDuringAProbeKeepsItsFlagUntilTheProbeEnds)
{
    addVlc(u"Playing"_s, u"Film score"_s);
    services.processes->hold(); // the probe waits for the sound server's answer
    state->refreshNowPlayingIfNeeded();
    ASSERT_TRUE(test::waitUntil([&] { return muteReads() == 1; }));
    state->setRailModule(RailModule::nowPlaying, false);
    state->setRailModule(RailModule::nowPlaying, true);
    EXPECT_TRUE(state->isRefreshingNowPlaying());
    services.processes->release();
    ASSERT_TRUE(test::waitUntil([&] { return !state->isRefreshingNowPlaying(); }));
}
