// The radio against real HLS streams served from 127.0.0.1, played by the
// GStreamer back end into the null sound device.
#include "services/media/QuranAudioManager.h"

#include "EventWait.h"
#include "HlsTestStream.h"
#include "NullSoundOutput.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "model/UserDefaults.h"
#include "platform/media/AudioPlayer.h"
#include "platform/media/backend/MediaAudioPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

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

TEST_F(QuranAudioStreamingTest, AGoodStreamReachesPlaying)
{
    auto manager = makeManager(stream.playlistURL());
    manager->togglePlayPause();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
    ASSERT_TRUE(waitForStatus(*manager, QuranPlayerStatus::playing()));
    EXPECT_EQ(manager->player()->itemStatus(), AudioPlayer::ItemStatus::ReadyToPlay);
    EXPECT_TRUE(std::any_of(stream.server.requests().begin(), stream.server.requests().end(),
                            [](const test::RecordedRequest &r) { return r.path.endsWith(u".ts"_s); }));

    manager->togglePlayPause();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::paused());
    manager->stop();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::idle());
}

TEST_F(QuranAudioStreamingTest, ADeadFirstAddressFallsBackToTheNext)
{
    auto manager = makeManager(stream.deadURL(u"first"_s), {stream.playlistURL()});
    manager->togglePlayPause();
    ASSERT_TRUE(waitForStatus(*manager, QuranPlayerStatus::playing()));
    const auto &requests = stream.server.requests();
    ASSERT_FALSE(requests.isEmpty());
    EXPECT_EQ(requests.first().path, u"/nothing/first.m3u8"_s);
    EXPECT_TRUE(std::any_of(requests.begin(), requests.end(),
                            [](const test::RecordedRequest &r) { return r.path == u"/live/playlist.m3u8"_s; }));
}

TEST_F(QuranAudioStreamingTest, EveryAddressDeadGivesNetworkUnavailable)
{
    auto manager = makeManager(stream.deadURL(u"first"_s), {stream.deadURL(u"second"_s)});
    manager->togglePlayPause();
    ASSERT_TRUE(waitForStatus(*manager, QuranPlayerStatus::networkUnavailable()));
    // Later reports of the dead players change nothing.
    EXPECT_FALSE(test::waitUntil([&] { return manager->status() != QuranPlayerStatus::networkUnavailable(); },
                                 std::chrono::milliseconds(300)));
}

TEST_F(QuranAudioStreamingTest, AStreamThatDiesWhilePlayingIsNoticed)
{
    auto manager = makeManager(stream.playlistURL());
    manager->togglePlayPause();
    ASSERT_TRUE(waitForStatus(*manager, QuranPlayerStatus::playing()));
    stream.dead = true;
    ASSERT_TRUE(waitForStatus(*manager, QuranPlayerStatus::networkUnavailable(), std::chrono::seconds(60)));
    EXPECT_EQ(manager->player()->itemStatus(), AudioPlayer::ItemStatus::Failed);
}

} // namespace
} // namespace kolu
