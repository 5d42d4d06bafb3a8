#include "services/media/QuranAudioManager.h"

#include "model/UserDefaults.h"
#include "services/media/QuranCustomStationError.h"

#include "../ServiceTests.h"
#include "FakeAudioPlayer.h"

using namespace kolu;

namespace {

using Item = AudioPlayer::ItemStatus;
using Time = AudioPlayer::TimeControlStatus;
using Status = QuranPlayerStatus;

QuranRadioStation twoAddressStation()
{
    QuranRadioStation station = QuranAudioManager::bahrainStation();
    station.streamURL = QUrl(u"https://one.example/live.m3u8"_s);
    station.fallbackStreamURLs = {QUrl(u"https://two.example/live.m3u8"_s)};
    return station;
}

struct QuranAudioManagerTest : ::testing::Test {
    std::unique_ptr<QuranAudioManager> makeManager(QuranRadioStation builtIn = QuranAudioManager::bahrainStation())
    {
        auto made = std::make_unique<QuranAudioManager>(defaults, factory, clock, std::move(builtIn));
        made->setNetworkCheck([this] { return networkUp; });
        return made;
    }
    // Lets the queued reactions to the fake's reports run.
    void settle() { clock.advance(0ms); }
    void report(auto status)
    {
        factory.last()->report(status);
        settle();
    }
    // What plays, how many players live, and the selection.
    std::tuple<Status, int, QString> seen() const
    {
        return {manager->status(), factory.liveCount(), manager->selectedStationID()};
    }
    void saveCustom() { manager->saveCustomStation(u"My Radio"_s, u"https://radio.example/stream.m3u8"_s); }

