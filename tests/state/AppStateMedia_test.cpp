#include "AppStateFixture.h"
#include "services/media/NowPlayingService.h"

#include "FakeMprisPlayer.h"

#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"

namespace {

// A state whose ambient sounds have their files, with a player to add.
class AppStateMediaTest : public test::AppStateActionsTest {
protected:
    AppStateMediaTest()
    {
        for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks())
            makeFile(QString(u"soundscapes/"_s + track.filename));
        state = makeState();
    }

    std::unique_ptr<test::FakeMprisPlayer> player;
    std::unique_ptr<AppState> state;

    bool radioOn() const { return state->quranAudioManager().status() != QuranPlayerStatus::idle(); }
    bool ambientOn() const { return !state->soundscapeAudioManager().activeTrackIDs().isEmpty(); }

    void addVlc(const QString &status, const QString &title)
    {
        player = std::make_unique<test::FakeMprisPlayer>(services.bus.connect(u"vlc"_s), u"vlc"_s);
        player->identity = u"VLC media player"_s;
        player->desktopEntry = u"vlc"_s;
        player->playbackStatus = status;
        player->title = title;
    }

    // The mute is read from the sound server once a refresh has a player
    // to show.
    int probes() const
    {
        const auto &runs = services.processes->runs();
        return static_cast<int>(std::count_if(runs.begin(), runs.end(), [](const test::RecordedProcess &run) {
            return run.arguments.contains(u"get-sink-mute"_s);
        }));
    }

    // One tick: a second passes and the throttled refresh runs to its end.
    // Returns whether it probed (read the players).
    bool tick()
    {
        clock.advance(std::chrono::seconds(1));
        const QDateTime before = state->nowPlayingService().lastRefresh();
        state->refreshNowPlayingIfNeeded();
        EXPECT_TRUE(waitUntil([&] { return !state->isRefreshingNowPlaying(); }));
        return state->nowPlayingService().lastRefresh() != before;
    }
};

} // namespace

TEST_F(AppStateMediaTest, ANotDueAnswerLeavesTheItemAndTheImmediateRefreshIgnoresThePace)
{
    ASSERT_TRUE(tick());
    const NowPlayingItem shown{u"Kept"_s, u"Artist"_s, u"Source"_s, false, false, std::nullopt};
    state->setNowPlaying(shown);
    EXPECT_FALSE(tick());
    EXPECT_EQ(state->nowPlaying(), shown);

    addVlc(u"Paused"_s, u"Track one"_s);
    const int probed = probes();
    state->refreshNowPlaying();
    ASSERT_TRUE(waitUntil([&] { return state->nowPlaying().title == u"Track one"_s; }));
    EXPECT_EQ(probes(), probed + 1);
    EXPECT_FALSE(tick()) << "the immediate path does not move the pace";

    // The pace: more than 10 s apart while Now Playing is selected or
    // something plays, more than 60 s otherwise.
    const auto secondsToProbe = [&] {
        for (int second = 1; second <= 90; ++second) {
            if (tick())
                return second;
        }
        return 0;
    };
    state->setSelectedModule(RailModule::links);
    secondsToProbe(); // in step with the pace
    EXPECT_EQ(secondsToProbe(), 61) << "paused, another module selected";
    state->setSelectedModule(RailModule::nowPlaying);
    EXPECT_EQ(secondsToProbe(), 11) << "Now Playing selected";
    state->setSelectedModule(RailModule::links);
    player->playbackStatus = u"Playing"_s;
    EXPECT_EQ(secondsToProbe(), 61) << "the state has not seen it play yet";
    ASSERT_TRUE(state->nowPlaying().isPlaying);
    EXPECT_EQ(secondsToProbe(), 11) << "something plays";
}

