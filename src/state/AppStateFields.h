#pragma once

#include "model/Models.h"
#include "state/RailModules.h"
#include "state/StatusLine.h"

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
    // More open reminders wait past `items`: the fetch asks for one more
    // than it keeps, so a full list alone does not claim more.
    bool more = false;

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
    X(todayWeatherStatus, setTodayWeatherStatus, StatusLine)                                                           \
    X(links, setLinks, std::vector<SavedLink>)                                                                         \
    X(webSearchProviders, setWebSearchProviders, std::vector<WebSearchProvider>)                                       \
    X(selectedWebSearchProviderID, setSelectedWebSearchProviderID, QString)                                            \
    X(clipboardItems, setClipboardItems, std::vector<ClipboardItem>)                                                   \
    X(savedLinksUnreadable, setSavedLinksUnreadable, bool)                                                             \
    X(savedClipboardUnreadable, setSavedClipboardUnreadable, bool)                                                     \
    X(calendarFolderMissing, setCalendarFolderMissing, bool)                                                           \
    X(notesFolderMissing, setNotesFolderMissing, bool)                                                                 \
    X(clipboardHistoryLimit, setClipboardHistoryLimit, int)                                                            \
    X(fileTrayItems, setFileTrayItems, std::vector<FileTrayItem>)                                                      \
    X(selectedFileTrayIDs, setSelectedFileTrayIDs, FileTraySelection)                                                  \
    X(fileTrayAirDropStatus, setFileTrayAirDropStatus, StatusLine)                                                     \
    X(systemAccessStatus, setSystemAccessStatus, StatusLine)                                                           \
    X(showMinimizeAllAppsButton, setShowMinimizeAllAppsButton, bool)                                                   \
    X(reminderList, setReminderList, ReminderList)                                                                     \
    X(prayerSettings, setPrayerSettings, PrayerSettings)                                                               \
    X(prayerDay, setPrayerDay, std::optional<PrayerDay>)                                                               \
    X(isLoadingPrayers, setIsLoadingPrayers, bool)                                                                     \
    X(prayerStatus, setPrayerStatus, StatusLine)                                                                       \
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
    X(wallpaperStatus, setWallpaperStatus, StatusLine)                                                                 \
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

// The published fields by name: AppState::changed names the one that
// changed. Views that only follow changes include this header, not the
// state's.
#define KOLU_FIELD_NAME(name, setter, type) name,
enum class AppStateField { KOLU_APP_STATE_FIELDS(KOLU_FIELD_NAME) };
#undef KOLU_FIELD_NAME

// Each field's type under the field's name, for code that handles fields by
// name without the state object (the stored settings).
namespace fieldtype {
#define KOLU_FIELD_TYPE(name, setter, type) using name = type;
KOLU_APP_STATE_FIELDS(KOLU_FIELD_TYPE)
#undef KOLU_FIELD_TYPE
} // namespace fieldtype

// The published fields kept in the settings store, each with its key:
// X(name, key). Launch reads every one of them from its key, and a change
// writes it back in the form that key stores (see AppSettings.h). Defaults
// are the key table's. The wallpaper folder's name is only read here: the
// wallpaper service stores it beside the folder it names.
#define KOLU_APP_STATE_SETTINGS(X)                                                                                     \
    X(selectedWebSearchProviderID, selectedWebSearchProviderID)                                                        \
    X(clipboardHistoryLimit, clipboardHistoryLimit)                                                                    \
    X(showMinimizeAllAppsButton, showMinimizeAllAppsButton)                                                            \
    X(selectedAppleNoteFolderID, selectedAppleNoteFolderID)                                                            \
    X(wallpaperLibrary, wallpaperLibrary)                                                                              \
    X(wallpaperApplyToAllDisplays, wallpaperApplyToAllDisplays)                                                        \
    X(wallpaperLocalFolderName, wallpaperLocalFolderName)                                                              \
    X(calendarAlertLeadMinutesByEventID, calendarAlertLeadMinutesByEventID)                                            \
    X(reminderAlertsEnabled, reminderAlertsEnabled)                                                                    \
    X(railModuleOrder, railModuleOrder)                                                                                \
    X(hiddenRailModules, hiddenRailModules)                                                                            \
    X(railEdge, railEdge)                                                                                              \
    X(railSize, railSize)                                                                                              \
    X(railVerticalPosition, railVerticalPosition)                                                                      \
    X(statusMenuOpenHoldDuration, statusMenuOpenHoldDuration)

// The item that means nothing is playing.
NowPlayingItem idleNowPlayingItem();

} // namespace kolu
