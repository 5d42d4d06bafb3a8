// The media module, loaded from the build as the program loads it.
#include "platform/media/MediaModule.h"

#include "EventWait.h"
#include "ManualClock.h"
#include "NullSoundOutput.h"
#include "TemporaryHome.h"
#include "PlatformFakes.h"
#include "model/AtomicFile.h"
#include "platform/media/AudioPlayer.h"
#include "platform/media/OutputMute.h"
#include "platform/media/SoundPlayer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QUrl>

#include <atomic>

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

    // A sound from the module, not the beep, once the module is ready.
    sounds->play(junk, 0.5F);
    QCoreApplication::processEvents();
    QThreadPool::globalInstance()->waitForDone(20000);
    QCoreApplication::processEvents();
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

test::RecordingSoundPlayer *madeSounds = nullptr;

const MediaBackend soundsOnly{MediaBackend::kVersion,
                              [](Clock &, std::function<void()>) -> std::unique_ptr<SoundPlayer> {
                                  auto player = std::make_unique<test::RecordingSoundPlayer>();
                                  madeSounds = player.get();
                                  return player;
                              },
                              [] {}, nullptr, nullptr};

// Readying the module can take seconds on a fresh home: the caller goes on
// at once, and the sounds asked for meanwhile play in order once it is
// ready, or beep where there is no module.
TEST(MediaModuleTest, TheFirstSoundReadiesTheModuleOnAWorker)
{
    test::ManualClock clock;
    int beeps = 0;
    QSemaphore ready;
    std::atomic<Qt::HANDLE> preparedOn{};
    auto sounds = MediaModule::makeSoundPlayer(
        clock, [&] { ++beeps; },
        [&]() -> const MediaBackend * {
            preparedOn = QThread::currentThreadId();
            ready.acquire();
            return &soundsOnly;
        });
    sounds->play(u"a.wav"_s, 0.25F);
    sounds->play(u"b.wav"_s, 0.5F);
    EXPECT_EQ(madeSounds, nullptr) << "a sound played before the module was ready";
    ready.release();
    ASSERT_TRUE(test::waitUntil([&] { return madeSounds && madeSounds->played.size() == 2; }));
    EXPECT_NE(preparedOn.load(), QThread::currentThreadId());
    sounds->play(u"c.wav"_s, 1.0F);
    using Played = std::vector<std::pair<QString, float>>;
    EXPECT_EQ(madeSounds->played, (Played{{u"a.wav"_s, 0.25F}, {u"b.wav"_s, 0.5F}, {u"c.wav"_s, 1.0F}}));

    auto missing = MediaModule::makeSoundPlayer(
        clock, [&] { ++beeps; }, [] { return nullptr; });
    missing->play(u"a.wav"_s, 1.0F);
    missing->play(u"b.wav"_s, 1.0F);
    EXPECT_TRUE(test::waitUntil([&] { return beeps == 2; }));
}

} // namespace
} // namespace kolu
