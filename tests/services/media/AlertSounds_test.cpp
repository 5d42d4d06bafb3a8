#include "services/media/AlertSounds.h"

#include "services/media/AlertSoundSynthesis.h"

#include "../ServiceTests.h"
#include "RecordingSoundPlayer.h"

#include <QJsonValue>

using namespace kolu;

namespace {

struct AlertSoundsTest : ::testing::Test {
    QString soundPath(const QString &kind) const
    {
        return QDir(home.runtimeDir()).filePath(QString(u"Kolu-"_s + kind + u"-alert.wav"_s));
    }
    // The kind and volume of the last sound played.
    std::pair<QString, float> lastPlayed() const
    {
        if (player.played.empty())
            return {};
        const auto &[path, volume] = player.played.back();
        const QString name = QFileInfo(path).fileName();
        return {name.mid(5, name.size() - 5 - 10), volume};
    }

    test::TemporaryHome home;
    UserDefaults defaults{QDir(home.configHome()).filePath(u"Kolu/defaults.json"_s)};
    test::RecordingSoundPlayer player;
    AlertSounds sounds{defaults, player, home.runtimeDir()};
};

TEST_F(AlertSoundsTest, AFileFromBeforeIsReusedOnlyWhenRightAndTheChoicesPickTheKindAndVolume)
{
    const QDateTime longAgo = QDateTime::currentDateTimeUtc().addDays(-3);
    QByteArray flipped = makeWAVData(u"ocean");
    flipped[1000] = char(flipped.at(1000) ^ 1);
    // The right bytes, one wrong sample, a wrong length.
    const std::tuple<QString, QByteArray, bool> olds[] = {{u"calendar"_s, makeWAVData(u"calendar"), true},
                                                          {u"ocean"_s, flipped, false},
                                                          {u"birds"_s, makeWAVData(u"birds").chopped(2), false}};
    for (const auto &[kind, bytes, reused] : olds) {
        ASSERT_TRUE(test::writeFile(soundPath(kind), bytes, longAgo));
        ASSERT_TRUE(sounds.generatedSoundURL(kind).has_value());
        EXPECT_EQ(test::readFile(soundPath(kind)), makeWAVData(kind)) << kind.toStdString();
        EXPECT_EQ(QFileInfo(soundPath(kind)).lastModified().toUTC() == longAgo, reused) << kind.toStdString();
    }

    // A link planted at the path is replaced, and its target left alone.
    const QString target = QDir(home.home()).filePath(u"precious.txt"_s);
    ASSERT_TRUE(test::writeFile(target, makeWAVData(u"soft")));
    ASSERT_TRUE(QFile::link(target, soundPath(u"soft"_s)));
    ASSERT_TRUE(sounds.generatedSoundURL(u"soft"_s).has_value());
    EXPECT_FALSE(QFileInfo(soundPath(u"soft"_s)).isSymLink());
    EXPECT_EQ(test::readFile(target), makeWAVData(u"soft"));

    // The choices pick the kind and volume, and off is silent.
    // Made beforehand, so each play is heard at once.
    for (const QString &kind : {u"calendar"_s, u"birds"_s, u"soft"_s})
        ASSERT_TRUE(sounds.generatedSoundURL(kind).has_value());
    const bool calendar = true, focus = false;
    const std::tuple<bool, QJsonValue, QString, float> cases[] = {
        {calendar, {}, u"calendar"_s, 0.52F},         {calendar, u"birds"_s, u"birds"_s, 0.54F},
        {calendar, u"chime"_s, u"calendar"_s, 0.52F}, // a focus sound only
        {calendar, 7, u"calendar"_s, 0.52F},          // a wrong type counts as absent
        {focus, u"ocean"_s, u"calendar"_s, 0.52F},    // a calendar sound only
        {focus, u"soft"_s, u"soft"_s, 0.62F},
    };
    for (const auto &[forCalendar, choice, kind, volume] : cases) {
        if (!choice.isNull())
            defaults.set(forCalendar ? u"calendarAlertSound"_s : u"focusAlertSound"_s, choice);
        forCalendar ? sounds.playCalendarAlertSound() : sounds.playFocusFinishedSound();
        EXPECT_EQ(lastPlayed(), std::make_pair(kind, volume)) << choice.toString().toStdString();
    }
    const std::size_t before = player.played.size();
    for (const QString &key : {u"focusAlertSound"_s, u"calendarAlertSound"_s})
        defaults.set(key, u"off"_s);
    sounds.playFocusFinishedSound();
    sounds.playCalendarAlertSound();
    EXPECT_EQ(std::pair(player.played.size(), player.beeps), std::pair(before, 0));
}

TEST_F(AlertSoundsTest, AMissingSoundIsMadeOffTheMainThreadThenPlayedOrElseABeep)
{
    EXPECT_EQ(AlertSounds::defaultFolder(), home.runtimeDir());
    defaults.set(u"calendarAlertSound"_s, u"birds"_s);
    sounds.playCalendarAlertSound();
    sounds.playCalendarAlertSound();
    // Nothing is made before the event loop hears from the worker.
    EXPECT_TRUE(!QFileInfo::exists(soundPath(u"birds"_s)) && player.played.empty());
    ASSERT_TRUE(test::waitUntil([&] { return player.played.size() == 2; }));
    EXPECT_EQ(test::readFile(soundPath(u"birds"_s)), makeWAVData(u"birds"));
    EXPECT_EQ(lastPlayed(), std::make_pair(u"birds"_s, 0.54F));
    // Only the needed kind was made.
    EXPECT_EQ(QDir(home.runtimeDir()).entryList({u"Kolu-*"_s}, QDir::Files), QStringList{u"Kolu-birds-alert.wav"_s});

    {
        // Marks this run's file, so a second write would show.
        QFile file(soundPath(u"birds"_s));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("mark");
    }
    sounds.playCalendarAlertSound();
    EXPECT_TRUE(test::readFile(soundPath(u"birds"_s)).endsWith("mark"));
    EXPECT_EQ(player.played.size(), 3U);

    // A folder that cannot be written falls back to the beep.
    AlertSounds nowhere(defaults, player, QDir(home.home()).filePath(u"missing/folder"_s));
    nowhere.playCalendarAlertSound();
    EXPECT_TRUE(test::waitUntil([&] { return player.beeps == 1; }));
    EXPECT_EQ(player.played.size(), 3U);
    EXPECT_FALSE(nowhere.generatedSoundURL(u"soft"_s).has_value());
}

} // namespace
