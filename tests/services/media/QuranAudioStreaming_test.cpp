// The radio against a real HLS stream served from 127.0.0.1, played by the
// GStreamer back end into the null sound device.
#include "services/media/QuranAudioManager.h"

#include "model/UserDefaults.h"
#include "platform/media/AudioPlayer.h"
#include "platform/media/backend/MediaAudioPlayer.h"

#include "../ServiceTests.h"
#include "HlsTestStream.h"
#include "NullSoundOutput.h"

namespace kolu {
namespace {

// The back end's failure on a dead address moves the radio on to the next;
// a stream that dies while playing is noticed.
TEST(QuranAudioStreamingTest, ADeadFirstAddressFallsBackToAGoodStreamWhoseDeathIsNoticed)
{
    test::TemporaryHome home;
    test::useNullSoundOutput(home.home());
    UserDefaults defaults(home.configHome() + u"/Kolu/defaults.json"_s);
    test::ManualClock clock; // the start check and watchdog stay out of this test
    test::HlsTestStream stream;
    QuranRadioStation station = QuranAudioManager::bahrainStation();
    station.streamURL = stream.deadURL(u"first"_s);
    station.fallbackStreamURLs = {stream.playlistURL()};
    QuranAudioManager manager(defaults, MediaAudioPlayerFactory::instance(), clock, station);
    manager.setNetworkCheck([] { return true; }); // the server is reached: a dead stream is no network fault
    const auto reaches = [&](const QuranPlayerStatus &wanted) {
        return test::waitUntil([&] { return manager.status() == wanted; }, std::chrono::seconds(60));
    };

    manager.togglePlayPause();
    ASSERT_TRUE(reaches(QuranPlayerStatus::playing()));
    EXPECT_EQ(stream.server.requests().first().path, u"/nothing/first.m3u8"_s);
    EXPECT_TRUE(std::ranges::any_of(stream.server.requests(),
                                    [](const test::RecordedRequest &r) { return r.path.endsWith(u".ts"_s); }));
    stream.dead = true;
    ASSERT_TRUE(reaches(QuranPlayerStatus::error(u"The station could not be played. Try again later."_s)));
    EXPECT_EQ(manager.player()->itemStatus(), AudioPlayer::ItemStatus::Failed);
}

} // namespace
} // namespace kolu
