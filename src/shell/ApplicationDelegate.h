#pragma once

#include "shell/rules/StatusMenuRules.h"
#include "state/AppServices.h"

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

namespace kolu {

class AppState;
class Clock;
class ClockTimer;
class DisplayLoss;
class Network;
class OrlixUpdateController;
class PanelWindowing;
class PointerMotion;
class RailHover;
class RailMemoryRelease;
class RailPanel;
class StatusItem;
class UserDefaults;

class ApplicationDelegate;

// What other parts of the interface plug into the shell, each built on
// demand. A part that is not given is simply not offered.
struct ShellParts {
    // The rail's views, given the whole panel.
    std::function<QWidget *(AppState &state, QWidget *parent)> railContent;
    // The settings window; made once and kept.
    std::function<QWidget *(ApplicationDelegate &delegate)> settingsWindow;
    // The first-run onboarding; `finish` marks it done and closes it.
    std::function<QWidget *(ApplicationDelegate &delegate, std::function<void()> finish)> onboardingWindow;
    // Whether a compositing manager blends translucent windows.
    std::function<bool()> isCompositing;
    // The window-system layer for the panel; the system's when not given.
    std::function<std::unique_ptr<PanelWindowing>()> panelWindowing;
    // Where the pointer is, in global coordinates; QCursor::pos() when not given.
    std::function<QPoint()> pointer;
    // Run once, on the event loop, after the rail's first frame is painted
    // (or when the status item comes without one): what the program sets up
    // that the frame does not need.
    std::function<void()> afterFirstFrame;
};

// Owns the application state and the update controller, and runs the
// visible program: the rail panel with its hover poll, the status item, the
// settings and onboarding windows, and the saving at the end.
class ApplicationDelegate : public QObject {
    Q_OBJECT
public:
    // `defaults` and `clock` must outlive the object.
    ApplicationDelegate(UserDefaults &defaults, Clock &clock, AppServices services, ShellParts parts = {},
                        QObject *parent = nullptr);
    ~ApplicationDelegate() override;

    // The launch after the single-instance checks: the rail panel and its
    // hover poll, the state's start, and the onboarding 0.7 s later on a
    // first launch. The status item comes once the rail's first frame is
    // painted, or kStatusItemLatestDelay after the start when no frame is.
    void start();
    // Saves the state first, then stops the hover poll and its pending work.
    // Safe to call more than once.
    void terminate();

    void showSettingsWindow();
    void showOnboardingWindow();

    // The status menu's commands.
    void runStatusCommand(StatusCommand command);
    // A settings page's Open button: the rail opens on `module` and stays
    // out for the status menu's hold; the keyboard stays where it is. A
    // module hidden from the rail opens nothing.
    void openModuleFromSettings(RailModule module);

    AppState &state() const { return *m_state; }
    OrlixUpdateController &updateController() const { return *m_updateController; }
    RailPanel *railPanel() const { return m_railPanel.get(); }
    RailHover *railHover() const { return m_hover; }
    RailMemoryRelease *railMemoryRelease() const { return m_memoryRelease; }
    StatusItem *statusItem() const { return m_statusItem; }
    QWidget *settingsWindow() const { return m_settingsWindow; }
    QWidget *onboardingWindow() const { return m_onboardingWindow; }

    static constexpr int kOnboardingDelayMs = 700;
    static constexpr std::chrono::milliseconds kStatusItemLatestDelay{2000};

private:
    void createRailWindow();
    // Paints glass as the rail panel shows it now: see-through while a
    // compositor blends the panel, opaque otherwise.
    void followCompositor();
    void firstFrameShown();
    void finishLaunch();
    void connectStateCallbacks();
    void bringToFront(QWidget *window);
    void prepareWindow(QWidget *window);

    UserDefaults &m_defaults;
    Clock &m_clock;
    ShellParts m_parts;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<Network> m_network;
    std::unique_ptr<OrlixUpdateController> m_updateController;
    std::unique_ptr<PanelWindowing> m_windowing;
    std::unique_ptr<RailPanel> m_railPanel;
    RailHover *m_hover = nullptr;
    RailMemoryRelease *m_memoryRelease = nullptr;
    StatusItem *m_statusItem = nullptr;
    ClockTimer *m_onboardingDelay = nullptr;
    ClockTimer *m_statusItemDelay = nullptr;
    QPointer<QWidget> m_settingsWindow;
    QPointer<QWidget> m_onboardingWindow;
    std::unique_ptr<DisplayLoss> m_displayLoss;
    // Lets the hover poll rest while the real pointer does.
    std::unique_ptr<PointerMotion> m_pointerMotion;
    bool m_terminated = false;
    // The window manager's decorations as last seen around one of our
    // windows: the next window is centred with them before it shows.
    QMargins m_frameExtents;
};

} // namespace kolu
