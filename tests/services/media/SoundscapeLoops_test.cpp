// The mixer with the loops the build synthesised, played by the GStreamer
// back end into the null sound device.
#include "services/media/SoundscapeAudioManager.h"

#include "EventWait.h"
#include "NullSoundOutput.h"
#include "TemporaryHome.h"
#include "platform/media/AudioPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// Where the build puts the loops, seen from the test executable's folder.
QString builtSoundFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../src/"_s + SoundscapeAudioManager::kSoundFolderName);
}

TEST(SoundscapeLoopsTest, TheBuildShipsEveryLoopWithItsLicence)
{
    const QDir folder(builtSoundFolder());
    for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks()) {
        const QFileInfo file(folder.filePath(track.filename));
        EXPECT_TRUE(file.isFile()) << track.filename.toStdString();
        EXPECT_GT(file.size(), 500 * 1024) << track.filename.toStdString();
    }
    EXPECT_TRUE(QFileInfo(folder.filePath(u"LICENSE"_s)).isFile());
}

TEST(SoundscapeLoopsTest, EveryMixPlaysItsLoops)
{
    test::TemporaryHome home;
    test::useNullSoundOutput(home.home());
    SoundscapeAudioManager manager(MediaAudioPlayerFactory::instance(), {builtSoundFolder()});
    for (const SoundscapeMix &mix : manager.mixes()) {
        manager.applyMix(mix);
        ASSERT_EQ(manager.activeTrackIDs().size(), mix.items.size()) << mix.id.toStdString();
        for (const SoundscapeMix::Item &item : mix.items) {
            AudioPlayer *player = manager.player(item.trackID);
            ASSERT_TRUE(player);
            EXPECT_TRUE(test::waitUntil([&] { return player->timeControlStatus() == AudioPlayer::TimeControlStatus::Playing; }))
                << item.trackID.toStdString();
        }
        EXPECT_TRUE(manager.isPlaying());
        EXPECT_FALSE(manager.errorMessage());
    }
    manager.pause();
    EXPECT_FALSE(manager.isPlaying());
    manager.resume();
    EXPECT_TRUE(manager.isPlaying());
    manager.stop();
    EXPECT_FALSE(manager.isPlaying());
}

} // namespace
} // namespace kolu
