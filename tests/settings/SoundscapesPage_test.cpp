#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"
#include "settings/SettingsView.h"
#include "settings/pages/CustomRadioStationEditor.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/SegmentedPicker.h"

#include "EventWait.h"
#include "SettingsFixture.h"
#include "TestFiles.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTest>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

enum class Ink { green, red, other };

// The colour a label's text is drawn in, as far as these tests tell apart.
Ink inkOf(QWidget *label)
{
    label->resize(label->sizeHint().expandedTo(QSize(120, 20)));
    const QImage image = label->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const int green = countPixels(image, image.rect(), [](const QColor &c) {
        return c.alpha() >= 200 && c.green() > c.red() + 60 && c.green() > c.blue() + 40;
    });
    const int red = countPixels(image, image.rect(), [](const QColor &c) {
        return c.alpha() >= 200 && c.red() > c.green() + 80 && c.red() > c.blue() + 80;
    });
    return green > red && green > 0 ? Ink::green : red > 0 ? Ink::red : Ink::other;
}

class SoundscapesPageTest : public SettingsTest {
protected:
    SoundscapesPageTest()
    {
        view.setSelectedPage(OrlixSettingsPage::soundscapes);
        view.show();
    }

    template<typename T>
    T *child(const char *name) const
    {
        return SettingsTest::child<T>(view, name);
    }

    QString header() const { return child<ElidedLabel>("soundscapesPlaybackStatus")->text(); }

    // Starts the built-in station and lets its player report that it plays.
    void playRadio()
    {
        QuranAudioManager &radio = state->quranAudioManager();
        radio.togglePlayPause(); // plays the selected station, or resumes it
        auto *player = static_cast<FakeAudioPlayer *>(radio.player());
        ASSERT_NE(player, nullptr);
        player->report(AudioPlayer::TimeControlStatus::Playing);
        clock.advance(std::chrono::milliseconds(0)); // the radio looks on its clock
        ASSERT_EQ(radio.status(), QuranPlayerStatus::playing());
    }

    // A station manager reading the stored defaults afresh.
    std::optional<QuranRadioStation> storedCustomStation()
    {
        return QuranAudioManager(defaults, *services.audio, clock).customStation();
    }

    void type(const char *field, const QString &text)
    {
        auto *edit = child<OrlixTextField>(field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    SettingsView view{*state, updates};
};

} // namespace

TEST_F(SoundscapesPageTest, FreshDefaultsShowTheBellAndTheReminderSwitchWrites)
{
    EXPECT_EQ(child<MenuPicker>("soundscapesFocusSound")->currentIndex(), 0);
    EXPECT_EQ(child<SegmentedPicker>("soundscapesEventSound")->currentIndex(), 0);
    EXPECT_TRUE(child<OrlixSwitch>("soundscapesReminderAlerts")->isChecked());
    EXPECT_TRUE(child<OrlixButton>("soundscapesTestSound")->isEnabled());
    EXPECT_EQ(header(), u"Ready"_s);
    EXPECT_FALSE(child<OrlixButton>("customRadioRemove")->isVisibleTo(&view));

    // The switch sets the setting and the state; a page built again shows it.
    QTest::mouseClick(child<OrlixSwitch>("soundscapesReminderAlerts"), Qt::LeftButton);
    EXPECT_FALSE(view.viewSettings().reminderAlertsEnabled());
    EXPECT_FALSE(state->reminderAlertsEnabled());
    view.setSelectedPage(OrlixSettingsPage::general);
    view.setSelectedPage(OrlixSettingsPage::soundscapes);
    EXPECT_FALSE(child<OrlixSwitch>("soundscapesReminderAlerts")->isChecked());
}

// Test plays the chosen event sound, never the focus sound, and is off
// while the event sound is.
TEST_F(SoundscapesPageTest, TestPlaysTheEventSoundThroughTheSoundPlayer)
{
    auto *focus = child<MenuPicker>("soundscapesFocusSound");
    focus->menu()->findChild<QAction *>(u"menuPickerItem3"_s)->trigger(); // Digital
    EXPECT_EQ(view.viewSettings().focusAlertSound(), u"digital"_s);

    auto *event = child<SegmentedPicker>("soundscapesEventSound");
    auto *test = child<OrlixButton>("soundscapesTestSound");
    QTest::mouseClick(event, Qt::LeftButton, {}, event->segmentRect(3).center().toPoint());
    EXPECT_EQ(view.viewSettings().calendarAlertSound(), u"off"_s);
    EXPECT_FALSE(test->isEnabled());

    QTest::mouseClick(event, Qt::LeftButton, {}, event->segmentRect(1).center().toPoint());
    EXPECT_EQ(view.viewSettings().calendarAlertSound(), u"ocean"_s);
    ASSERT_TRUE(test->isEnabled());
    QTest::mouseClick(test, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !services.sounds->played.empty(); }));
    ASSERT_EQ(services.sounds->played.size(), 1u);
    EXPECT_TRUE(services.sounds->played.front().first.endsWith(u"Kolu-ocean-alert.wav"_s))
        << services.sounds->played.front().first.toStdString();
}

