#include "SettingsAudioViews.h"
#include "platform/net/backend/QtNetwork.h"

#include "FakeAudioPlayer.h"
#include "GalleryState.h"
#include "ManualClock.h"

#include "model/UserDefaults.h"
#include "services/info/OrlixUpdateController.h"
#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"
#include "settings/SettingsView.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"

#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

// A service with a feed address that nobody asks: the gallery's clock never
// reaches the first automatic look.
struct ConfiguredUpdates {
    QtNetwork network;
    OrlixUpdateController controller{
        network, state().defaults(),
        OrlixUpdateConfiguration::make(u"https://updates.kolu.example/feed.xml"_s, u"gallery-key"_s), clock()};
};
ConfiguredUpdates *configured = nullptr;

OrlixUpdateController &configuredController()
{
    if (!configured) {
        configured = new ConfiguredUpdates;
        qAddPostRoutine([] {
            delete configured;
            configured = nullptr;
        });
    }
    return configured->controller;
}

struct Unconfigured {
    QtNetwork network;
    OrlixUpdateController controller{network, state().defaults(), std::nullopt, clock()};
};
Unconfigured *unconfigured = nullptr;

OrlixUpdateController &unconfiguredController()
{
    if (!unconfigured) {
        unconfigured = new Unconfigured;
        qAddPostRoutine([] {
            delete unconfigured;
            unconfigured = nullptr;
        });
    }
    return unconfigured->controller;
}

// The window reads its look from the state's defaults: give them the look
// the gallery draws.
SettingsView *windowIn(const Context &context, OrlixUpdateController &controller)
{
    auto *view = new SettingsView(state(), controller);
    view->viewSettings().setThemeRaw(rawValue(context.style.theme()));
    view->viewSettings().setAppearanceModeRaw(context.style.colorScheme() == ColorScheme::dark ? u"dark"_s
                                                                                               : u"light"_s);
    return view;
}

// Every sound setting back to its first-run value, nothing playing.
void quietSounds(SettingsView &view)
{
    AppState &app = state();
    app.quranAudioManager().stop();
    app.soundscapeAudioManager().stop();
    app.quranAudioManager().setBahrainStationEnabled(true);
    app.quranAudioManager().removeCustomStation();
    view.viewSettings().setFocusAlertSound(u"calendar"_s);
    view.viewSettings().setCalendarAlertSound(u"calendar"_s);
    app.setReminderAlertsEnabled(true);
}

void playRadio()
{
    QuranAudioManager &radio = state().quranAudioManager();
    radio.togglePlayPause();
    if (auto *player = static_cast<test::FakeAudioPlayer *>(radio.player()))
        player->report(AudioPlayer::TimeControlStatus::Playing);
    clock().advance(std::chrono::milliseconds(0));
}

QWidget *settle(SettingsView *view, OrlixSettingsPage page, bool scrolledToEnd)
{
    view->setSelectedPage(page);
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->show();
    QCoreApplication::processEvents();
    for (auto *animation : view->findChildren<QVariantAnimation *>())
        animation->setCurrentTime(animation->totalDuration());
    if (scrolledToEnd) {
        auto *scroll = view->findChild<QScrollArea *>(u"settingsContentScroll"_s);
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    }
    return view;
}

enum class Sound { playing, eventOff, editorEmpty, editorSaved, editorRefused };

QWidget *soundscapes(const Context &context, Sound sound)
{
    SettingsView *view = windowIn(context, unconfiguredController());
    quietSounds(*view);
    SettingsFormEntries &entries = view->formEntries();
    switch (sound) {
    case Sound::playing:
        view->viewSettings().setFocusAlertSound(u"digital"_s);
        view->viewSettings().setCalendarAlertSound(u"ocean"_s);
        playRadio();
        break;
    case Sound::eventOff:
        view->viewSettings().setCalendarAlertSound(u"off"_s);
        state().setReminderAlertsEnabled(false);
        state().quranAudioManager().setBahrainStationEnabled(false);
        break;
    case Sound::editorEmpty: break;
    case Sound::editorSaved:
        state().quranAudioManager().saveCustomStation(u"Night Recitation"_s,
                                                      u"https://radio.example.com/live/stream.m3u8"_s);
        view->loadCustomRadioDraft();
        entries.customRadioMessage = u"Custom station saved."_s;
        break;
    case Sound::editorRefused:
        entries.customRadioName = u"Morning Station"_s;
        entries.customRadioStreamURL = u"http://radio.example.com/live"_s;
        entries.customRadioMessage = u"Enter a valid HTTPS live stream URL."_s;
        entries.customRadioMessageIsError = true;
        break;
    }
    const bool editor = sound != Sound::playing && sound != Sound::eventOff;
    return settle(view, OrlixSettingsPage::soundscapes, editor);
}

QWidget *configuredUpdates(const Context &context, bool checked)
{
    OrlixUpdateController &controller = configuredController();
    UserDefaults &defaults = state().defaults();
    if (checked) {
        defaults.setDate(SettingsKey::lastUpdateCheckDate, clock().now().addSecs(-3 * 3600));
        controller.setAutomaticallyChecksForUpdates(true);
    } else {
        defaults.remove(SettingsKey::lastUpdateCheckDate);
        controller.setAutomaticallyChecksForUpdates(false);
    }
    return settle(windowIn(context, controller), OrlixSettingsPage::updates, false);
}

} // namespace

std::vector<View> settingsAudioViews()
{
    const QSize window(SettingsView::kWidth, SettingsView::kHeight);
    return {
        {"settings-updates-configured", window, false,
         [](const Context &context) { return configuredUpdates(context, false); }},
        {"settings-updates-checked", window, false,
         [](const Context &context) { return configuredUpdates(context, true); }},
        {"settings-updates-history", window, false,
         [](const Context &context) {
             return settle(windowIn(context, unconfiguredController()), OrlixSettingsPage::updates, true);
         }},
        {"settings-soundscapes-playing", window, false,
         [](const Context &context) { return soundscapes(context, Sound::playing); }},
        {"settings-soundscapes-event-off", window, false,
         [](const Context &context) { return soundscapes(context, Sound::eventOff); }},
        {"settings-radio-empty", window, false,
         [](const Context &context) { return soundscapes(context, Sound::editorEmpty); }},
        {"settings-radio-saved", window, false,
         [](const Context &context) { return soundscapes(context, Sound::editorSaved); }},
        {"settings-radio-refused", window, false,
         [](const Context &context) { return soundscapes(context, Sound::editorRefused); }},
    };
}

} // namespace kolu::gallery
