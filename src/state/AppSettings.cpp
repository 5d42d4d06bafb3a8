#include "state/AppSettings.h"

#include "model/UserDefaults.h"

#include <QJsonObject>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

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
    namespace k = settingskeys;
    AppSettings s;
    s.selectedWebSearchProviderID = defaults.string(key(k::selectedWebSearchProviderID)).value_or(u"google"_s);
    s.clipboardHistoryLimit = clipboardHistoryLimitFromStored(defaults.integer(key(k::clipboardHistoryLimit)));
    s.showMinimizeAllAppsButton = defaults.boolean(key(k::showMinimizeAllAppsButton)).value_or(true);
    s.selectedAppleNoteFolderID = defaults.string(key(k::selectedAppleNoteFolderID)).value_or(QString());
    s.wallpaperLibrary = fromRawValue<WallpaperLibrary>(defaults.string(key(k::wallpaperLibrary)).value_or(QString()))
                             .value_or(WallpaperLibrary::noir);
    s.wallpaperApplyToAllDisplays = defaults.boolean(key(k::wallpaperApplyToAllDisplays)).value_or(false);
    s.wallpaperLocalFolderName = defaults.string(key(k::wallpaperLocalFolderName)).value_or(QString());
    s.calendarAlertLeadMinutesByEventID = leadMinutesFromStored(defaults.object(key(k::calendarAlertLeadMinutesByEventID)));
    s.reminderAlertsEnabled = defaults.boolean(key(k::reminderAlertsEnabled)).value_or(true);
    s.railModuleOrder = railmodules::orderFromStored(defaults.stringList(key(k::railModuleOrder)).value_or(QStringList()));
    s.hiddenRailModules =
        railmodules::hiddenFromStored(defaults.stringList(key(k::hiddenRailModules)).value_or(QStringList()));

    const QString edge = defaults.string(key(k::railEdge)).value_or(QString());
    s.railEdge = edge == u"left"_s ? RailEdge::left : edge == u"top"_s ? RailEdge::top : RailEdge::right;
    s.railSize = defaults.string(key(k::railSize)) == u"large"_s ? RailSize::large : RailSize::standard;
    const QString position = defaults.string(key(k::railVerticalPosition)).value_or(QString());
    s.railVerticalPosition = position == u"top"_s      ? RailVerticalPosition::top
                             : position == u"bottom"_s ? RailVerticalPosition::bottom
                                                       : RailVerticalPosition::center;
    s.statusMenuOpenHoldDuration = defaults.number(key(k::statusMenuOpenHoldDuration)).value_or(4.0);
    return s;
}

} // namespace kolu
