#include "shell/ApplicationDelegate.h"

#include "model/Clock.h"
#include "model/UserDefaults.h"
#include "platform/windowing/PanelWindowing.h"
#include "platform/x11/CompositorWatch.h"
#include "platform/x11/DisplayLoss.h"
#include "platform/x11/FrameExtents.h"
#include "platform/x11/PointerMotion.h"
#include "platform/x11/WindowActivation.h"
#include "platform/net/Http.h"
#include "platform/net/NetModule.h"
#include "services/info/OrlixUpdateController.h"
#include "shell/FirstFrameReport.h"
#include "settings/SettingsView.h"
#include "shell/RailHover.h"
#include "shell/RailMemoryRelease.h"
#include "shell/rail/RailView.h"
#include "shell/RailPanel.h"
#include "shell/rules/WindowPlacement.h"
#include "shell/StatusItem.h"
#include "shell/WindowPlacementHold.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace kolu {

ApplicationDelegate::ApplicationDelegate(UserDefaults &defaults, Clock &clock, AppServices services, ShellParts parts,
                                         QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_parts(std::move(parts))
    , m_state(std::make_unique<AppState>(defaults, clock, std::move(services)))
    , m_network(NetModule::makeNetwork(clock))
    , m_updateController(
          std::make_unique<OrlixUpdateController>(*m_network, defaults, OrlixUpdateConfiguration::compiledIn(), clock))
{
    connect(m_state.get(), &AppState::showOrlixSettings, this, &ApplicationDelegate::showSettingsWindow);
    connect(m_state.get(), &AppState::showOrlixOnboarding, this, &ApplicationDelegate::showOnboardingWindow);
    connect(m_state.get(), &AppState::showDesktopAppsSettings, this, [this] {
        // The calendar, to-do and notes folders are chosen on the settings
        // page of the desktop's apps.
        showSettingsWindow();
        if (auto *view = qobject_cast<SettingsView *>(m_settingsWindow.data()))
            view->setSelectedPage(OrlixSettingsPage::appleApps);
    });
}

ApplicationDelegate::~ApplicationDelegate()
{
    // Everything that reads the state goes before it.
    delete m_hover;
    delete m_statusItem;
    m_railPanel.reset();
    delete m_settingsWindow.data();
    delete m_onboardingWindow.data();
}

void ApplicationDelegate::start()
{
    createRailWindow();
    // The start-up refresh and its network requests, and the status item,
    // wait for the rail's first frame.
    m_state->start(true);
    FirstFrameWatch::watch(
        m_railPanel->windowTitle(),
        [this](FirstFrameWatch::Stage stage) {
            if (stage == FirstFrameWatch::Stage::painted)
                firstFrameShown();
        },
        this);
    // A platform that exposes the window as it is shown has drawn it already.
    if (const QWindow *window = m_railPanel->windowHandle(); window && window->isExposed())
        firstFrameShown();
    // A rail the window manager never shows still gets its status item.
    if (!m_statusItem) {
        m_statusItemDelay = m_clock.createTimer(this);
        connect(m_statusItemDelay, &ClockTimer::timeout, this, &ApplicationDelegate::finishLaunch);
        m_statusItemDelay->start(kStatusItemLatestDelay, false);
    }
    // The X server going away ends the program at once: save on the way.
    m_displayLoss = std::make_unique<DisplayLoss>([this] { terminate(); });

    if (!m_defaults.boolValue(SettingsKey::hasCompletedOrlixOnboarding)) {
        m_onboardingDelay = m_clock.createTimer(this);
        connect(m_onboardingDelay, &ClockTimer::timeout, this, &ApplicationDelegate::showOnboardingWindow);
        m_onboardingDelay->start(std::chrono::milliseconds(kOnboardingDelayMs), false);
    }
}

void ApplicationDelegate::firstFrameShown()
{
    m_state->firstFrameShown();
    // At the loop's next turn: whatever else waited for the frame goes first.
    QTimer::singleShot(0, this, &ApplicationDelegate::finishLaunch);
}

// The tray icon and its menu (their icons drawn from vector pictures, the
// tray host asked over the session bus), the pointer watch (a connection of
// its own to the X server) and what the caller put off are not needed for
// the rail's first frame, which they would hold back. Runs once.
void ApplicationDelegate::finishLaunch()
{
    if (m_statusItemDelay)
        m_statusItemDelay->stop();
    if (m_statusItem || m_terminated)
        return;
    // A rail never shown still follows its folders and refreshes.
    m_state->firstFrameShown();
    // Until then the hover poll keeps its pace. A pointer given by the
    // caller moves without the X server seeing it.
    if (!m_parts.pointer && m_hover) {
        m_pointerMotion = createSystemPointerMotion();
        m_hover->setPointerMotion(m_pointerMotion.get());
    }
    m_statusItem = new StatusItem(
        *m_state, [this] { return m_updateController->isConfigured(); }, this);
    connect(m_statusItem, &StatusItem::commandTriggered, this, &ApplicationDelegate::runStatusCommand);
    connect(m_updateController.get(), &OrlixUpdateController::changed, m_statusItem, &StatusItem::refreshEnabling);
    m_statusItem->show();
    if (m_parts.afterFirstFrame)
        m_parts.afterFirstFrame();
}

void ApplicationDelegate::createRailWindow()
{
    m_windowing = m_parts.panelWindowing ? m_parts.panelWindowing() : createSystemPanelWindowing();
    const bool translucent = m_parts.isCompositing && m_parts.isCompositing();
    m_railPanel = std::make_unique<RailPanel>(*m_state, *m_windowing, translucent);
    followCompositor();
    if (m_parts.isCompositing) {
        m_railPanel->setCompositingProbe(m_parts.isCompositing);
        // A compositor that stops leaves what the panel does not draw opaque
        // until the panel is shaped again: at once, not at the next layout.
        auto *watch = new CompositorWatch(m_railPanel.get());
        connect(watch, &CompositorWatch::changed, this, &ApplicationDelegate::followCompositor);
        connect(watch, &CompositorWatch::changed, m_railPanel.get(), &RailPanel::relayout);
    }
    QWidget *content = m_parts.railContent ? m_parts.railContent(*m_state, m_railPanel.get()) : nullptr;
    if (content)
        m_railPanel->setContent(content);
    auto *view = qobject_cast<RailView *>(content);
    if (view) {
        // The view's regions are in its own coordinates; the panel places them.
        RailPanel *panel = m_railPanel.get();
        connect(view, &RailView::drawnRegionChanged, panel, &RailPanel::setDrawnRegion);
        connect(view, &RailView::shownRegionChanged, panel, &RailPanel::setShownRegion);
        connect(view, &RailView::ornamentRegionChanged, panel, &RailPanel::setOrnamentRegion);
        panel->setDrawnRegion(view->drawnRegion());
        panel->setShownRegion(view->shownRegion());
        panel->setOrnamentRegion(view->ornamentRegion());
    }
    m_railPanel->showPanel();
    m_hover = new RailHover(*m_state, *m_railPanel, m_clock, m_parts.pointer, this);
    if (view)
        connect(view, &RailView::interactionActiveChanged, m_hover, &RailHover::setInteractionActive);
    connect(m_railPanel.get(), &RailPanel::pointerInsideChanged, m_hover, &RailHover::setPointerInside);
    m_memoryRelease = new RailMemoryRelease(*m_state, m_clock, this);
    // The hidden layouts go with the caches, before the heap is trimmed.
    if (view)
        connect(m_memoryRelease, &RailMemoryRelease::releasing, view, &RailView::releaseHiddenLayouts);
    connectStateCallbacks();
    m_hover->start();
}

void ApplicationDelegate::followCompositor()
{
    // A compositor that starts after the panel was made without an alpha
    // channel (autostarted after Kolu) gets a panel with one. Glass is
    // see-through only where the panel can show it: one with an alpha
    // channel shows its colours unblended once the compositor stops. Every
    // glass surface repaints as the style tells it has changed, in the new
    // window's first picture.
    if (m_parts.isCompositing && m_parts.isCompositing())
        m_railPanel->becomeTranslucent();
    OrlixStyle::current().setGlassTier(glassTierFor(m_railPanel->composited(), false));
}

void ApplicationDelegate::connectStateCallbacks()
{
    RailPanel *panel = m_railPanel.get();
    RailHover *hover = m_hover;
    connect(m_state.get(), &AppState::expandedChanged, panel, [panel, hover] {
        panel->relayout();
        hover->refreshInterval();
    });
    connect(m_state.get(), &AppState::dockRevealChanged, hover, &RailHover::refreshInterval);
    connect(m_state.get(), &AppState::chromeNeedsLayout, panel, [panel, hover] {
        panel->raisePanel();
        panel->relayout();
        hover->refreshInterval();
    });
}

void ApplicationDelegate::terminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    m_state->persist();
    if (m_hover)
        m_hover->stop();
    if (m_onboardingDelay)
        m_onboardingDelay->stop();
    if (m_statusItemDelay)
        m_statusItemDelay->stop();
    if (m_memoryRelease)
        m_memoryRelease->cancel();
}

