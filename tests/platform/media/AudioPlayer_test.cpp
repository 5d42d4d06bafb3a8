// The GStreamer-backed player, on local files, into the null sound device.
#include "platform/media/AudioPlayer.h"
#include "platform/media/backend/MediaAudioPlayer.h"

#include "model/AtomicFile.h"
#include "platform/media/backend/SoundEffectPlayer.h"

#include "EventWait.h"
#include "ManualClock.h"
#include "NullSoundOutput.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace kolu {
namespace {

using Item = AudioPlayer::ItemStatus;
using Time = AudioPlayer::TimeControlStatus;
using test::waitUntil;
constexpr std::chrono::seconds kBackEndLimit{20};

class AudioPlayerTest : public ::testing::Test {
protected:
    AudioPlayerTest() { test::useNullSoundOutput(home.home()); }

    QString makeTone(const QString &name)
    {
        const QString path = folder.filePath(name);
        QProcess sox;
        sox.start(QStandardPaths::findExecutable(u"sox"_s), {u"-q"_s, u"-n"_s, u"-r"_s, u"44100"_s, u"-c"_s, u"2"_s,
                                                             path, u"synth"_s, u"1.5"_s, u"sine"_s, u"440"_s});
        EXPECT_TRUE(sox.waitForFinished(30000));
        EXPECT_EQ(sox.exitCode(), 0);
        return path;
    }
    // Bytes no decoder takes.
    QString makeJunk(const QString &name)
    {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(writeFileAtomically(path, QByteArray(4096, 'x')));
        return path;
    }

    test::TemporaryHome home;
    QTemporaryDir folder;
    test::ManualClock clock;
    MediaAudioPlayerFactory &factory = MediaAudioPlayerFactory::instance();
};

TEST_F(AudioPlayerTest, AnUnreadableFileGivesNoPlayerAndOneThatIsNoAudioFailsOnce)
{
    EXPECT_EQ(factory.create(QUrl::fromLocalFile(folder.filePath(u"absent.mp3"_s)), true), nullptr);
    const QString junk = makeJunk(u"junk.mp3"_s);
    // A stream, and a loop (played by its own pipeline).
    for (const bool loops : {false, true}) {
        auto player = factory.create(QUrl::fromLocalFile(junk), loops);
        ASSERT_TRUE(player);
        int failures = 0;
        QObject::connect(player.get(), &AudioPlayer::itemStatusChanged, [&] {
            if (player->itemStatus() == Item::Failed)
                ++failures;
        });
        player->play();
        ASSERT_TRUE(waitUntil([&] { return player->itemStatus() == Item::Failed; }, kBackEndLimit)) << loops;
        EXPECT_FALSE(player->errorString().isEmpty());
        EXPECT_EQ(player->timeControlStatus(), Time::Paused);
        player->play(); // a failed player stays failed
        waitUntil([] { return false; }, std::chrono::milliseconds(200));
        EXPECT_EQ(failures, 1) << loops;
        EXPECT_FALSE(player->isPlaying());
    }
}

TEST_F(AudioPlayerTest, LoopsOrStopsAtTheEndPausesAndClampsItsVolume)
{
    const QString tone = makeTone(u"tone.wav"_s);
    auto looping = factory.create(QUrl::fromLocalFile(tone), true);
    auto once = factory.create(QUrl::fromLocalFile(tone), false);
    ASSERT_TRUE(looping && once);
    looping->setVolume(1.7);
    EXPECT_DOUBLE_EQ(looping->volume(), 1.0);

    looping->play();
    once->play();
    EXPECT_TRUE(looping->isPlaying());
    ASSERT_TRUE(waitUntil(
        [&] { return looping->timeControlStatus() == Time::Playing && once->timeControlStatus() == Time::Playing; },
        kBackEndLimit));
    EXPECT_EQ(looping->itemStatus(), Item::ReadyToPlay);

    // The 1.5 s tone without looping stops at its end; the looping one is
    // still playing a second after that.
    ASSERT_TRUE(waitUntil([&] { return once->timeControlStatus() == Time::Paused; }, kBackEndLimit));
    EXPECT_FALSE(once->isPlaying());
    EXPECT_EQ(once->itemStatus(), Item::ReadyToPlay);
    waitUntil([] { return false; }, std::chrono::milliseconds(1000));
    EXPECT_TRUE(looping->isPlaying());
    EXPECT_EQ(looping->timeControlStatus(), Time::Playing);

    looping->pause();
    EXPECT_FALSE(looping->isPlaying());
    EXPECT_EQ(looping->timeControlStatus(), Time::Paused);
}

TEST_F(AudioPlayerTest, AnEffectIsKeptUntilItEndsOrItsLengthAndAPauseHavePassed)
{
    int beeps = 0;
    SoundEffectPlayer player(clock, [&] { ++beeps; });
    player.play(makeTone(u"tone.wav"_s), 0.5F);
    player.play(makeJunk(u"junk.wav"_s), 0.5F);
    EXPECT_EQ(player.retainedSoundCount(), 2);
    // The tone plays out into the null device and the junk fails; the manual
    // clock never reaches either sound's time.
    EXPECT_TRUE(waitUntil([&] { return player.retainedSoundCount() == 0; }, kBackEndLimit));

    // A silent sound's time is its length and a pause, read from its header.
    const QString path = QDir(home.runtimeDir()).filePath(u"Kolu-digital-alert.wav"_s);
    // A 44-byte header and 1.35 s of 16-bit mono samples at 44100 Hz.
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(44 + 2 * 59535, '\0')));
    EXPECT_EQ(SoundEffectPlayer::retentionFor(path), 1750ms);
    EXPECT_EQ(SoundEffectPlayer::retentionFor(QDir(home.runtimeDir()).filePath(u"none.wav"_s)), 4000ms);
    player.play(path, 0.62F);
    player.play(path, 0.52F);
    EXPECT_EQ(player.retainedSoundCount(), 2);
    clock.advance(1749ms); // (one that cannot play may go early, from the event loop)
    clock.advance(1ms);
    EXPECT_EQ(player.retainedSoundCount(), 0);

    player.beep();
    EXPECT_EQ(beeps, 1);
    SoundEffectPlayer quiet(clock);
    quiet.beep();
}

} // namespace
} // namespace kolu
