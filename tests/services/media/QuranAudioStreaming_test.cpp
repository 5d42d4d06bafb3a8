// The radio against real HLS streams served from 127.0.0.1, played by the
// GStreamer back end into the null sound device.
#include "services/media/QuranAudioManager.h"

#include "model/UserDefaults.h"
#include "platform/media/AudioPlayer.h"

#include "../ServiceTests.h"
#include "HlsTestStream.h"
#include "NullSoundOutput.h"

namespace kolu {
namespace {

class QuranAudioStreamingTest : public ::testing::Test {
protected:
    QuranAudioStreamingTest()
        : defaults(home.configHome() + u"/Kolu/defaults.json"_s)
    {
        test::useNullSoundOutput(home.home());
    }

    std::unique_ptr<QuranAudioManager> makeManager(QUrl first, QList<QUrl> fallbacks = {})
    {
        QuranRadioStation station = QuranAudioManager::bahrainStation();
        station.streamURL = std::move(first);
        station.fallbackStreamURLs = std::move(fallbacks);
        return std::make_unique<QuranAudioManager>(defaults, MediaAudioPlayerFactory::instance(), clock, station);
    }

    static bool waitForStatus(QuranAudioManager &manager, const QuranPlayerStatus &wanted,
                              std::chrono::milliseconds limit = std::chrono::seconds(30))
    {
        return test::waitUntil([&] { return manager.status() == wanted; }, limit);
    }

    test::TemporaryHome home;
    UserDefaults defaults;
    test::ManualClock clock; // the start check and watchdog stay out of these tests
    test::HlsTestStream stream;
};

TEST_F(QuranAudioStreamingTest, AGoodStreamReachesPlayingAndItsDeathIsNoticed)
{
    auto manager = makeManager(stream.playlistURL());
    manager->togglePlayPause();
    ASSERT_TRUE(waitForStatus(*manager, QuranPlayerStatus::playing()));
    EXPECT_TRUE(std::ranges::any_of(stream.server.requests(),
                                    [](const test::RecordedRequest &r) { return r.path.endsWith(u".ts"_s); }));
    stream.dead = true;
    ASSERT_TRUE(waitForStatus(*manager, QuranPlayerStatus::networkUnavailable(), std::chrono::seconds(60)));
    EXPECT_EQ(manager->player()->itemStatus(), AudioPlayer::ItemStatus::Failed);
}

// The back end's failure on a dead address moves the radio on to the next.
TEST_F(QuranAudioStreamingTest, ADeadFirstAddressFallsBackToTheNext)
{
    auto manager = makeManager(stream.deadURL(u"first"_s), {stream.playlistURL()});
    manager->togglePlayPause();
    ASSERT_TRUE(waitForStatus(*manager, QuranPlayerStatus::playing()));
    EXPECT_EQ(stream.server.requests().first().path, u"/nothing/first.m3u8"_s);
}

} // namespace
} // namespace kolu
