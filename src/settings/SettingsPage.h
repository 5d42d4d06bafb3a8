#pragma once

#include "model/RawEnum.h"

#include <QString>

#include <array>
#include <string_view>
#include <vector>

namespace kolu {

// The nine pages of the settings window, in sidebar order. The raw value is
// the case name.
enum class OrlixSettingsPage {
    general,
    updates,
    profile,
    appearance,
    tabs,
    soundscapes,
    appleApps,
    wallpapers,
    localData
};
template<>
struct EnumNames<OrlixSettingsPage> {
    static constexpr std::array<std::string_view, 9> names{
        "general", "updates", "profile", "appearance", "tabs", "soundscapes", "appleApps", "wallpapers", "localData"};
};

// What the sidebar button and the page header show.
QString settingsPageTitle(OrlixSettingsPage page);
QString settingsPageSymbol(OrlixSettingsPage page);

// The widest the content column grows: the tabs page lays out a grid of
// module tiles, every other page a single column of rows.
int settingsContentMaximumWidth(OrlixSettingsPage page);

// One titled group of the sidebar.
struct SettingsSidebarGroup {
    QString title;
    std::vector<OrlixSettingsPage> pages;
};
const std::vector<SettingsSidebarGroup> &settingsSidebarGroups();

} // namespace kolu