void ApplicationDelegate::bringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    // Asked for from the tray or a settings button: the window manager's
    // focus-stealing prevention must not keep it behind.
    requestUserActivation(window->windowHandle());
}

// A newly made settings or onboarding window: titled, closable and
// minimisable, of fixed size (no maximise button), its frame centred on the
// work area of the screen that holds the pointer.
void ApplicationDelegate::prepareWindow(QWidget *window)
{
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QPointer<QWidget> target(window);
    // Designed at a fixed size; on a work area shorter than that it takes
    // the area's height less its frame, and its pages scroll.
    const QSize designed = window->size();
    const int shortest = window->minimumSizeHint().height();
    // The client area is placed, not the frame: the window exists before it
    // is first placed, so the manager takes the position as the client's
    // (static gravity) and Qt's own idea of the frame plays no part.
    // Some managers place a new window by their own rule as they map it: it
    // is held where it belongs until the manager has taken it on.
    QPointer<WindowPlacementHold> hold(new WindowPlacementHold(window, m_clock));
    const auto centre = [target, area, designed, shortest, hold](const QMargins &frame) {
        if (!target)
            return;
        const QSize size = windowplacement::fittedClientSize(area, designed, frame, std::max(shortest, 0));
        if (target->size() != size)
            target->setFixedSize(size);
        const QPoint origin = windowplacement::centredFrameOrigin(area, size, frame);
        const QRect client(origin + QPoint(frame.left(), frame.top()), size);
        if (hold)
            hold->setTarget(client);
        target->setGeometry(client);
    };
    // Placed first with the decorations known now, else the last seen; the
    // manager tells this window's own when it takes the window on (some
    // before it shows, some only as they map it), and the window is centred
    // again with them.
    window->winId();
    const QMargins known = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    centre(known.isNull() ? m_frameExtents : known);
    auto *watch = new FrameExtentsWatch(window->windowHandle(), window);
    QPointer<ApplicationDelegate> self(this);
    connect(watch, &FrameExtentsWatch::changed, window, [self, target, watch, centre](QMargins frame) {
        if (self)
            self->m_frameExtents = frame;
        centre(frame);
        // Once shown the window is the user's to move.
        if (target && target->isVisible())
            watch->deleteLater();
    });
}