TEST_F(SoundscapesPageTest, HeaderFollowsTheRadioAndTheAmbientLoop)
{
    auto *label = child<ElidedLabel>("soundscapesPlaybackStatus");
    playRadio();
    EXPECT_EQ(header(), u"Playing"_s);
    EXPECT_EQ(inkOf(label), Ink::green);

    // Radio paused while an ambient loop plays.
    state->quranAudioManager().togglePlayPause();
    EXPECT_NE(state->quranAudioManager().status(), QuranPlayerStatus::playing());
    SoundscapeAudioManager &ambient = state->soundscapeAudioManager();
    const SoundscapeTrack track = ambient.tracks().front();
    ASSERT_TRUE(writeFile(home.path(u"soundscapes/"_s + track.filename)));
    ambient.play(track);
    ASSERT_TRUE(ambient.isPlaying());
    EXPECT_EQ(header(), u"Playing"_s);
    EXPECT_EQ(inkOf(label), Ink::green);
    ambient.stop();
    EXPECT_EQ(header(), u"Ready"_s);
    EXPECT_EQ(inkOf(label), Ink::other);

    // Turning the built-in station off while it plays stops it.
    playRadio();
    auto *bahrain = child<OrlixSwitch>("soundscapesBahrainStation");
    ASSERT_TRUE(bahrain->isChecked());
    QTest::mouseClick(bahrain, Qt::LeftButton);
    EXPECT_FALSE(state->quranAudioManager().isBahrainStationEnabled());
    EXPECT_NE(state->quranAudioManager().status(), QuranPlayerStatus::playing());
    EXPECT_EQ(header(), u"Ready"_s);
    EXPECT_FALSE(bahrain->isChecked());
}

TEST_F(SoundscapesPageTest, CustomStationSavesTrimmedRejectsHttpAndRemoves)
{
    auto *save = child<OrlixButton>("customRadioSave");
    auto *message = child<ElidedLabel>("customRadioMessage");
    // Blank names keep the button off.
    type("customRadioName", u"   "_s);
    type("customRadioStreamURL", u"https://radio.example/live/stream.m3u8"_s);
    EXPECT_FALSE(save->isEnabled());

    type("customRadioName", u"  Name  "_s);
    ASSERT_TRUE(save->isEnabled());
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(child<OrlixTextField>("customRadioName")->text(), u"Name"_s);
    EXPECT_EQ(message->text(), u"Custom station saved."_s);
    EXPECT_EQ(inkOf(message), Ink::green);
    EXPECT_EQ(child<ElidedLabel>("customRadioBadge")->text(), u"1 of 1"_s);
    EXPECT_TRUE(child<OrlixButton>("customRadioRemove")->isVisibleTo(&view));
    ASSERT_TRUE(storedCustomStation());
    EXPECT_EQ(storedCustomStation()->nameEnglish, u"Name"_s);

    // A plain-http address is refused by Return in the address field; the
    // saved station stays as it was.
    type("customRadioName", u"Other"_s);
    type("customRadioStreamURL", u"http://radio.example/live"_s);
    QTest::keyClick(child<OrlixTextField>("customRadioStreamURL"), Qt::Key_Return);
    EXPECT_EQ(message->text(), u"Enter a valid HTTPS live stream URL."_s);
    EXPECT_EQ(inkOf(message), Ink::red);
    EXPECT_EQ(child<OrlixTextField>("customRadioStreamURL")->text(), u"http://radio.example/live"_s);
    EXPECT_EQ(storedCustomStation()->nameEnglish, u"Name"_s);

    QTest::mouseClick(child<OrlixButton>("customRadioRemove"), Qt::LeftButton);
    EXPECT_TRUE(child<OrlixTextField>("customRadioName")->text().isEmpty());
    EXPECT_TRUE(child<OrlixTextField>("customRadioStreamURL")->text().isEmpty());
    EXPECT_EQ(message->text(), u"Custom station removed."_s);
    EXPECT_EQ(inkOf(message), Ink::green);
    EXPECT_FALSE(child<OrlixButton>("customRadioRemove")->isVisibleTo(&view));
    EXPECT_FALSE(storedCustomStation());
}

} // namespace kolu::test
