#include "state/AppSettings.h"

#include "model/UserDefaults.h"

#include <QJsonObject>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QHash<QString, int> leadMinutesFromStored(const std::optional<QJsonObject> &stored)
{
    QHash<QString, int> leads;
    if (!stored)
        return leads;
    for (auto it = stored->constBegin(); it != stored->constEnd(); ++it) {
        const double value = it->toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!it->isDouble() || !std::isfinite(value) || std::trunc(value) != value
            || std::abs(value) > std::numeric_limits<int>::max())
            return {}; // one value that is no integer makes the whole map count as absent
        leads.insert(it.key(), static_cast<int>(value));
    }
    return leads;
}

} // namespace

int clipboardHistoryLimitFromStored(std::optional<qint64> stored)
{
    const qint64 value = stored.value_or(0);
    return (value == 10 || value == 20 || value == 30 || value == 40) ? static_cast<int>(value) : 40;
}

double clampedStatusMenuHoldDuration(double seconds)
{
    if (std::isnan(seconds))
        return 1.0;
    return std::min(std::max(seconds, 1.0), 10.0);
}

AppSettings AppSettings::load(const UserDefaults &defaults)
{
    using k = SettingsKey;
    AppSettings s;
    s.selectedWebSearchProviderID = defaults.stringValue(k::selectedWebSearchProviderID);
    s.clipboardHistoryLimit = clipboardHistoryLimitFromStored(defaults.integer(k::clipboardHistoryLimit));
    s.showMinimizeAllAppsButton = defaults.boolValue(k::showMinimizeAllAppsButton);
    s.selectedAppleNoteFolderID = defaults.stringValue(k::selectedAppleNoteFolderID);
    s.wallpaperLibrary =
        fromRawValue<WallpaperLibrary>(defaults.stringValue(k::wallpaperLibrary)).value_or(WallpaperLibrary::noir);
    s.wallpaperApplyToAllDisplays = defaults.boolValue(k::wallpaperApplyToAllDisplays);
    s.wallpaperLocalFolderName = defaults.stringValue(k::wallpaperLocalFolderName);
    s.calendarAlertLeadMinutesByEventID = leadMinutesFromStored(defaults.object(k::calendarAlertLeadMinutesByEventID));
    s.reminderAlertsEnabled = defaults.boolValue(k::reminderAlertsEnabled);
    s.railModuleOrder = railmodules::orderFromStored(defaults.stringListValue(k::railModuleOrder));
    s.hiddenRailModules = railmodules::hiddenFromStored(defaults.stringListValue(k::hiddenRailModules));

    const QString edge = defaults.stringValue(k::railEdge);
    s.railEdge = edge == u"left"_s ? RailEdge::left : edge == u"top"_s ? RailEdge::top : RailEdge::right;
    s.railSize = defaults.stringValue(k::railSize) == u"large"_s ? RailSize::large : RailSize::standard;
    const QString position = defaults.stringValue(k::railVerticalPosition);
    s.railVerticalPosition = position == u"top"_s      ? RailVerticalPosition::top
                             : position == u"bottom"_s ? RailVerticalPosition::bottom
                                                       : RailVerticalPosition::center;
    s.statusMenuOpenHoldDuration = defaults.numberValue(k::statusMenuOpenHoldDuration);
    return s;
}

} // namespace kolu
