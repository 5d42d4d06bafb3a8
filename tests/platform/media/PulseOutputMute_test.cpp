#include "platform/media/backend/PulseOutputMute.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "LocalSoundServer.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using kolu::test::awaitTask;

namespace {

// Stands for pactl: answers a fixed state and counts what it is asked.
struct CountingMute final : kolu::OutputMute {
    int *reads;
    int *toggles;
    CountingMute(int *reads, int *toggles)
        : reads(reads)
        , toggles(toggles)
    {
    }
    QCoro::Task<bool> isMuted() override
    {
        ++*reads;
        co_return true;
    }
    QCoro::Task<> toggle() override
    {
        ++*toggles;
        co_return;
    }
};

class PulseOutputMuteTest : public ::testing::Test {
protected:
    int fallbackReads = 0;
    int fallbackToggles = 0;

    std::unique_ptr<kolu::OutputMute> fallback()
    {
        return std::make_unique<CountingMute>(&fallbackReads, &fallbackToggles);
    }
};

TEST_F(PulseOutputMuteTest, FollowsAndTogglesTheDefaultSinkWithoutAChildProcess)
{
    kolu::test::LocalSoundServer server;
    if (!server.isRunning())
        GTEST_SKIP() << "no PulseAudio daemon to test against";
    kolu::PulseOutputMute mute(fallback(), server.address());

    EXPECT_FALSE(awaitTask(mute.isMuted()));
    EXPECT_TRUE(mute.isFollowing());

    // Muted elsewhere (a volume applet, a key): the next read knows.
    server.pactl({u"set-sink-mute"_s, u"@DEFAULT_SINK@"_s, u"1"_s});
    EXPECT_TRUE(kolu::test::waitUntil([&] { return awaitTask(mute.isMuted()); }));

    // A toggle counts at once and reaches the server.
    awaitTask(mute.toggle());
    EXPECT_FALSE(awaitTask(mute.isMuted()));
    EXPECT_TRUE(kolu::test::waitUntil([&] {
        return server.pactl({u"get-sink-mute"_s, u"@DEFAULT_SINK@"_s}) == u"Mute: no"_s;
    }));
    awaitTask(mute.toggle());
    EXPECT_TRUE(kolu::test::waitUntil([&] {
        return server.pactl({u"get-sink-mute"_s, u"@DEFAULT_SINK@"_s}) == u"Mute: yes"_s;
    }));
    EXPECT_EQ(fallbackReads + fallbackToggles, 0);

    // The server goes: the fallback answers from then on.
    server.stop();
    EXPECT_TRUE(kolu::test::waitUntil([&] { return !mute.isFollowing(); }));
    EXPECT_TRUE(awaitTask(mute.isMuted()));
    awaitTask(mute.toggle());
    EXPECT_EQ(fallbackReads, 1);
    EXPECT_EQ(fallbackToggles, 1);
}

TEST_F(PulseOutputMuteTest, WithoutAServerTheFallbackAnswers)
{
    QTemporaryDir nowhere;
    kolu::PulseOutputMute mute(fallback(), "unix:" + nowhere.filePath(u"missing"_s).toUtf8());
    EXPECT_TRUE(awaitTask(mute.isMuted()));
    awaitTask(mute.toggle());
    EXPECT_EQ(fallbackReads, 1);
    EXPECT_EQ(fallbackToggles, 1);
    EXPECT_FALSE(mute.isFollowing());
}

} // namespace
