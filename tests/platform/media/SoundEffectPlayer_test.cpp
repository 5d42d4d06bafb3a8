#include "platform/media/SoundEffectPlayer.h"

#include "model/AtomicFile.h"

#include "ManualClock.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace kolu;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

TEST(SoundEffectPlayer, KeepsEachSoundUntilItsLengthAndAPauseHavePassed)
{
    test::TemporaryHome home;
    const QString path = QDir(home.runtimeDir()).filePath(u"Kolu-digital-alert.wav"_s);
    // A 44-byte header and 1.35 s of 16-bit mono samples at 44100 Hz.
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(44 + 2 * 59535, '\0')));
    EXPECT_EQ(SoundEffectPlayer::retentionFor(path), 1750ms);
    EXPECT_EQ(SoundEffectPlayer::retentionFor(QDir(home.runtimeDir()).filePath(u"none.wav"_s)), 4000ms);

    test::ManualClock clock;
    int beeps = 0;
    SoundEffectPlayer player(clock, [&] { ++beeps; });
    player.play(path, 0.62F);
    player.play(path, 0.52F);
    EXPECT_EQ(player.retainedSoundCount(), 2);
    clock.advance(1749ms);
    // With no audio device a sound may fail to load and go early; it never
    // stays longer than its time.
    EXPECT_LE(player.retainedSoundCount(), 2);
    clock.advance(1ms);
    EXPECT_EQ(player.retainedSoundCount(), 0);

    player.beep();
    EXPECT_EQ(beeps, 1);
    SoundEffectPlayer quiet(clock);
    quiet.beep();
}

} // namespace