TEST_F(AppStateMediaTest, AHiddenModuleStartsNothingAndDropsALateAnswer)
{
    addVlc(u"Playing"_s, u"Film score"_s);
    services.processes->hold(); // the probe waits for the sound server's answer
    state->refreshNowPlayingIfNeeded();
    ASSERT_TRUE(waitUntil([&] { return probes() == 1; }));
    state->setRailModule(RailModule::nowPlaying, false);
    state->setRailModule(RailModule::nowPlaying, true);
    EXPECT_TRUE(state->isRefreshingNowPlaying()) << "the probe keeps its flag until it ends";
    state->setRailModule(RailModule::nowPlaying, false);
    services.processes->release();
    ASSERT_TRUE(waitUntil([&] { return !state->isRefreshingNowPlaying(); }));
    EXPECT_EQ(state->nowPlaying(), idleNowPlayingItem());

    const int messages = player->messagesReceived(), probed = probes();
    state->refreshNowPlaying();
    state->refreshNowPlayingIfNeeded();
    state->mediaAction(MediaAction::playPause);
    EXPECT_FALSE(state->isRefreshingNowPlaying());
    EXPECT_EQ(probes(), probed);
    QCoreApplication::processEvents();
    EXPECT_EQ(player->messagesReceived(), messages);
}

// Every control that starts one source stops the other; pausing or clearing
// one leaves the other alone.
TEST_F(AppStateMediaTest, TheRadioAndTheSoundscapesNeverPlayTogether)
{
    SoundscapeAudioManager &ambient = state->soundscapeAudioManager();
    QuranAudioManager &radio = state->quranAudioManager();
    const SoundscapeTrack track = ambient.tracks().front();

    state->applySoundscapeMix(ambient.mixes().front());
    ASSERT_TRUE(ambientOn());
    state->toggleQuranRadio();
    EXPECT_TRUE(radioOn() && ambientOn()) << "the ambient mix plays on while the station tunes";
    services.audio->last()->report(AudioPlayer::TimeControlStatus::Playing);
    clock.advance(0ms);
    EXPECT_EQ(radio.status(), QuranPlayerStatus::playing());
    EXPECT_FALSE(ambientOn()) << "the radio is heard: the ambient mix gives way";
    state->toggleSoundscape(track);
    EXPECT_TRUE(!radioOn() && ambientOn());

    state->toggleQuranRadio();
    ASSERT_TRUE(radio.selectedStation());
    state->selectQuranStation(*radio.selectedStation()); // plays it at once: the radio is busy
    EXPECT_EQ(radio.status(), QuranPlayerStatus::loading());
    state->applySoundscapeMix(ambient.mixes().back());
    EXPECT_FALSE(radioOn());
    state->stopSoundscapes();
    EXPECT_FALSE(ambientOn());

    // The summary button resumes what was chosen, or opens the module.
    state->toggleSystemAudio();
    EXPECT_EQ(state->selectedModule(), RailModule::nowPlaying);
    state->toggleSoundscape(track);
    state->toggleSystemAudio();
    EXPECT_FALSE(ambient.isPlaying());
    state->toggleSystemAudio();
    EXPECT_TRUE(ambient.isPlaying() && !radioOn());
}

// A station that cannot be heard takes nothing: offline it says so, online
// it says the station did not answer; the ambient mix plays on either way.
TEST_F(AppStateMediaTest, ARadioThatNeverPlaysLeavesTheAmbientMixPlaying)
{
    SoundscapeAudioManager &ambient = state->soundscapeAudioManager();
    QuranAudioManager &radio = state->quranAudioManager();
    state->applySoundscapeMix(ambient.mixes().front());
    for (const bool networkUp : {false, true}) {
        *services.networkUp = networkUp;
        state->toggleQuranRadio();
        ASSERT_EQ(radio.status(), QuranPlayerStatus::loading());
        for (int address = 0; address < 4 && radio.status() == QuranPlayerStatus::loading(); ++address)
            clock.advance(31s); // each address accepts and never sends anything
        EXPECT_EQ(radio.status(), networkUp
                                      ? QuranPlayerStatus::error(u"The station did not answer. Try again later."_s)
                                      : QuranPlayerStatus::networkUnavailable());
        EXPECT_TRUE(ambient.isPlaying() && ambientOn()) << networkUp;
    }
    // While the ambient mix is what plays, the summary button pauses it.
    state->toggleSystemAudio();
    EXPECT_FALSE(ambient.isPlaying());
}
