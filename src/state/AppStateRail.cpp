// Which modules the rail shows, in which order, which one is selected, and
// whether the rail is revealed and its panel expanded.
#include "state/AppState.h"

#include "services/notifications/NotificationService.h"

using namespace Qt::StringLiterals;

#include <algorithm>

namespace kolu {

RailModuleOrder AppState::visibleRailModules() const
{
    return railmodules::visible(m_railModuleOrder, m_hiddenRailModules);
}

void AppState::ensureSelectedModuleIsVisible()
{
    const RailModuleOrder visible = visibleRailModules();
    if (std::find(visible.begin(), visible.end(), m_selectedModule) == visible.end())
        setSelectedModule(visible.front());
}

void AppState::setRailModule(RailModule module, bool visible)
{
    if (visible) {
        RailModuleSet hidden = m_hiddenRailModules;
        hidden.remove(module);
        setHiddenRailModules(std::move(hidden));
        loadModuleDataIfNeeded(module);
        return;
    }
    // At least one module always stays visible.
    if (visibleRailModules().size() <= 1)
        return;
    RailModuleSet hidden = m_hiddenRailModules;
    hidden.insert(module);
    setHiddenRailModules(std::move(hidden));
    deactivateModule(module);
}

void AppState::moveRailModule(RailModule module, int toVisibleIndex)
{
    const RailModuleOrder visible = visibleRailModules();
    if (std::find(visible.begin(), visible.end(), module) == visible.end())
        return;
    setRailModuleOrder(railmodules::moved(m_railModuleOrder, m_hiddenRailModules, module, toVisibleIndex));
}

void AppState::openModule(RailModule module)
{
    const RailModuleOrder visible = visibleRailModules();
    if (std::find(visible.begin(), visible.end(), module) == visible.end())
        return;
    setSelectedModule(module);
    expandPanel();
    loadModuleDataIfNeeded(module);
}

void AppState::expandPanel()
{
    if (!m_isDockRevealed)
        setIsDockRevealed(true);
    if (!m_isExpanded)
        setIsExpanded(true);
}

void AppState::hideToEdge()
{
    if (m_isExpanded)
        setIsExpanded(false);
    if (m_isDockRevealed)
        setIsDockRevealed(false);
}

void AppState::requestSettings()
{
    Q_EMIT showOrlixSettings();
}

void AppState::requestOnboarding()
{
    Q_EMIT showOrlixOnboarding();
}

void AppState::requestChromeLayout()
{
    Q_EMIT chromeNeedsLayout();
}

void AppState::deactivateModule(RailModule module)
{
    switch (module) {
    case RailModule::today:
        // A fetch on its way keeps its loading flag and clears it when it
        // ends, so showing the module again does not start a second one.
        setTodayWeather(std::nullopt);
        setTodayWeatherStatus({{}, m_todayWeatherStatus.tint});
        break;
    case RailModule::calendar:
        setCalendarEvents({});
        setActiveCalendarAlert(std::nullopt);
        Q_EMIT chromeNeedsLayout();
        m_firedCalendarAlertKeys.clear();
        notificationService().cancelPendingNotifications({u"meeting-"_s});
        break;
    case RailModule::prayers:
        setActivePrayerAlert(std::nullopt);
        Q_EMIT chromeNeedsLayout();
        setPrayerStatus({{}, m_prayerStatus.tint});
        m_firedPrayerAlertKeys.clear();
        m_snoozedPrayerDates.clear();
        // Also covers the snoozed prayers' "prayer-snooze-" requests.
        notificationService().cancelPendingNotifications({u"prayer-"_s});
        break;
    case RailModule::notes:
        setAppleNotes({});
        setAppleNoteFolders({});
        break;
    case RailModule::focus:
        if (m_pomodoro.isRunning)
            break; // a running timer keeps its alert
        setPomodoroAlertVisible(false);
        Q_EMIT chromeNeedsLayout();
        break;
    case RailModule::links:
        setClipboardPulseActive(false);
        Q_EMIT chromeNeedsLayout();
        break;
    case RailModule::fileTray: setSelectedFileTrayIDs({}); break;
    case RailModule::wallpapers:
        setWallpaperItems({});
        setWallpaperCandidate(std::nullopt);
        setWallpaperStatus({{}, m_wallpaperStatus.tint});
        break;
    case RailModule::reminders:
        setReminderList({});
        setActiveReminderAlert(std::nullopt);
        Q_EMIT chromeNeedsLayout();
        m_firedReminderAlertKeys.clear();
        m_snoozedReminderDates.clear();
        notificationService().cancelPendingNotifications({u"reminder-"_s});
        break;
    case RailModule::nowPlaying: setNowPlaying(idleNowPlayingItem()); break;
    }
}

void AppState::deactivateHiddenModules()
{
    for (RailModule module : allCases<RailModule>()) {
        if (m_hiddenRailModules.contains(module))
            deactivateModule(module);
    }
}

} // namespace kolu
