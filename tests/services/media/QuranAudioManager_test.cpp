#include "services/media/QuranAudioManager.h"

#include "FakeAudioPlayer.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "model/UserDefaults.h"
#include "services/media/QuranCustomStationError.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace kolu {
namespace {

using Item = AudioPlayer::ItemStatus;
using Time = AudioPlayer::TimeControlStatus;

QuranRadioStation twoAddressStation()
{
    QuranRadioStation station = QuranAudioManager::bahrainStation();
    station.streamURL = QUrl(u"https://one.example/live.m3u8"_s);
    station.fallbackStreamURLs = {QUrl(u"https://two.example/live.m3u8"_s)};
    return station;
}

class QuranAudioManagerTest : public ::testing::Test {
protected:
    std::unique_ptr<QuranAudioManager> makeManager(QuranRadioStation builtIn = QuranAudioManager::bahrainStation())
    {
        return std::make_unique<QuranAudioManager>(defaults, factory, clock, std::move(builtIn));
    }

    // Lets the queued reactions to the fake's reports run.
    void settle() { clock.advance(0ms); }

    void saveCustom(QuranAudioManager &manager)
    {
        manager.saveCustomStation(u"My Radio"_s, u"https://radio.example/stream.m3u8"_s);
    }

    test::TemporaryHome home;
    UserDefaults defaults{home.configHome() + u"/Kolu/defaults.json"_s};
    test::FakeAudioPlayerFactory factory;
    test::ManualClock clock;
};

TEST_F(QuranAudioManagerTest, StartsIdleWithDefaultsAndWritesNothing)
{
    // Values of the wrong type count as absent.
    defaults.set(u"quranVolume"_s, u"loud"_s);
    defaults.set(u"quranBahrainStationEnabled"_s, 1);
    auto manager = makeManager();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::idle());
    EXPECT_DOUBLE_EQ(manager->volume(), 0.78);
    EXPECT_TRUE(manager->isBahrainStationEnabled());
    EXPECT_EQ(manager->selectedStationID(), u"bahrain"_s);
    EXPECT_FALSE(manager->currentStation());
    EXPECT_EQ(manager->stations(), QList<QuranRadioStation>{QuranAudioManager::bahrainStation()});
    EXPECT_FALSE(defaults.contains(u"quranRadioStationID"_s));
    EXPECT_TRUE(factory.requested.isEmpty());
}

TEST_F(QuranAudioManagerTest, StoredCustomSelectionWithoutValidStationFallsBackAndIsRewritten)
{
    defaults.set(u"quranRadioStationID"_s, u"custom"_s);
    defaults.set(u"quranCustomRadioStationName"_s, u"Mine"_s);
    defaults.set(u"quranCustomRadioStationStreamURL"_s, u"http://insecure.example/live"_s);
    auto manager = makeManager();
    EXPECT_FALSE(manager->customStation());
    EXPECT_EQ(manager->selectedStationID(), u"bahrain"_s);
    EXPECT_EQ(defaults.string(u"quranRadioStationID"_s), u"bahrain"_s);
    // The stale keys are left alone.
    EXPECT_TRUE(defaults.contains(u"quranCustomRadioStationStreamURL"_s));
}

TEST_F(QuranAudioManagerTest, LoadsTheCustomStationAndTrimsItsName)
{
    defaults.set(u"quranBahrainStationEnabled"_s, false);
    defaults.set(u"quranCustomRadioStationName"_s, u"  Mine \n"_s);
    defaults.set(u"quranCustomRadioStationStreamURL"_s, u"https://radio.example/a.m3u8"_s);
    auto manager = makeManager();
    ASSERT_TRUE(manager->customStation());
    EXPECT_EQ(*manager->customStation(), QuranRadioStation::custom(u"Mine"_s, QUrl(u"https://radio.example/a.m3u8"_s)));
    // Built-in switched off: the custom station is the fallback selection.
    EXPECT_EQ(manager->selectedStationID(), u"custom"_s);
    EXPECT_FALSE(defaults.contains(u"quranRadioStationID"_s));
    EXPECT_EQ(manager->stations().size(), 1);
}

