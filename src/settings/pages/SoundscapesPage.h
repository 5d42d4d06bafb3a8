#pragma once

#include <QString>
#include <QWidget>

namespace kolu {

class AppState;
class CustomRadioStationEditor;
class ElidedLabel;
class MenuPicker;
class OrlixButton;
class OrlixSwitch;
class SegmentedPicker;
class SettingsView;

// "Playing" while the radio plays or an ambient loop does, else "Ready".
QString soundscapesPlaybackText(const AppState &state);

// The audio page: what plays now, the focus and event alert sounds with a
// test of the event sound, reminder alerts, a way into the Soundscapes
// module, the built-in station switch and the custom station editor. It
// keeps no state: every control shows the stored setting or the audio
// managers' own values and follows them while the page is open.
class SoundscapesPage : public QWidget {
    Q_OBJECT
public:
    explicit SoundscapesPage(SettingsView &view, QWidget *parent = nullptr);

private:
    void sync();
    void testEventSound();

    SettingsView &m_view;
    ElidedLabel *m_playback;
    MenuPicker *m_focusSound;
    SegmentedPicker *m_eventSound;
    OrlixButton *m_test;
    OrlixSwitch *m_reminderAlerts;
    OrlixSwitch *m_bahrainStation;
};

} // namespace kolu
