#pragma once

#include "model/Enums.h"
#include "state/RailModules.h"

#include <QString>

#include <optional>
#include <vector>

namespace kolu {

// The commands of the status menu, in the menu's order.
enum class StatusCommand {
    showKolu,
    openAgenda,
    openCapture,
    openNowPlaying,
    openFileTray,
    openClipboard,
    settings,
    checkForUpdates,
    quit,
};

// One row of the status menu: a command, or a separator when `command` is
// empty.
struct StatusMenuRow {
    std::optional<StatusCommand> command;
    const char *title = nullptr;    // untranslated; the menu passes it through tr()
    const char *shortcut = nullptr; // portable key sequence text, or nullptr
    const char *symbol = nullptr;   // symbol name for the style layer, or nullptr
    const char *objectName = nullptr;
};

namespace statusmenu {

// The menu top to bottom, separators included.
const std::vector<StatusMenuRow> &rows();

// The module a module command opens; nothing for the other commands.
std::optional<RailModule> moduleFor(StatusCommand command);

// A module command is enabled while its module shows on the rail; checking
// for updates needs a configured feed; the rest are always enabled.
bool isEnabled(StatusCommand command, const RailModuleOrder &visibleModules, bool updatesConfigured);

} // namespace statusmenu

} // namespace kolu
