#pragma once

#include "model/Models.h"
#include "state/RailModules.h"
#include "state/StatusTint.h"

#include <QHash>
#include <QSet>
#include <QUuid>

#include <map>
#include <optional>
#include <vector>

namespace kolu {

using PrayerNotificationStates = std::map<QString, bool>;
using CalendarAlertLeads = QHash<QString, int>;
using FileTraySelection = QSet<QUuid>;

// The open reminders and the state of the last reminders call, published as
// one field: an answer that brings both is one change, so a view showing
// them redraws once.
struct ReminderList {
    RemindersConnectionState connection; // notDetermined until a call answers
    std::vector<ReminderItem> items;

    friend bool operator==(const ReminderList &, const ReminderList &) = default;
};

// Every published field of the application state, in declaration order:
// X(name, setter, type). The list generates the field enumeration, the
// getters and the setters, so they can never disagree.
#define KOLU_APP_STATE_FIELDS(X)                                                                                       \
    X(isExpanded, setIsExpanded, bool)                                                                                 \
    X(isDockRevealed, setIsDockRevealed, bool)                                                                         \
    X(calendarEvents, setCalendarEvents, std::vector<CalendarEvent>)                                                   \
    X(todayWeather, setTodayWeather, std::optional<TodayWeather>)                                                      \
    X(isLoadingTodayWeather, setIsLoadingTodayWeather, bool)                                                           \
    X(todayWeatherStatusMessage, setTodayWeatherStatusMessage, QString)                                                \
    X(todayWeatherStatusTint, setTodayWeatherStatusTint, StatusTint)                                                   \
    X(links, setLinks, std::vector<SavedLink>)                                                                         \
    X(webSearchProviders, setWebSearchProviders, std::vector<WebSearchProvider>)                                       \
    X(selectedWebSearchProviderID, setSelectedWebSearchProviderID, QString)                                            \
    X(clipboardItems, setClipboardItems, std::vector<ClipboardItem>)                                                   \
    X(clipboardHistoryLimit, setClipboardHistoryLimit, int)                                                            \
    X(fileTrayItems, setFileTrayItems, std::vector<FileTrayItem>)                                                      \
    X(selectedFileTrayIDs, setSelectedFileTrayIDs, FileTraySelection)                                                  \
    X(fileTrayAirDropStatusMessage, setFileTrayAirDropStatusMessage, QString)                                          \
    X(fileTrayAirDropStatusTint, setFileTrayAirDropStatusTint, StatusTint)                                             \
    X(systemAccessStatusMessage, setSystemAccessStatusMessage, QString)                                                \
    X(systemAccessStatusTint, setSystemAccessStatusTint, StatusTint)                                                   \
    X(showMinimizeAllAppsButton, setShowMinimizeAllAppsButton, bool)                                                   \
    X(reminderList, setReminderList, ReminderList)                                                                     \
    X(prayerSettings, setPrayerSettings, PrayerSettings)                                                               \
    X(prayerDay, setPrayerDay, std::optional<PrayerDay>)                                                               \
    X(isLoadingPrayers, setIsLoadingPrayers, bool)                                                                     \
    X(prayerStatusMessage, setPrayerStatusMessage, QString)                                                            \
    X(prayerStatusTint, setPrayerStatusTint, StatusTint)                                                               \
    X(prayerNotificationStates, setPrayerNotificationStates, PrayerNotificationStates)                                 \
    X(activePrayerAlert, setActivePrayerAlert, std::optional<ActivePrayerAlert>)                                       \
    X(appleNotes, setAppleNotes, std::vector<AppleNoteItem>)                                                           \
    X(appleNoteFolders, setAppleNoteFolders, std::vector<AppleNoteFolder>)                                             \
    X(isLoadingAppleNotes, setIsLoadingAppleNotes, bool)                                                               \
    X(isLoadingAppleNoteFolders, setIsLoadingAppleNoteFolders, bool)                                                   \
    X(selectedAppleNoteFolderID, setSelectedAppleNoteFolderID, QString)                                                \
    X(nowPlaying, setNowPlaying, NowPlayingItem)                                                                       \
    X(wallpaperLibrary, setWallpaperLibrary, WallpaperLibrary)                                                         \
    X(wallpaperApplyToAllDisplays, setWallpaperApplyToAllDisplays, bool)                                               \
    X(wallpaperItems, setWallpaperItems, std::vector<WallpaperCandidate>)                                              \
    X(wallpaperCandidate, setWallpaperCandidate, std::optional<WallpaperCandidate>)                                    \
    X(isLoadingWallpaper, setIsLoadingWallpaper, bool)                                                                 \
    X(isApplyingWallpaper, setIsApplyingWallpaper, bool)                                                               \
    X(wallpaperStatusMessage, setWallpaperStatusMessage, QString)                                                      \
    X(wallpaperStatusTint, setWallpaperStatusTint, StatusTint)                                                         \
    X(wallpaperLocalFolderName, setWallpaperLocalFolderName, QString)                                                  \
    X(calendarAlertLeadMinutesByEventID, setCalendarAlertLeadMinutesByEventID, CalendarAlertLeads)                     \
    X(activeCalendarAlert, setActiveCalendarAlert, std::optional<CalendarEvent>)                                       \
    X(activeReminderAlert, setActiveReminderAlert, std::optional<ActiveReminderAlert>)                                 \
    X(reminderAlertsEnabled, setReminderAlertsEnabled, bool)                                                           \
    X(pomodoro, setPomodoro, PomodoroState)                                                                            \
    X(pomodoroAlertVisible, setPomodoroAlertVisible, bool)                                                             \
    X(clipboardPulse, setClipboardPulse, int)                                                                          \
    X(clipboardPulseActive, setClipboardPulseActive, bool)                                                             \
    X(railModuleOrder, setRailModuleOrder, RailModuleOrder)                                                            \
    X(hiddenRailModules, setHiddenRailModules, RailModuleSet)                                                          \
    X(isReorderingRail, setIsReorderingRail, bool)                                                                     \
    X(selectedModule, setSelectedModule, RailModule)                                                                   \
    X(railEdge, setRailEdge, RailEdge)                                                                                 \
    X(railSize, setRailSize, RailSize)                                                                                 \
    X(railVerticalPosition, setRailVerticalPosition, RailVerticalPosition)                                             \
    X(statusMenuOpenHoldDuration, setStatusMenuOpenHoldDuration, double)

// The item that means nothing is playing.
NowPlayingItem idleNowPlayingItem();

} // namespace kolu
