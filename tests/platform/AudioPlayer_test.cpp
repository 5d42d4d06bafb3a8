// The GStreamer-backed player, on local files, into the null sound device.
#include "platform/AudioPlayer.h"

#include "NullSoundOutput.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

using Item = AudioPlayer::ItemStatus;
using Time = AudioPlayer::TimeControlStatus;

// Runs the event loop until `done` holds or `limit` of real time has passed;
// the back end answers at its own pace.
bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < limit.count()) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

class AudioPlayerTest : public ::testing::Test {
protected:
    AudioPlayerTest() { test::useNullSoundOutput(home.home()); }

    QString makeTone(const QString &name)
    {
        const QString path = folder.filePath(name);
        QProcess sox;
        sox.start(QStandardPaths::findExecutable(u"sox"_s),
                  {u"-q"_s, u"-n"_s, u"-r"_s, u"44100"_s, u"-c"_s, u"2"_s, path, u"synth"_s, u"1.5"_s, u"sine"_s,
                   u"440"_s});
        EXPECT_TRUE(sox.waitForFinished(30000));
        EXPECT_EQ(sox.exitCode(), 0);
        return path;
    }

    test::TemporaryHome home;
    QTemporaryDir folder;
    MediaAudioPlayerFactory &factory = MediaAudioPlayerFactory::instance();
};

TEST_F(AudioPlayerTest, AnUnreadableFileGivesNoPlayer)
{
    EXPECT_EQ(factory.create(QUrl::fromLocalFile(folder.filePath(u"absent.mp3"_s)), true), nullptr);
}

TEST_F(AudioPlayerTest, AFileThatIsNoAudioFailsOnce)
{
    QFile junk(folder.filePath(u"junk.mp3"_s));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();

    auto player = factory.create(QUrl::fromLocalFile(junk.fileName()), false);
    ASSERT_TRUE(player);
    int failures = 0;
    QObject::connect(player.get(), &AudioPlayer::itemStatusChanged, [&] {
        if (player->itemStatus() == Item::Failed)
            ++failures;
    });
    player->play();
    ASSERT_TRUE(waitUntil([&] { return player->itemStatus() == Item::Failed; }));
    EXPECT_FALSE(player->errorString().isEmpty());
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->timeControlStatus(), Time::Paused);
    player->play(); // a failed player stays failed
    waitUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(player->isPlaying());
}

TEST_F(AudioPlayerTest, PlaysLoopsPausesAndClampsItsVolume)
{
    const QString tone = makeTone(u"tone.wav"_s);
    auto player = factory.create(QUrl::fromLocalFile(tone), true);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->itemStatus(), Item::Unknown);
    player->setVolume(1.7);
    EXPECT_DOUBLE_EQ(player->volume(), 1.0);
    player->setVolume(0.25);
    EXPECT_NEAR(player->volume(), 0.25, 1e-6);

    player->play();
    EXPECT_TRUE(player->isPlaying());
    ASSERT_TRUE(waitUntil([&] { return player->timeControlStatus() == Time::Playing; }));
    EXPECT_EQ(player->itemStatus(), Item::ReadyToPlay);

    // The 1.5 s tone is still playing well after its end: it loops.
    waitUntil([] { return false; }, std::chrono::milliseconds(2500));
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ(player->timeControlStatus(), Time::Playing);

    player->pause();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->timeControlStatus(), Time::Paused);
}

TEST_F(AudioPlayerTest, WithoutLoopingItStopsAtTheEnd)
{
    const QString tone = makeTone(u"once.wav"_s);
    auto player = factory.create(QUrl::fromLocalFile(tone), false);
    ASSERT_TRUE(player);
    player->play();
    ASSERT_TRUE(waitUntil([&] { return player->timeControlStatus() == Time::Playing; }));
    ASSERT_TRUE(waitUntil([&] { return player->timeControlStatus() == Time::Paused; }));
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->itemStatus(), Item::ReadyToPlay);
}

} // namespace
} // namespace kolu
