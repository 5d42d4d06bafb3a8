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

TEST_F(MprisClientTest, ListsOnlyPlayersInNameOrder)
{
    FakeMprisPlayer vlc(bus.connect(u"vlc"_s), u"vlc"_s);
    FakeMprisPlayer chromium(bus.connect(u"chromium"_s), u"chromium.instance42"_s);
    QDBusConnection other = bus.connect(u"other"_s);
    ASSERT_TRUE(other.registerService(u"org.kolu.NotAPlayer"_s));

    const QStringList names = kolu::test::awaitTask(client.playerNames());
    EXPECT_EQ(names, (QStringList{u"org.mpris.MediaPlayer2.chromium.instance42"_s, u"org.mpris.MediaPlayer2.vlc"_s}));
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
    EXPECT_EQ(read->busName, u"org.mpris.MediaPlayer2.rhythmbox"_s);
    EXPECT_EQ(read->identity, u"Rhythmbox"_s);
    EXPECT_EQ(read->desktopEntry, u"org.gnome.Rhythmbox3"_s);
    EXPECT_TRUE(read->isPlaying());
    EXPECT_EQ(read->title, u"Blue in Green"_s);
    EXPECT_EQ(read->artists, (QStringList{u"Miles Davis"_s, u"Bill Evans"_s}));
    EXPECT_EQ(read->url, u"file:///music/blue.flac"_s);
    EXPECT_EQ(read->artUrl, u"file:///music/cover.jpg"_s);
}

TEST_F(MprisClientTest, MissingValuesOrValuesOfTheWrongTypeCountAsAbsent)
{
    FakeMprisPlayer player(bus.connect(u"player"_s), u"odd"_s);
    player.playbackStatus = u"Paused"_s;
    player.metadataOverrides = {{u"xesam:title"_s, 42}, {u"xesam:artist"_s, u"Solo"_s}, {u"mpris:artUrl"_s, true}};

    const std::optional<MprisPlayer> read = kolu::test::awaitTask(client.readPlayer(player.busName()));
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->isPaused());
    EXPECT_TRUE(read->title.isEmpty());
    EXPECT_EQ(read->artists, QStringList{u"Solo"_s});
    EXPECT_TRUE(read->artUrl.isEmpty());
    EXPECT_TRUE(read->url.isEmpty());
}

TEST_F(MprisClientTest, AGoneOrUnknownNameReadsAsNothing)
{
    EXPECT_FALSE(kolu::test::awaitTask(client.readPlayer(u"org.mpris.MediaPlayer2.gone"_s)).has_value());
    EXPECT_FALSE(kolu::test::awaitTask(client.send(u"org.mpris.MediaPlayer2.gone"_s, MprisCommand::next)));
}

TEST_F(MprisClientTest, CommandsReachTheNamedPlayerOnly)
{
    FakeMprisPlayer first(bus.connect(u"first"_s), u"first"_s);
    FakeMprisPlayer second(bus.connect(u"second"_s), u"second"_s);

    EXPECT_TRUE(kolu::test::awaitTask(client.send(first.busName(), MprisCommand::playPause)));
    EXPECT_TRUE(kolu::test::awaitTask(client.send(first.busName(), MprisCommand::next)));
    EXPECT_TRUE(kolu::test::awaitTask(client.send(first.busName(), MprisCommand::previous)));
    EXPECT_EQ(first.calls(), (QStringList{u"PlayPause"_s, u"Next"_s, u"Previous"_s}));
    EXPECT_TRUE(second.calls().isEmpty());
}

TEST_F(MprisClientTest, AHungPlayerCostsOneTimeOutAndIsLeftOut)
{
    FakeMprisPlayer hung(bus.connect(u"hung"_s), u"hung"_s);
    hung.silent = true;
    FakeMprisPlayer working(bus.connect(u"working"_s), u"working"_s);
    working.playbackStatus = u"Playing"_s;
    working.title = u"Still here"_s;

    auto probe = kolu::test::startTask(client.readPlayers());
    // Only the hung player's two reads are left waiting.
    ASSERT_TRUE(kolu::test::waitUntil([&] { return hung.messagesReceived() == 2 && clock.activeTimerCount() == 2; }));
    EXPECT_FALSE(probe.isDone());
    clock.advance(MprisClient::defaultCallTimeout - 1ms);
    QCoreApplication::processEvents();
    EXPECT_FALSE(probe.isDone());
    clock.advance(1ms);

    const QList<MprisPlayer> players = probe.wait();
    ASSERT_EQ(players.size(), 1);
    EXPECT_EQ(players.constFirst().title, u"Still here"_s);
}

TEST_F(MprisClientTest, ACommandToAHungPlayerFailsAfterTheTimeOut)
{
    FakeMprisPlayer hung(bus.connect(u"hung"_s), u"hung"_s);
    hung.silent = true;

    auto probe = kolu::test::startTask(client.send(hung.busName(), MprisCommand::playPause));
    ASSERT_TRUE(kolu::test::waitUntil([&] { return hung.messagesReceived() == 1; }));
    clock.advance(MprisClient::defaultCallTimeout);
    EXPECT_FALSE(probe.wait());
}

} // namespace
