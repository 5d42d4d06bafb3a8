#include "services/media/SoundscapeAudioManager.h"

#include "../ServiceTests.h"
#include "FakeAudioPlayer.h"

#include <QCoreApplication>

namespace kolu {
namespace {

using Item = AudioPlayer::ItemStatus;

struct SoundscapeAudioManagerTest : ::testing::Test {
    SoundscapeAudioManagerTest()
    {
        for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks())
            EXPECT_TRUE(test::writeFile(folder.filePath(track.filename), "sound"));
        manager = std::make_unique<SoundscapeAudioManager>(factory,
                                                           QStringList{folder.filePath(u"missing"_s), folder.path()});
    }

    SoundscapeTrack track(const QString &id) const
    {
        return *std::ranges::find(manager->tracks(), id, &SoundscapeTrack::id);
    }
    SoundscapeMix mix(const QString &id) const { return *std::ranges::find(manager->mixes(), id, &SoundscapeMix::id); }
    QStringList activeIDs() const { return test::each(manager->activeTracks(), &SoundscapeTrack::id); }
    test::FakeAudioPlayer *playerOf(const QString &id) const
    {
        return static_cast<test::FakeAudioPlayer *>(manager->player(id));
    }

    QTemporaryDir folder;
    test::FakeAudioPlayerFactory factory;
    std::unique_ptr<SoundscapeAudioManager> manager;
};

TEST_F(SoundscapeAudioManagerTest, VolumesMixesAndTogglesActOnTheLivePlayersAndAFileThatFailsIsReportedNeverActive)
{
    const SoundscapeTrack rain = track(u"rain"_s);
    EXPECT_DOUBLE_EQ(manager->volume(SoundscapeTrack{u"wind"_s, {}, {}, {}}), 0.68) << "an unknown track";
    for (const auto &[asked, kept] : {std::pair(1.3, 1.0), std::pair(-1.0, 0.0)}) {
        manager->setVolume(asked, rain);
        EXPECT_DOUBLE_EQ(manager->volume(rain), kept);
    }
    manager->play(rain);
    EXPECT_TRUE(playerOf(u"rain"_s)->loops);
    manager->setVolume(0.9, rain);
    EXPECT_DOUBLE_EQ(playerOf(u"rain"_s)->currentVolume, 0.9);
    // Nothing is remembered: a new manager starts from the defaults.
    EXPECT_DOUBLE_EQ(SoundscapeAudioManager(factory, {folder.path()}).volume(rain), 0.58);

    // A mix replaces what plays; a pause keeps its players.
    manager->play(track(u"rain"_s));
    manager->applyMix(mix(u"calm"_s));
    EXPECT_EQ(activeIDs(), (QStringList{u"ocean"_s, u"forest"_s}));
    EXPECT_FALSE(manager->player(u"rain"_s));
    EXPECT_EQ(manager->currentTrack(), track(u"forest"_s));
    EXPECT_TRUE(manager->isPlaying());
    // A pause and a resume keep the same players.
    const qsizetype made = factory.requested.size();
    manager->pause();
    EXPECT_FALSE(manager->isPlaying() || playerOf(u"ocean"_s)->playRequested);
    manager->resume();
    EXPECT_TRUE(playerOf(u"ocean"_s)->playRequested);
    EXPECT_EQ(factory.requested.size(), made);
    manager->stop();
    manager->resume();
    EXPECT_FALSE(manager->isPlaying());

    manager->toggle(track(u"stream"_s));
    manager->toggle(track(u"ocean"_s));
    manager->toggle(track(u"rain"_s));
    ASSERT_EQ(manager->currentTrack(), track(u"rain"_s));
    manager->toggle(track(u"rain"_s));
    EXPECT_EQ(manager->currentTrack(), track(u"stream"_s));
    EXPECT_EQ(activeIDs(), (QStringList{u"ocean"_s, u"stream"_s}));
    EXPECT_TRUE(manager->isPlaying());

    manager->toggle(track(u"ocean"_s));
    manager->toggle(track(u"stream"_s));
    EXPECT_FALSE(manager->currentTrack() || manager->isPlaying() || factory.liveCount());

    // A missing, unopenable or undecodable file is reported, never becomes active, nor stops a mix.
    QFile::remove(folder.filePath(u"03_Rain.flac"_s));
    manager->play(track(u"rain"_s));
    EXPECT_EQ(manager->errorMessage(), u"Sound file missing."_s);
    EXPECT_TRUE(!manager->currentTrack() && manager->activeTrackIDs().isEmpty());

    // With another track playing, the failed one is left as the current one.
    manager->play(track(u"ocean"_s));
    EXPECT_FALSE(manager->errorMessage());
    manager->play(track(u"rain"_s));
    EXPECT_EQ(manager->currentTrack(), track(u"rain"_s));
    EXPECT_EQ(activeIDs(), QStringList{u"ocean"_s});
    EXPECT_TRUE(manager->isPlaying());
    // Stopping one track keeps the error line; toggling clears it.
    manager->stop(track(u"forest"_s));
    EXPECT_TRUE(manager->errorMessage());
    manager->toggle(track(u"forest"_s));
    EXPECT_FALSE(manager->errorMessage());

    // A mix with a missing or unknown track still plays the others.
    const SoundscapeMix odd{u"odd"_s, u"Odd"_s, u"scope"_s, {{u"wind"_s, 0.5}, {u"rain"_s, 0.3}, {u"stream"_s, 0.3}}};
    manager->applyMix(odd);
    EXPECT_EQ(activeIDs(), QStringList{u"stream"_s});
    EXPECT_FALSE(manager->errorMessage()); // cleared by the later item

    manager->stop();
    factory.unopenable.insert(QUrl::fromLocalFile(folder.filePath(u"01_Ocean.flac"_s)));
    manager->play(track(u"ocean"_s));
    EXPECT_EQ(manager->errorMessage(), u"Kolu could not play this sound."_s);
    EXPECT_TRUE(manager->activeTrackIDs().isEmpty());

    manager->play(track(u"stream"_s));
    manager->play(track(u"forest"_s));
    playerOf(u"forest"_s)->report(Item::Failed);
    QCoreApplication::processEvents();
    EXPECT_EQ(manager->errorMessage(), u"Kolu could not play this sound."_s);
    EXPECT_EQ(activeIDs(), QStringList{u"stream"_s});
    EXPECT_EQ(manager->currentTrack(), track(u"stream"_s));
    EXPECT_TRUE(!manager->player(u"forest"_s) && manager->isPlaying());
}

} // namespace
} // namespace kolu
