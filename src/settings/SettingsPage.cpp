#include "settings/SettingsPage.h"

using namespace Qt::StringLiterals;

namespace kolu {

QString settingsPageTitle(OrlixSettingsPage page)
{
    switch (page) {
    case OrlixSettingsPage::general: return u"General"_s;
    case OrlixSettingsPage::updates: return u"Updates"_s;
    case OrlixSettingsPage::profile: return u"Profile"_s;
    case OrlixSettingsPage::appearance: return u"Appearance"_s;
    case OrlixSettingsPage::tabs: return u"Kolu Tabs"_s;
    case OrlixSettingsPage::soundscapes: return u"Soundscapes"_s;
    case OrlixSettingsPage::appleApps:
        // The page grants access to the desktop's calendar, reminders and
        // notes folders.
        return u"Desktop Apps"_s;
    case OrlixSettingsPage::wallpapers: return u"Wallpapers"_s;
    case OrlixSettingsPage::localData: return u"Local Data"_s;
    }
    return {};
}

QString settingsPageSymbol(OrlixSettingsPage page)
{
    switch (page) {
    case OrlixSettingsPage::general: return u"gearshape"_s;
    case OrlixSettingsPage::updates: return u"arrow.triangle.2.circlepath"_s;
    case OrlixSettingsPage::profile: return u"person.crop.circle"_s;
    case OrlixSettingsPage::appearance: return u"circle.lefthalf.filled"_s;
    case OrlixSettingsPage::tabs: return u"square.grid.2x2"_s;
    case OrlixSettingsPage::soundscapes: return u"music.note"_s;
    case OrlixSettingsPage::appleApps: return u"apple.logo"_s;
    case OrlixSettingsPage::wallpapers: return u"photo.on.rectangle.angled"_s;
    case OrlixSettingsPage::localData: return u"tray.full"_s;
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
        {u"Personal"_s, {P::general, P::updates, P::profile, P::appearance, P::tabs, P::soundscapes}},
        {u"Integrations"_s, {P::appleApps, P::wallpapers}},
        {u"Storage"_s, {P::localData}},
    };
    return groups;
}

} // namespace kolu
