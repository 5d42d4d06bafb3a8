#include "settings/SettingsPage.h"

namespace kolu {

QString settingsPageTitle(OrlixSettingsPage page)
{
    switch (page) {
    case OrlixSettingsPage::general:
        return QStringLiteral("General");
    case OrlixSettingsPage::updates:
        return QStringLiteral("Updates");
    case OrlixSettingsPage::profile:
        return QStringLiteral("Profile");
    case OrlixSettingsPage::appearance:
        return QStringLiteral("Appearance");
    case OrlixSettingsPage::tabs:
        return QStringLiteral("Kolu Tabs");
    case OrlixSettingsPage::soundscapes:
        return QStringLiteral("Soundscapes");
    case OrlixSettingsPage::appleApps:
        // The page grants access to the desktop's calendar, reminders and
        // notes folders.
        return QStringLiteral("Desktop Apps");
    case OrlixSettingsPage::wallpapers:
        return QStringLiteral("Wallpapers");
    case OrlixSettingsPage::localData:
        return QStringLiteral("Local Data");
    }
    return {};
}

QString settingsPageSymbol(OrlixSettingsPage page)
{
    switch (page) {
    case OrlixSettingsPage::general:
        return QStringLiteral("gearshape");
    case OrlixSettingsPage::updates:
        return QStringLiteral("arrow.triangle.2.circlepath");
    case OrlixSettingsPage::profile:
        return QStringLiteral("person.crop.circle");
    case OrlixSettingsPage::appearance:
        return QStringLiteral("circle.lefthalf.filled");
    case OrlixSettingsPage::tabs:
        return QStringLiteral("square.grid.2x2");
    case OrlixSettingsPage::soundscapes:
        return QStringLiteral("music.note");
    case OrlixSettingsPage::appleApps:
        return QStringLiteral("apple.logo");
    case OrlixSettingsPage::wallpapers:
        return QStringLiteral("photo.on.rectangle.angled");
    case OrlixSettingsPage::localData:
        return QStringLiteral("tray.full");
    }
    return {};
}

int settingsContentMaximumWidth(OrlixSettingsPage page)
{
    return page == OrlixSettingsPage::tabs ? 650 : 560;
}

const std::vector<SettingsSidebarGroup> &settingsSidebarGroups()
{
    using P = OrlixSettingsPage;
    static const std::vector<SettingsSidebarGroup> groups = {
        {QStringLiteral("Personal"), {P::general, P::updates, P::profile, P::appearance, P::tabs, P::soundscapes}},
        {QStringLiteral("Integrations"), {P::appleApps, P::wallpapers}},
        {QStringLiteral("Storage"), {P::localData}},
    };
    return groups;
}

} // namespace kolu