TEST_F(QuranAudioManagerTest, SwitchingTheBuiltInStationOffWhilePlayingStopsAndMovesTheSelection)
{
    auto manager = makeManager();
    manager->togglePlayPause();
    ASSERT_EQ(manager->status(), QuranPlayerStatus::loading());

    manager->setBahrainStationEnabled(false);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::idle());
    EXPECT_FALSE(manager->currentStation());
    EXPECT_EQ(factory.liveCount(), 0);
    EXPECT_EQ(manager->selectedStationID(), QString());
    EXPECT_EQ(defaults.boolean(u"quranBahrainStationEnabled"_s), false);
    manager->togglePlayPause(); // no station offered: nothing
    EXPECT_EQ(manager->status(), QuranPlayerStatus::idle());
    EXPECT_EQ(factory.requested.size(), 1);

    manager->setBahrainStationEnabled(true);
    EXPECT_EQ(manager->selectedStationID(), u"bahrain"_s);

    // With a custom station the selection moves there, and back on leaves it.
    saveCustom(*manager);
    manager->setBahrainStationEnabled(false);
    EXPECT_EQ(manager->selectedStationID(), u"custom"_s);
    manager->setBahrainStationEnabled(true);
    EXPECT_EQ(manager->selectedStationID(), u"custom"_s);
    EXPECT_EQ(defaults.string(u"quranRadioStationID"_s), u"custom"_s);
}

TEST_F(QuranAudioManagerTest, CustomStationValidation)
{
    auto manager = makeManager();
    auto caseOf = [&](const QString &name, const QString &address) -> std::optional<QuranCustomStationError::Case> {
        try {
            manager->saveCustomStation(name, address);
        } catch (const QuranCustomStationError &error) {
            return error.which();
        }
        return std::nullopt;
    };
    EXPECT_EQ(caseOf(u"   "_s, u"not an address"_s), QuranCustomStationError::Case::MissingName);
    EXPECT_EQ(caseOf(u"Mine"_s, u"http://radio.example/live"_s), QuranCustomStationError::Case::InvalidStreamURL);
    EXPECT_EQ(caseOf(u"Mine"_s, u"https://"_s), QuranCustomStationError::Case::InvalidStreamURL);
    EXPECT_EQ(caseOf(u"Mine"_s, u"https://radio example/live"_s), QuranCustomStationError::Case::InvalidStreamURL);
    EXPECT_FALSE(manager->customStation());
    EXPECT_FALSE(defaults.contains(u"quranCustomRadioStationName"_s));

    EXPECT_EQ(caseOf(u" Mine "_s, u"  HTTPS://radio.example/live.m3u8 \n"_s), std::nullopt);
    ASSERT_TRUE(manager->customStation());
    EXPECT_EQ(manager->customStation()->nameEnglish, u"Mine"_s);
    EXPECT_EQ(defaults.string(u"quranCustomRadioStationName"_s), u"Mine"_s);
    EXPECT_EQ(defaults.string(u"quranCustomRadioStationStreamURL"_s), u"https://radio.example/live.m3u8"_s);
    // Saving keeps the existing selection.
    EXPECT_EQ(manager->selectedStationID(), u"bahrain"_s);
}

