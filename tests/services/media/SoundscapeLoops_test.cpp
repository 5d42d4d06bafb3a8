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
#include <QProcess>
#include <QTemporaryDir>

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

// The decoded samples of an audio file, as ffmpeg gives them.
QByteArray decoded(const QString &file)
{
    QProcess ffmpeg;
    ffmpeg.start(u"ffmpeg"_s, {u"-nostdin"_s, u"-loglevel"_s, u"error"_s, u"-i"_s, file, u"-f"_s, u"s16le"_s, u"-"_s});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return {};
    return ffmpeg.readAllStandardOutput();
}

TEST(SoundscapeLoopsTest, AnotherSynthesisGivesTheSameAudio)
{
    // The loops are made by a script with random choices and noise; every
    // build must make the same sound.
    QTemporaryDir again;
    QProcess script;
    script.start(u"bash"_s, {QDir::cleanPath(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../scripts/make-soundscapes.sh")), again.path()});
    ASSERT_TRUE(script.waitForFinished(100000));
    ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks()) {
        const QByteArray built = decoded(QDir(builtSoundFolder()).filePath(track.filename));
        EXPECT_FALSE(built.isEmpty()) << track.filename.toStdString();
        EXPECT_TRUE(built == decoded(QDir(again.path()).filePath(track.filename))) << track.filename.toStdString();
    }
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