    test::TemporaryHome home;
    UserDefaults defaults{home.configHome() + u"/Kolu/defaults.json"_s};
    test::FakeAudioPlayerFactory factory;
    test::ManualClock clock;
    bool networkUp = false;
    std::unique_ptr<QuranAudioManager> manager = makeManager();
};

TEST_F(QuranAudioManagerTest, StoredValuesOfTheWrongTypeOrAnInvalidCustomStationCountAsAbsent)
{
    defaults.set(u"quranVolume"_s, u"loud"_s);
    defaults.set(u"quranBahrainStationEnabled"_s, 1);
    defaults.set(u"quranRadioStationID"_s, u"custom"_s);
    defaults.set(u"quranCustomRadioStationName"_s, u"Mine"_s);
    defaults.set(u"quranCustomRadioStationStreamURL"_s, u"http://insecure.example/live"_s);
    manager = makeManager();
    EXPECT_EQ(seen(), std::tuple(Status::idle(), 0, u"bahrain"_s));
    EXPECT_DOUBLE_EQ(manager->volume(), 0.78);
    EXPECT_TRUE(manager->isBahrainStationEnabled() && !manager->customStation());
    // The selection falls back and is rewritten; the stale keys are left alone.
    EXPECT_EQ(defaults.string(u"quranRadioStationID"_s), u"bahrain"_s);
    EXPECT_TRUE(defaults.contains(u"quranCustomRadioStationStreamURL"_s) && factory.requested.isEmpty());

    // A valid custom station with the built-in one off is the fallback selection.
    defaults.remove(u"quranRadioStationID"_s);
    defaults.set(u"quranBahrainStationEnabled"_s, false);
    defaults.set(u"quranCustomRadioStationName"_s, u"  Mine \n"_s);
    defaults.set(u"quranCustomRadioStationStreamURL"_s, u"https://radio.example/a.m3u8"_s);
    manager = makeManager();
    EXPECT_EQ(manager->customStation(), QuranRadioStation::custom(u"Mine"_s, QUrl(u"https://radio.example/a.m3u8"_s)));
    EXPECT_EQ(manager->selectedStationID(), u"custom"_s);
    EXPECT_FALSE(defaults.contains(u"quranRadioStationID"_s));
    EXPECT_EQ(manager->stations().size(), 1);
}

TEST_F(QuranAudioManagerTest, SwitchingTheBuiltInStationOffWhilePlayingStopsAndMovesTheSelection)
{
    manager->togglePlayPause();
    manager->setBahrainStationEnabled(false);
    EXPECT_EQ(seen(), std::tuple(Status::idle(), 0, QString()));
    manager->togglePlayPause(); // no station offered: nothing
    EXPECT_EQ(factory.requested.size(), 1);
    manager->setBahrainStationEnabled(true);
    EXPECT_EQ(manager->selectedStationID(), u"bahrain"_s);

    // With a custom station the selection moves there, and back on leaves it.
    saveCustom();
    manager->setBahrainStationEnabled(false);
    manager->setBahrainStationEnabled(true);
    EXPECT_EQ(manager->selectedStationID(), u"custom"_s);
    EXPECT_EQ(defaults.string(u"quranRadioStationID"_s), u"custom"_s);
}

TEST_F(QuranAudioManagerTest, ACustomStationIsValidatedAndSavingOrRemovingItWhilePlayingStopsItWithoutRestarting)
{
    auto caseOf = [&](const QString &name, const QString &address) -> std::optional<QuranCustomStationError::Case> {
        try {
            manager->saveCustomStation(name, address);
        } catch (const QuranCustomStationError &error) {
            return error.which();
        }
        return std::nullopt;
    };
    EXPECT_EQ(caseOf(u"   "_s, u"not an address"_s), QuranCustomStationError::Case::MissingName);
    for (const QString &refused : {u"http://radio.example/live"_s, u"https://"_s, u"https://radio example/live"_s})
        EXPECT_EQ(caseOf(u"Mine"_s, refused), QuranCustomStationError::Case::InvalidStreamURL) << refused.toStdString();
    EXPECT_FALSE(defaults.contains(u"quranCustomRadioStationName"_s));

    EXPECT_EQ(caseOf(u" Mine "_s, u"  HTTPS://radio.example/live.m3u8 \n"_s), std::nullopt);
    EXPECT_EQ(defaults.string(u"quranCustomRadioStationName"_s), u"Mine"_s);
    EXPECT_EQ(defaults.string(u"quranCustomRadioStationStreamURL"_s), u"https://radio.example/live.m3u8"_s);
    EXPECT_EQ(manager->selectedStationID(), u"bahrain"_s); // saving keeps the selection

    // Saving or removing the playing custom station stops it without restarting.
    saveCustom();
    manager->selectStation(*manager->customStation());
    manager->togglePlayPause();
    manager->saveCustomStation(u"Other"_s, u"https://other.example/x.m3u8"_s);
    EXPECT_EQ(seen(), std::tuple(Status::idle(), 0, u"custom"_s));
    EXPECT_EQ(factory.requested.size(), 1);

    manager->togglePlayPause();
    manager->removeCustomStation();
    EXPECT_EQ(seen(), std::tuple(Status::idle(), 0, u"bahrain"_s));
    EXPECT_FALSE(defaults.contains(u"quranCustomRadioStationStreamURL"_s));
}

TEST_F(QuranAudioManagerTest, ChoosingAStationStartsItOnlyWhileSomethingIsLoadedAndTheOldPlayerIsNotHeard)
{
    saveCustom();
    manager->selectStation(*manager->customStation());
    EXPECT_TRUE(factory.requested.isEmpty());

    manager->selectStation(manager->stations().first());
    manager->togglePlayPause();
    report(Time::Playing);
    manager->togglePlayPause();
    EXPECT_EQ(manager->status(), Status::paused());
    factory.last()->report(Time::Playing); // both queued behind the switch: the replaced player is not heard
    factory.last()->report(Item::Failed);
    manager->selectStation(*manager->customStation());
    settle();
    EXPECT_EQ(seen(), std::tuple(Status::loading(), 1, u"custom"_s));
    EXPECT_EQ(factory.last()->source, QUrl(u"https://radio.example/stream.m3u8"_s));
    EXPECT_EQ(factory.requested.size(), 2);
}

TEST_F(QuranAudioManagerTest, PlayPauseResumeAndAVolumeClampedWhereItIsStoredAndPlayed)
{
    manager->setVolume(0.5);
    manager->togglePlayPause();
    test::FakeAudioPlayer *player = factory.last();
    EXPECT_DOUBLE_EQ(player->currentVolume, 0.5);
    EXPECT_FALSE(player->loops);
    manager->togglePlayPause(); // loading: nothing
    EXPECT_EQ(manager->status(), Status::loading());

    report(Item::ReadyToPlay);
    EXPECT_EQ(player->playCalls, 2);
    report(Time::Playing);
    EXPECT_EQ(manager->status(), Status::playing());
    manager->togglePlayPause();
    report(Time::Paused);
    EXPECT_EQ(manager->status(), Status::paused());
    manager->togglePlayPause();
    EXPECT_EQ(manager->status(), Status::loading());
    EXPECT_EQ(player->playCalls, 3);
    report(Time::Playing);

    // Waiting shows as loading, and a pause report leaves it there: only a
    // playing stream turns paused.
    report(Time::WaitingToPlay);
    report(Time::Paused);
    EXPECT_EQ(manager->status(), Status::loading());

    manager->stop();
    EXPECT_EQ(seen(), std::tuple(Status::idle(), 0, u"bahrain"_s));
    EXPECT_FALSE(manager->currentStation());

    manager->togglePlayPause();
    for (const auto &[asked, kept] : {std::pair{1.4, 1.0}, std::pair{-0.2, 0.0}}) {
        manager->setVolume(asked);
        EXPECT_EQ(defaults.number(u"quranVolume"_s), kept) << asked;
        EXPECT_DOUBLE_EQ(factory.last()->currentVolume, kept) << asked;
    }
    manager->setVolume(std::nan(""));
    EXPECT_EQ(defaults.number(u"quranVolume"_s), 0.0);
    manager->setVolume(0.3);
    EXPECT_DOUBLE_EQ(makeManager()->volume(), 0.3);
}

TEST_F(QuranAudioManagerTest, AFailedStreamMovesToTheNextAddressAndLateSignalsChangeNothing)
{
    manager = makeManager(twoAddressStation());
    manager->togglePlayPause();
    report(Item::Failed);
    ASSERT_EQ(factory.requested.size(), 2);
    EXPECT_EQ(factory.requested.at(1), QUrl(u"https://two.example/live.m3u8"_s));
    EXPECT_EQ(manager->status(), Status::loading());
    test::FakeAudioPlayer *last = factory.last();
    last->report(Item::Failed);
    clock.advance(100ms);
    ASSERT_EQ(manager->status(), Status::networkUnavailable());

    // Start check, time-control reports and watchdog of the failed attempt.
    clock.advance(400ms);
    last->report(Time::WaitingToPlay);
    last->report(Item::Unknown);
    clock.advance(31s);
    EXPECT_EQ(manager->status(), Status::networkUnavailable());
    EXPECT_EQ(factory.requested.size(), 2) << "the last address failed: no retry";
    // From there the play control starts again from the first address.
    manager->togglePlayPause();
    EXPECT_EQ(factory.requested.value(2), QUrl(u"https://one.example/live.m3u8"_s));
    EXPECT_EQ(manager->status(), Status::loading());
}

TEST_F(QuranAudioManagerTest, StartCheckAndWatchdogLookAfterTheirDelaysAndAPauseInTheFirstMomentsSurvivesThem)
{
    manager = makeManager(twoAddressStation());
    manager->togglePlayPause();
    factory.last()->timeControl = Time::Playing; // playing without a report yet
    clock.advance(449ms);
    EXPECT_EQ(manager->status(), Status::loading());
    clock.advance(1ms);
    EXPECT_EQ(manager->status(), Status::playing());
    clock.advance(30s); // the watchdog leaves it alone
    EXPECT_EQ(manager->status(), Status::playing());
    EXPECT_EQ(factory.requested.size(), 1);

    manager->stop();
    manager->togglePlayPause();
    report(Time::Playing);
    manager->togglePlayPause();
    factory.last()->report(Time::Paused);
    clock.advance(31s);
    EXPECT_EQ(manager->status(), Status::paused());
    EXPECT_EQ(factory.requested.size(), 2);

    // The watchdog moves on from a stream stuck loading.
    manager->stop();
    manager->togglePlayPause();
    clock.advance(29s);
    EXPECT_EQ(factory.requested.size(), 3);
    clock.advance(1s);
    ASSERT_EQ(factory.requested.size(), 4);
    EXPECT_EQ(manager->status(), Status::loading());
    clock.advance(30s);
    EXPECT_EQ(manager->status(), Status::networkUnavailable());
    EXPECT_EQ(factory.requested.size(), 4);

    // With a network, a station whose addresses all stay silent did not
    // answer, and one whose addresses all fail could not be played.
    networkUp = true;
    manager->togglePlayPause();
    clock.advance(30s);
    clock.advance(30s);
    EXPECT_EQ(manager->status(), Status::error(u"The station did not answer. Try again later."_s));
    manager->togglePlayPause();
    report(Item::Failed);
    report(Item::Failed);
    EXPECT_EQ(manager->status(), Status::error(u"The station could not be played. Try again later."_s));
}

} // namespace