TEST_F(QuranAudioManagerTest, SavingOrRemovingThePlayingCustomStationStopsItWithoutRestarting)
{
    auto manager = makeManager();
    manager->removeCustomStation(); // nothing to remove: nothing changes
    EXPECT_EQ(manager->selectedStationID(), u"bahrain"_s);

    saveCustom(*manager);
    manager->selectStation(*manager->customStation());
    manager->togglePlayPause();
    ASSERT_EQ(manager->currentStation()->id, u"custom"_s);
    manager->saveCustomStation(u"Other"_s, u"https://other.example/x.m3u8"_s);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::idle());
    EXPECT_FALSE(manager->currentStation());
    EXPECT_EQ(factory.requested.size(), 1);
    EXPECT_EQ(manager->selectedStationID(), u"custom"_s);

    manager->togglePlayPause();
    manager->removeCustomStation();
    EXPECT_FALSE(manager->customStation());
    EXPECT_EQ(manager->status(), QuranPlayerStatus::idle());
    EXPECT_EQ(factory.liveCount(), 0);
    EXPECT_EQ(manager->selectedStationID(), u"bahrain"_s);
    EXPECT_FALSE(defaults.contains(u"quranCustomRadioStationName"_s));
    EXPECT_FALSE(defaults.contains(u"quranCustomRadioStationStreamURL"_s));
}

TEST_F(QuranAudioManagerTest, ChoosingAStationStartsItOnlyWhileSomethingIsLoaded)
{
    auto manager = makeManager();
    saveCustom(*manager);
    manager->selectStation(*manager->customStation());
    EXPECT_EQ(manager->status(), QuranPlayerStatus::idle());
    EXPECT_TRUE(factory.requested.isEmpty());

    manager->selectStation(manager->stations().first());
    manager->togglePlayPause();
    factory.last()->report(Time::Playing);
    settle();
    ASSERT_EQ(manager->status(), QuranPlayerStatus::playing());
    manager->togglePlayPause();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::paused());
    EXPECT_EQ(factory.last()->pauseCalls, 1);

    manager->selectStation(*manager->customStation());
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
    EXPECT_EQ(manager->currentStation()->id, u"custom"_s);
    EXPECT_EQ(factory.last()->source, QUrl(u"https://radio.example/stream.m3u8"_s));
    EXPECT_EQ(factory.liveCount(), 1);
}

TEST_F(QuranAudioManagerTest, PlayPauseAndResume)
{
    auto manager = makeManager();
    manager->setVolume(0.5);
    manager->togglePlayPause();
    test::FakeAudioPlayer *player = factory.last();
    ASSERT_TRUE(player);
    EXPECT_EQ(player->playCalls, 1);
    EXPECT_DOUBLE_EQ(player->currentVolume, 0.5);
    EXPECT_FALSE(player->loops);

    manager->togglePlayPause(); // loading: nothing
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());

    player->report(Item::ReadyToPlay);
    settle();
    EXPECT_EQ(player->playCalls, 2);
    player->report(Time::Playing);
    settle();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::playing());

    manager->togglePlayPause();
    player->report(Time::Paused);
    settle();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::paused());

    manager->togglePlayPause();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
    EXPECT_EQ(player->playCalls, 3);
    player->report(Time::Playing);
    settle();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::playing());

    // Waiting shows as loading, and a pause report leaves it there: only a
    // playing stream turns paused.
    player->report(Time::WaitingToPlay);
    settle();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
    player->report(Time::Paused);
    settle();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());

    manager->stop();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::idle());
    EXPECT_FALSE(manager->currentStation());
    EXPECT_FALSE(manager->player());
    EXPECT_EQ(factory.liveCount(), 0);
}

TEST_F(QuranAudioManagerTest, ASingleFailingAddressEndsInNetworkUnavailableWithoutARetry)
{
    auto manager = makeManager();
    manager->togglePlayPause();
    factory.last()->report(Item::Failed);
    settle();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::networkUnavailable());
    EXPECT_EQ(factory.requested.size(), 1);
    // The failed player stays until the next play or stop.
    EXPECT_TRUE(manager->player());
    EXPECT_TRUE(manager->currentStation());

    // From there the play control starts again from the first address.
    manager->togglePlayPause();
    EXPECT_EQ(factory.requested.size(), 2);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
}

