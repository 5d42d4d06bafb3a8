#include "platform/media/Mpris.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "FakeMprisPlayer.h"
#include "ManualClock.h"
#include "PrivateBus.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using kolu::MprisClient;
using kolu::MprisCommand;
using kolu::MprisPlayer;
using kolu::test::FakeMprisPlayer;

namespace {

class MprisClientTest : public ::testing::Test {
protected:
    kolu::test::PrivateBus bus;
    kolu::test::ManualClock clock;
    MprisClient client{bus.connect(u"client"_s), clock};
};

TEST_F(MprisClientTest, ListsOnlyPlayersInNameOrderAndCommandsReachTheNamedPlayerOnly)
{
    FakeMprisPlayer vlc(bus.connect(u"vlc"_s), u"vlc"_s);
    FakeMprisPlayer chromium(bus.connect(u"chromium"_s), u"chromium.instance42"_s);
    QDBusConnection other = bus.connect(u"other"_s);
    ASSERT_TRUE(other.registerService(u"org.kolu.NotAPlayer"_s));

    EXPECT_EQ(kolu::test::awaitTask(client.playerNames()),
              (QStringList{u"org.mpris.MediaPlayer2.chromium.instance42"_s, u"org.mpris.MediaPlayer2.vlc"_s}));

    for (const MprisCommand command : {MprisCommand::playPause, MprisCommand::next, MprisCommand::previous})
        EXPECT_TRUE(kolu::test::awaitTask(client.send(vlc.busName(), command)));
    EXPECT_EQ(vlc.calls(), (QStringList{u"PlayPause"_s, u"Next"_s, u"Previous"_s}));
    EXPECT_TRUE(chromium.calls().isEmpty());
}

TEST_F(MprisClientTest, ReadsIdentityStatusAndMetadata)
{
    FakeMprisPlayer player(bus.connect(u"player"_s), u"rhythmbox"_s);
    player.identity = u"Rhythmbox"_s;
    player.desktopEntry = u"org.gnome.Rhythmbox3"_s;
    player.playbackStatus = u"Playing"_s;
    player.title = u"Blue in Green"_s;
    player.artists = {u"Miles Davis"_s, u"Bill Evans"_s};
    player.url = u"file:///music/blue.flac"_s;
    player.artUrl = u"file:///music/cover.jpg"_s;

    const std::optional<MprisPlayer> read = kolu::test::awaitTask(client.readPlayer(player.busName()));
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->isPlaying());
    EXPECT_EQ(std::tuple(read->busName, read->identity, read->desktopEntry, read->title, read->url, read->artUrl),
              std::tuple(u"org.mpris.MediaPlayer2.rhythmbox"_s, u"Rhythmbox"_s, u"org.gnome.Rhythmbox3"_s,
                         u"Blue in Green"_s, u"file:///music/blue.flac"_s, u"file:///music/cover.jpg"_s));
    EXPECT_EQ(read->artists, (QStringList{u"Miles Davis"_s, u"Bill Evans"_s}));

    // Missing values, or values of the wrong type, count as absent.
    FakeMprisPlayer odd(bus.connect(u"odd"_s), u"odd"_s);
    odd.playbackStatus = u"Paused"_s;
    odd.metadataOverrides = {{u"xesam:title"_s, 42}, {u"xesam:artist"_s, u"Solo"_s}, {u"mpris:artUrl"_s, true}};
    const std::optional<MprisPlayer> oddRead = kolu::test::awaitTask(client.readPlayer(odd.busName()));
    ASSERT_TRUE(oddRead.has_value());
    EXPECT_TRUE(oddRead->isPaused());
    EXPECT_TRUE(oddRead->title.isEmpty() && oddRead->artUrl.isEmpty() && oddRead->url.isEmpty());
    EXPECT_EQ(oddRead->artists, QStringList{u"Solo"_s});

    // A gone or unknown name reads as nothing.
    EXPECT_FALSE(kolu::test::awaitTask(client.readPlayer(u"org.mpris.MediaPlayer2.gone"_s)).has_value());
    EXPECT_FALSE(kolu::test::awaitTask(client.send(u"org.mpris.MediaPlayer2.gone"_s, MprisCommand::next)));
}

TEST_F(MprisClientTest, AHungPlayerCostsOneTimeOutAndIsLeftOutAndACommandToItFails)
{
    FakeMprisPlayer hung(bus.connect(u"hung"_s), u"hung"_s);
    hung.silent = true;
    FakeMprisPlayer working(bus.connect(u"working"_s), u"working"_s);
    working.playbackStatus = u"Playing"_s;
    working.title = u"Still here"_s;

    auto probe = kolu::test::startTask(client.readPlayers());
    // Only the hung player's two reads are left waiting.
    ASSERT_TRUE(kolu::test::waitUntil([&] { return hung.messagesReceived() == 2 && clock.activeTimerCount() == 2; }));
    clock.advance(MprisClient::defaultCallTimeout - 1ms);
    QCoreApplication::processEvents();
    EXPECT_FALSE(probe.isDone());
    clock.advance(1ms);

    const QList<MprisPlayer> players = probe.wait();
    ASSERT_EQ(players.size(), 1);
    EXPECT_EQ(players.constFirst().title, u"Still here"_s);

    auto command = kolu::test::startTask(client.send(hung.busName(), MprisCommand::playPause));
    ASSERT_TRUE(kolu::test::waitUntil([&] { return hung.messagesReceived() == 3; }));
    clock.advance(MprisClient::defaultCallTimeout);
    EXPECT_FALSE(command.wait());
}

} // namespace
