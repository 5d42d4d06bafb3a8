// The media module, loaded from the build as the program loads it.
#include "platform/media/MediaModule.h"

#include "EventWait.h"
#include "ManualClock.h"
#include "NullSoundOutput.h"
#include "TemporaryHome.h"
#include "model/AtomicFile.h"
#include "platform/media/AudioPlayer.h"
#include "platform/media/OutputMute.h"
#include "platform/media/SoundPlayer.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

class CountingMute final : public OutputMute {
public:
    QCoro::Task<bool> isMuted() override { co_return ++reads > 0; }
    QCoro::Task<> toggle() override { co_return; }
    int reads = 0;
};

// Every symbol the module takes from the program is exported, and each
// service it makes works behind the interface the state uses. One case: the
// module loads once per process.
TEST(MediaModuleTest, LoadsOnFirstUseAndServesSoundsStreamsAndTheMute)
{
    test::TemporaryHome home;
    test::useNullSoundOutput(home.home());
    test::ManualClock clock;
    int beeps = 0;
    auto sounds = MediaModule::makeSoundPlayer(clock, [&] { ++beeps; });
    auto players = MediaModule::makeAudioPlayers();
    auto fallback = std::make_unique<CountingMute>();
    CountingMute *fallbackSeen = fallback.get();
    auto mute = MediaModule::makeOutputMute(std::move(fallback));
    // Making the services and beeping load nothing (unless an earlier case
    // in this process loaded the module already).
    const bool loadedBefore = MediaModule::isLoaded();
    sounds->beep();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(MediaModule::isLoaded(), loadedBefore);

    QTemporaryDir folder;
    const QString junk = folder.filePath(u"junk.mp3"_s);
    ASSERT_TRUE(writeFileAtomically(junk, QByteArray(4096, 'x')));
    std::unique_ptr<AudioPlayer> player = players->create(QUrl::fromLocalFile(junk), false);
    ASSERT_TRUE(MediaModule::isLoaded()) << "the module did not load";
    ASSERT_NE(player, nullptr);
    // The module's player signals through the program's own base class.
    int failures = 0;
    QObject::connect(player.get(), &AudioPlayer::itemStatusChanged, [&] {
        if (player->itemStatus() == AudioPlayer::ItemStatus::Failed)
            ++failures;
    });
    player->play();
    EXPECT_TRUE(test::waitUntil([&] { return failures == 1; }, std::chrono::seconds(20)));

    // A sound from the module, not the beep.
    sounds->play(junk, 0.5F);
    EXPECT_EQ(beeps, 1);

    // No sound server here: the connection fails, and the read says "not
    // muted" without asking the fallback (a child process per read), which
    // would find no server either.
    bool muted = false;
    bool answered = false;
    auto read = [&]() -> QCoro::Task<> {
        muted = co_await mute->isMuted();
        answered = true;
    };
    auto task = read();
    EXPECT_TRUE(test::waitUntil([&] { return answered; }, std::chrono::seconds(20)));
    EXPECT_FALSE(muted);
    EXPECT_EQ(fallbackSeen->reads, 0);
}

} // namespace
} // namespace kolu