void ApplicationDelegate::showSettingsWindow()
{
    if (!m_settingsWindow && m_parts.settingsWindow) {
        m_settingsWindow = m_parts.settingsWindow(*this);
        if (m_settingsWindow) {
            // Closing hides it; the next request shows the same window.
            m_settingsWindow->setAttribute(Qt::WA_DeleteOnClose, false);
            prepareWindow(m_settingsWindow);
            if (auto *view = qobject_cast<SettingsView *>(m_settingsWindow.data()))
                view->setModuleOpener([this](RailModule module) { openModuleFromSettings(module); });
        }
    }
    if (m_settingsWindow)
        bringToFront(m_settingsWindow);
}

void ApplicationDelegate::showOnboardingWindow()
{
    if (!m_onboardingWindow && m_parts.onboardingWindow) {
        QPointer<ApplicationDelegate> self(this);
        m_onboardingWindow = m_parts.onboardingWindow(*this, [self] {
            if (!self)
                return;
            self->m_defaults.set(SettingsKey::hasCompletedOrlixOnboarding, true);
            if (QWidget *window = self->m_onboardingWindow) {
                self->m_onboardingWindow = nullptr;
                window->close();
                window->deleteLater();
            }
        });
        if (m_onboardingWindow) {
            m_onboardingWindow->setAttribute(Qt::WA_DeleteOnClose, false);
            prepareWindow(m_onboardingWindow);
        }
    }
    if (m_onboardingWindow)
        bringToFront(m_onboardingWindow);
}

void ApplicationDelegate::openModuleFromSettings(RailModule module)
{
    const RailModuleOrder visible = m_state->visibleRailModules();
    if (std::find(visible.begin(), visible.end(), module) == visible.end())
        return;
    // The pointer is over the settings window, away from the rail: without
    // the hold the next poll would send the rail back at once.
    if (m_hover)
        m_hover->holdStatusMenuOpenBriefly();
    if (m_railPanel)
        m_railPanel->raisePanel();
    m_state->openModule(module);
}

void ApplicationDelegate::runStatusCommand(StatusCommand command)
{
    const auto showRail = [this] {
        if (m_hover)
            m_hover->holdStatusMenuOpenBriefly();
        if (m_railPanel)
            m_railPanel->raisePanel();
    };
    // The expanded rail takes the keyboard, as an application brought to
    // the front does.
    const auto activateRail = [this] {
        if (m_railPanel)
            m_railPanel->activateWindow();
    };
    if (const auto module = statusmenu::moduleFor(command)) {
        showRail();
        m_state->openModule(*module);
        activateRail();
        return;
    }
    switch (command) {
    case StatusCommand::showKolu:
        showRail();
        m_state->expandPanel();
        activateRail();
        break;
    case StatusCommand::settings: showSettingsWindow(); break;
    case StatusCommand::checkForUpdates: m_updateController->checkForUpdates(); break;
    case StatusCommand::quit: QApplication::quit(); break;
    default: break;
    }
}

} // namespace kolu