TEST_F(QuranAudioManagerTest, AFailedStreamMovesToTheNextAddressAndLateSignalsChangeNothing)
{
    auto manager = makeManager(twoAddressStation());
    manager->togglePlayPause();
    factory.last()->report(Item::Failed);
    settle();
    ASSERT_EQ(factory.requested.size(), 2);
    EXPECT_EQ(factory.requested.at(1), QUrl(u"https://two.example/live.m3u8"_s));
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
    test::FakeAudioPlayer *last = factory.last();
    last->report(Item::Failed);
    clock.advance(100ms);
    ASSERT_EQ(manager->status(), QuranPlayerStatus::networkUnavailable());

    // Start check, time-control reports and watchdog of the failed attempt.
    clock.advance(400ms);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::networkUnavailable());
    last->report(Time::WaitingToPlay);
    last->report(Item::Unknown);
    settle();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::networkUnavailable());
    clock.advance(31s);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::networkUnavailable());
    EXPECT_EQ(factory.requested.size(), 2);
}

TEST_F(QuranAudioManagerTest, SignalsOfAReplacedPlayerAreIgnored)
{
    auto manager = makeManager();
    saveCustom(*manager);
    manager->togglePlayPause();
    test::FakeAudioPlayer *first = factory.last();
    first->report(Time::Playing);
    first->report(Item::Failed); // queued behind the switch below
    manager->selectStation(*manager->customStation());
    settle();
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
    EXPECT_EQ(manager->currentStation()->id, u"custom"_s);
    EXPECT_EQ(factory.requested.size(), 2);
}

TEST_F(QuranAudioManagerTest, StartCheckLooksAtThePlayerAfterTheDelayAndTheWatchdogLeavesItAlone)
{
    auto manager = makeManager(twoAddressStation());
    manager->togglePlayPause();
    factory.last()->timeControl = Time::Playing; // playing without a report yet
    clock.advance(449ms);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
    clock.advance(1ms);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::playing());
    clock.advance(30s);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::playing());
    EXPECT_EQ(factory.requested.size(), 1);
}

TEST_F(QuranAudioManagerTest, APauseInTheFirstMomentsSurvivesTheStartCheck)
{
    auto manager = makeManager();
    manager->togglePlayPause();
    factory.last()->report(Time::Playing);
    settle();
    manager->togglePlayPause();
    factory.last()->report(Time::Paused);
    clock.advance(500ms);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::paused());
    clock.advance(31s);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::paused());
    EXPECT_EQ(factory.requested.size(), 1);
}

TEST_F(QuranAudioManagerTest, WatchdogMovesOnFromAStreamStuckLoading)
{
    auto manager = makeManager(twoAddressStation());
    manager->togglePlayPause();
    clock.advance(29s);
    EXPECT_EQ(factory.requested.size(), 1);
    clock.advance(1s);
    ASSERT_EQ(factory.requested.size(), 2);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::loading());
    clock.advance(30s);
    EXPECT_EQ(manager->status(), QuranPlayerStatus::networkUnavailable());
    EXPECT_EQ(factory.requested.size(), 2);
}

TEST_F(QuranAudioManagerTest, VolumeIsClampedWhereItIsStoredAndPlayed)
{
    auto manager = makeManager();
    manager->togglePlayPause();
    manager->setVolume(1.4);
    EXPECT_DOUBLE_EQ(manager->volume(), 1.4);
    EXPECT_EQ(defaults.number(u"quranVolume"_s), 1.0);
    EXPECT_DOUBLE_EQ(factory.last()->currentVolume, 1.0);
    manager->setVolume(-0.2);
    EXPECT_EQ(defaults.number(u"quranVolume"_s), 0.0);
    EXPECT_DOUBLE_EQ(factory.last()->currentVolume, 0.0);
    manager->setVolume(std::nan(""));
    EXPECT_EQ(defaults.number(u"quranVolume"_s), 0.0);

    manager->setVolume(0.3);
    auto again = makeManager();
    EXPECT_DOUBLE_EQ(again->volume(), 0.3);
}

} // namespace
} // namespace kolu
