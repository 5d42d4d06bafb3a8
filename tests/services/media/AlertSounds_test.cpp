#include "services/media/AlertSounds.h"

#include "model/AtomicFile.h"
#include "services/media/AlertSoundSynthesis.h"

#include "RecordingSoundPlayer.h"
#include "TestFiles.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class AlertSoundsTest : public ::testing::Test {
protected:
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

TEST_F(AlertSoundsTest, AFileFoundFromBeforeIsNotTrusted)
{
    ASSERT_TRUE(writeFileAtomically(soundPath(u"calendar"_s), "RIFF left by someone else"));
    sounds.playCalendarAlertSound();
    EXPECT_EQ(test::readFile(soundPath(u"calendar"_s)), makeWAVData(u"calendar"));

    // A link planted at the path is replaced, and its target left alone.
    const QString target = QDir(home.home()).filePath(u"precious.txt"_s);
    ASSERT_TRUE(writeFileAtomically(target, "keep me"));
    ASSERT_TRUE(QFile::link(target, soundPath(u"birds"_s)));
    defaults.set(u"calendarAlertSound"_s, u"birds"_s);
    sounds.playCalendarAlertSound();
    EXPECT_EQ(test::readFile(target), "keep me");
    EXPECT_FALSE(QFileInfo(soundPath(u"birds"_s)).isSymLink());
    EXPECT_EQ(test::readFile(soundPath(u"birds"_s)), makeWAVData(u"birds"));
}

TEST_F(AlertSoundsTest, EveryKindIsWrittenOncePerRunAndAgainWhenItWasRemoved)
{
    EXPECT_EQ(AlertSounds::defaultFolder(), home.runtimeDir());
    sounds.prepareAlertSounds();
    for (const QString &kind : {u"calendar"_s, u"ocean"_s, u"birds"_s, u"chime"_s, u"soft"_s, u"digital"_s})
        EXPECT_EQ(test::readFile(soundPath(kind)), makeWAVData(kind)) << kind.toStdString();
    EXPECT_TRUE(player.played.empty());
    {
        // Marks this run's file, so a second write would show.
        QFile file(soundPath(u"calendar"_s));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("mark");
    }
    sounds.playCalendarAlertSound();
    EXPECT_TRUE(test::readFile(soundPath(u"calendar"_s)).endsWith("mark"));

    ASSERT_TRUE(QFile::remove(soundPath(u"calendar"_s)));
    sounds.playCalendarAlertSound();
    EXPECT_EQ(test::readFile(soundPath(u"calendar"_s)), makeWAVData(u"calendar"));
    EXPECT_EQ(player.played.size(), 2U);
}

TEST_F(AlertSoundsTest, TheChoicesPickTheKindAndVolumeAndOffIsSilent)
{
    sounds.playCalendarAlertSound();
    EXPECT_EQ(lastPlayed(), std::make_pair(u"calendar"_s, 0.52F));
    defaults.set(u"calendarAlertSound"_s, u"birds"_s);
    sounds.playCalendarAlertSound();
    EXPECT_EQ(lastPlayed(), std::make_pair(u"birds"_s, 0.54F));
    defaults.set(u"calendarAlertSound"_s, u"chime"_s); // a focus sound only
    sounds.playCalendarAlertSound();
    EXPECT_EQ(lastPlayed(), std::make_pair(u"calendar"_s, 0.52F));
    defaults.set(u"calendarAlertSound"_s, 7); // a wrong type counts as absent
    sounds.playCalendarAlertSound();
    EXPECT_EQ(lastPlayed(), std::make_pair(u"calendar"_s, 0.52F));
    defaults.set(u"focusAlertSound"_s, u"ocean"_s); // a calendar sound only
    sounds.playFocusFinishedSound();
    EXPECT_EQ(lastPlayed(), std::make_pair(u"calendar"_s, 0.52F));
    defaults.set(u"focusAlertSound"_s, u"soft"_s);
    sounds.playFocusFinishedSound();
    EXPECT_EQ(lastPlayed(), std::make_pair(u"soft"_s, 0.62F));

    const std::size_t before = player.played.size();
    defaults.set(u"focusAlertSound"_s, u"off"_s);
    defaults.set(u"calendarAlertSound"_s, u"off"_s);
    sounds.playFocusFinishedSound();
    sounds.playCalendarAlertSound();
    EXPECT_EQ(player.played.size(), before);
    EXPECT_EQ(player.beeps, 0);
}

TEST_F(AlertSoundsTest, AFolderThatCannotBeWrittenFallsBackToTheBeep)
{
    AlertSounds nowhere(defaults, player, QDir(home.home()).filePath(u"missing/folder"_s));
    nowhere.prepareAlertSounds();
    nowhere.playCalendarAlertSound();
    EXPECT_EQ(player.beeps, 1);
    EXPECT_TRUE(player.played.empty());
    EXPECT_FALSE(nowhere.generatedSoundURL(u"soft"_s).has_value());
}

} // namespace
