#include "platform/media/backend/PulseOutputMute.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "LocalSoundServer.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using kolu::test::awaitTask;

namespace {

// Stands for pactl: answers "muted" and counts the reads and toggles asked of it.
struct CountingMute final : kolu::OutputMute {
    explicit CountingMute(std::pair<int, int> &counts)
        : counts(counts)
    {
    }
    QCoro::Task<bool> isMuted() override { co_return ++counts.first > 0; }
    QCoro::Task<> toggle() override { co_return void(++counts.second); }
    std::pair<int, int> &counts;
};

class PulseOutputMuteTest : public ::testing::Test {
protected:
    std::pair<int, int> fallbackCalls{0, 0};
    std::unique_ptr<kolu::OutputMute> fallback() { return std::make_unique<CountingMute>(fallbackCalls); }
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
    const auto serverSays = [&](const QString &mute) {
        return kolu::test::waitUntil([&] { return server.pactl({u"get-sink-mute"_s, u"@DEFAULT_SINK@"_s}) == mute; });
    };
    awaitTask(mute.toggle());
    EXPECT_FALSE(awaitTask(mute.isMuted()));
    EXPECT_TRUE(serverSays(u"Mute: no"_s));
    awaitTask(mute.toggle());
    EXPECT_TRUE(serverSays(u"Mute: yes"_s));
    EXPECT_EQ(fallbackCalls, std::pair(0, 0));

    // The server goes: reads say "not muted" without asking the fallback,
    // which would find no server either; a toggle still tries it.
    server.stop();
    EXPECT_TRUE(kolu::test::waitUntil([&] { return !mute.isFollowing(); }));
    EXPECT_FALSE(awaitTask(mute.isMuted()));
    EXPECT_FALSE(awaitTask(mute.isMuted()));
    awaitTask(mute.toggle());
    EXPECT_EQ(fallbackCalls, std::pair(0, 1));
}

// Each refresh reads the mute: with no server, none of them may cost a child process.
TEST_F(PulseOutputMuteTest, WithoutAServerReadsSayNotMutedAndAskNoFallback)
{
    QTemporaryDir nowhere;
    kolu::PulseOutputMute mute(fallback(), "unix:" + nowhere.filePath(u"missing"_s).toUtf8());
    for (int read = 0; read < 3; ++read)
        EXPECT_FALSE(awaitTask(mute.isMuted()));
    awaitTask(mute.toggle());
    EXPECT_EQ(fallbackCalls, std::pair(0, 1));
    EXPECT_FALSE(mute.isFollowing());
}

} // namespace