TEST_F(QuranAudioManagerTest, AnInterfaceWithoutNameLookupIsNoNetworkAndALateAnswerChangesNothing)
{
    // The lookup of the last address's host answers when the test says so.
    QStringList looked;
    std::optional<QPromise<bool>> answer;
    const auto lookUp = [&looked, &answer](const QString &host) {
        looked << host;
        answer.emplace();
        answer->start();
        return answer->future();
    };
    const auto answerWith = [this, &answer](bool resolved) {
        answer->addResult(resolved);
        answer->finish();
        ASSERT_TRUE(test::waitUntil([this] { return manager->status() != Status::loading(); }, 10s));
    };
    manager = makeManager(twoAddressStation());
    networkUp = true;
    manager->setNetworkCheck([this] { return networkUp; }, lookUp);

    manager->togglePlayPause();
    report(Item::Failed);
    report(Item::Failed);
    EXPECT_EQ(looked, QStringList{u"two.example"_s}) << "the last address tried";
    EXPECT_EQ(manager->status(), Status::loading()) << "until the lookup answers";
    answerWith(false);
    EXPECT_EQ(manager->status(), Status::networkUnavailable());

    // A name that resolves leaves the station at fault.
    manager->togglePlayPause();
    report(Item::Failed);
    report(Item::Failed);
    answerWith(true);
    EXPECT_EQ(manager->status(), Status::error(u"The station could not be played. Try again later."_s));

    // No interface at all: no lookup is asked for.
    networkUp = false;
    manager->togglePlayPause();
    report(Item::Failed);
    report(Item::Failed);
    EXPECT_EQ(manager->status(), Status::networkUnavailable());
    EXPECT_EQ(looked.size(), 2);

    // A stop, or a new play, while the lookup runs has the last word.
    networkUp = true;
    manager->togglePlayPause();
    report(Item::Failed);
    report(Item::Failed);
    manager->stop();
    answer->addResult(false);
    answer->finish();
    settle();
    QCoreApplication::processEvents();
    EXPECT_EQ(manager->status(), Status::idle());
    manager->togglePlayPause();
    report(Item::Failed);
    report(Item::Failed);
    QPromise<bool> earlier = std::move(*answer);
    // Choosing the station again plays it afresh (the play control waits
    // while loading).
    manager->selectStation(*manager->selectedStation());
    EXPECT_EQ(factory.requested.size(), 11);
    earlier.addResult(false);
    earlier.finish();
    settle();
    QCoreApplication::processEvents();
    EXPECT_EQ(manager->status(), Status::loading()) << "the new play is under way";
}
