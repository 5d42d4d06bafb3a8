#include "shell/rules/StatusMenuRules.h"

#include <algorithm>

namespace kolu::statusmenu {

const std::vector<StatusMenuRow> &rows()
{
    using C = StatusCommand;
    static const std::vector<StatusMenuRow> menu{
        {C::showKolu, "Show Kolu", "Ctrl+Shift+D", nullptr, "statusShowKolu"},
        {},
        {C::openAgenda, "Agenda", nullptr, "calendar", "statusAgenda"},
        {C::openCapture, "Capture", nullptr, "mic", "statusCapture"},
        {C::openNowPlaying, "Now Playing", nullptr, "play.fill", "statusNowPlaying"},
        {C::openFileTray, "File Tray", nullptr, "folder", "statusFileTray"},
        {C::openClipboard, "Clipboard", nullptr, "doc.on.clipboard", "statusClipboard"},
        {},
        {C::settings, "Settings...", "Ctrl+,", "gearshape", "statusSettings"},
        {C::checkForUpdates, "Check for Updates...", nullptr, "arrow.triangle.2.circlepath", "statusCheckForUpdates"},
        {},
        {C::quit, "Quit Kolu", "Ctrl+Q", "xmark.rectangle", "statusQuit"},
    };
    return menu;
}

std::optional<RailModule> moduleFor(StatusCommand command)
{
    switch (command) {
    case StatusCommand::openAgenda: return RailModule::calendar;
    case StatusCommand::openCapture:
    case StatusCommand::openFileTray:
    case StatusCommand::openClipboard: return RailModule::fileTray;
    case StatusCommand::openNowPlaying: return RailModule::nowPlaying;
    case StatusCommand::showKolu:
    case StatusCommand::settings:
    case StatusCommand::checkForUpdates:
    case StatusCommand::quit: break;
    }
    return std::nullopt;
}

bool isEnabled(StatusCommand command, const RailModuleOrder &visibleModules, bool updatesConfigured)
{
    if (command == StatusCommand::checkForUpdates)
        return updatesConfigured;
    if (const auto module = moduleFor(command))
        return std::find(visibleModules.begin(), visibleModules.end(), *module) != visibleModules.end();
    return true;
}

} // namespace kolu::statusmenu
