#include "ExpandedRailViews.h"

#include "GalleryState.h"

#include "shell/rail/expanded/ExpandedRail.h"
#include "shell/rail/expanded/TopExpandedRail.h"
#include "state/AppState.h"

namespace kolu::gallery {

namespace {

enum class Alert { none, focus, calendar, prayer, reminder };

// Puts the shared state in the pose of one picture.
void pose(const Context &ctx, RailEdge edge, int moduleCount, Alert alert)
{
    AppState &s = state();
    s.setRailSize(ctx.scale > 1 ? RailSize::large : RailSize::standard);
    s.setRailEdge(edge);
    s.setRailVerticalPosition(RailVerticalPosition::center);
    RailModuleSet hidden;
    for (int m = moduleCount; m < 10; ++m)
        hidden.insert(RailModule(m));
    s.setRailModuleOrder({RailModule::today, RailModule::calendar, RailModule::prayers, RailModule::notes,
                          RailModule::focus, RailModule::links, RailModule::fileTray, RailModule::wallpapers,
                          RailModule::reminders, RailModule::nowPlaying});
    s.setHiddenRailModules(hidden);
    s.setSelectedModule(moduleCount > 5 ? RailModule::links : RailModule::today);
    s.setIsReorderingRail(false);
    s.setPomodoroAlertVisible(alert == Alert::focus);
    s.setActiveCalendarAlert(alert == Alert::calendar ? std::optional<CalendarEvent>(CalendarEvent{}) : std::nullopt);
    s.setActivePrayerAlert(alert == Alert::prayer ? std::optional<ActivePrayerAlert>(ActivePrayerAlert{})
                                                  : std::nullopt);
    s.setActiveReminderAlert(alert == Alert::reminder ? std::optional<ActiveReminderAlert>(ActiveReminderAlert{})
                                                      : std::nullopt);
}

View side(const char *name, RailEdge edge, int count, Alert alert)
{
    const bool wide = alert == Alert::prayer || alert == Alert::reminder;
    return {name, {wide ? 795 : 441, 620}, true, [=](const Context &ctx) -> QWidget * {
                pose(ctx, edge, count, alert);
                return new ExpandedRail(state());
            }};
}

View top(const char *name, int count, Alert alert)
{
    return {name, {900, 600}, true, [=](const Context &ctx) -> QWidget * {
                pose(ctx, RailEdge::top, count, alert);
                return new TopExpandedRail(state());
            }};
}

} // namespace

std::vector<View> expandedRailViews()
{
    return {
        side("rail-expanded-left-1", RailEdge::left, 1, Alert::none),
        side("rail-expanded-left-6", RailEdge::left, 6, Alert::none),
        side("rail-expanded-left-10", RailEdge::left, 10, Alert::none),
        side("rail-expanded-right-1", RailEdge::right, 1, Alert::none),
        side("rail-expanded-right-6", RailEdge::right, 6, Alert::none),
        side("rail-expanded-right-10", RailEdge::right, 10, Alert::none),
        side("rail-expanded-left-focus", RailEdge::left, 10, Alert::focus),
        side("rail-expanded-left-calendar", RailEdge::left, 10, Alert::calendar),
        side("rail-expanded-right-prayer", RailEdge::right, 10, Alert::prayer),
        side("rail-expanded-left-reminder", RailEdge::left, 10, Alert::reminder),
        top("rail-expanded-top-1", 1, Alert::none),
        top("rail-expanded-top-6", 6, Alert::none),
        top("rail-expanded-top-10", 10, Alert::none),
    };
}

} // namespace kolu::gallery
