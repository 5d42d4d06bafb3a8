#include "shell/RailFrameState.h"

#include "state/AppState.h"
#include "state/RailLayout.h"

namespace kolu {

RailFrameInput railFrameInput(const AppState &state)
{
    RailFrameInput in;
    in.edge = state.railEdge();
    in.position = state.railVerticalPosition();
    in.expanded = state.isExpanded();
    in.visibleModuleCount = static_cast<int>(state.visibleRailModules().size());
    in.showsMinimizeAllAppsButton = state.showMinimizeAllAppsButton();
    in.clipboardPulseActive = state.clipboardPulseActive();
    in.pomodoroAlertVisible = state.pomodoroAlertVisible();
    in.calendarAlert = state.activeCalendarAlert().has_value();
    in.prayerAlert = state.activePrayerAlert().has_value();
    in.reminderAlert = state.activeReminderAlert().has_value();
    in.scale = RailLayout::scaleFactor(state.railSize());
    return in;
}

} // namespace kolu
