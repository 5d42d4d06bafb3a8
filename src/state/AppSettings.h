#pragma once

#include "model/Enums.h"
#include "state/RailModules.h"

#include <QHash>
#include <QString>

namespace kolu {

class UserDefaults;

// Every setting as the application state first sees it. A missing key, a
// value of the wrong type and a name that matches no case all give the
// setting's default.
struct AppSettings {
    QString selectedWebSearchProviderID = QStringLiteral("google");
    int clipboardHistoryLimit = 40;
    bool showMinimizeAllAppsButton = true;
    QString selectedAppleNoteFolderID;
    WallpaperLibrary wallpaperLibrary = WallpaperLibrary::noir;
    bool wallpaperApplyToAllDisplays = false;
    QString wallpaperLocalFolderName;
    QHash<QString, int> calendarAlertLeadMinutesByEventID;
    bool reminderAlertsEnabled = true;
    RailModuleOrder railModuleOrder = railmodules::orderFromStored({});
    RailModuleSet hiddenRailModules;
    RailEdge railEdge = RailEdge::right;
    RailSize railSize = RailSize::standard;
    RailVerticalPosition railVerticalPosition = RailVerticalPosition::center;
    double statusMenuOpenHoldDuration = 4.0;

    static AppSettings load(const UserDefaults &defaults);
};

// The history limits a user can choose; anything else reads as 40.
int clipboardHistoryLimitFromStored(std::optional<qint64> stored);

// The status-menu hold time kept between 1 and 10 seconds; not-a-number gives 1.
double clampedStatusMenuHoldDuration(double seconds);

} // namespace kolu
