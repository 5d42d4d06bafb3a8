#include "AppStateFixture.h"

#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class AppStateAudioTest : public test::AppStateActionsTest {
protected:
    AppStateAudioTest()
    {
        for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks())
            makeFile(QString(u"soundscapes/"_s + track.filename));
        state = makeState();
    }

    bool radioOn() const { return state->quranAudioManager().status() != QuranPlayerStatus::idle(); }
    bool ambientOn() const { return !state->soundscapeAudioManager().activeTrackIDs().isEmpty(); }

    std::unique_ptr<AppState> state;
};

} // namespace

// Every control that starts one source stops the other; pausing or clearing
// one leaves the other alone.
TEST_F(AppStateAudioTest, TheRadioAndTheSoundscapesNeverPlayTogether)
{
    SoundscapeAudioManager &ambient = state->soundscapeAudioManager();
    QuranAudioManager &radio = state->quranAudioManager();
    const SoundscapeTrack track = ambient.tracks().front();

    state->applySoundscapeMix(ambient.mixes().front());
    ASSERT_TRUE(ambientOn());
    state->toggleQuranRadio();
    EXPECT_TRUE(radioOn());
    EXPECT_FALSE(ambientOn());

    state->toggleSoundscape(track);
    EXPECT_FALSE(radioOn());
    EXPECT_TRUE(ambientOn());

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
    EXPECT_TRUE(ambient.isPlaying());
    EXPECT_FALSE(radioOn());
}
