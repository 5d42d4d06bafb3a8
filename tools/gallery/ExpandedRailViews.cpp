#include "ExpandedRailViews.h"

#include "GalleryState.h"

#include "model/SettingsKeys.h"
#include "shell/rail/expanded/ExpandedRail.h"
#include "shell/rules/RailFrame.h"
#include "state/AppState.h"

namespace kolu::gallery {

namespace {

enum class Alert { none, focus, calendar, prayer, reminder, all };

// Puts the shared state in the pose of one picture.
// The Minimize button shows unless the user turned it off.
bool minimizeShownByDefault()
{
    return settingsKeyRow(SettingsKey::showMinimizeAllAppsButton).defaultValue.toBool();
}

void pose(const Context &ctx, RailEdge edge, int moduleCount, Alert alert, bool minimize = minimizeShownByDefault())
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
    s.setShowMinimizeAllAppsButton(minimize);
    const auto on = [alert](Alert a) { return alert == a || alert == Alert::all; };
    s.setPomodoroAlertVisible(on(Alert::focus));
    s.setActiveCalendarAlert(on(Alert::calendar) ? std::optional<CalendarEvent>(CalendarEvent{}) : std::nullopt);
    s.setActivePrayerAlert(on(Alert::prayer) ? std::optional<ActivePrayerAlert>(ActivePrayerAlert{}) : std::nullopt);
    s.setActiveReminderAlert(on(Alert::reminder) ? std::optional<ActiveReminderAlert>(ActiveReminderAlert{})
                                                 : std::nullopt);
}

View side(const char *name, RailEdge edge, int count, Alert alert)
{
    const bool wide = alert == Alert::prayer || alert == Alert::reminder || alert == Alert::all;
    return {name, {wide ? 795 : 441, 620}, true, [=](const Context &ctx) -> QWidget * {
                pose(ctx, edge, count, alert);
                return new ExpandedRail(state());
            }};
}

// The top rail's window as the program sizes it on a roomy screen.
QSize topFrame(qreal scale, int count, Alert alert)
{
    RailFrameInput in;
    in.edge = RailEdge::top;
    in.expanded = true;
    in.visibleModuleCount = count;
    in.showsMinimizeAllAppsButton = minimizeShownByDefault();
    in.pomodoroAlertVisible = alert == Alert::focus || alert == Alert::all;
    in.calendarAlert = alert == Alert::calendar || alert == Alert::all;
    in.prayerAlert = alert == Alert::prayer || alert == Alert::all;
    in.reminderAlert = alert == Alert::reminder || alert == Alert::all;
    in.scale = scale;
    return railframe::size(in, QRect(0, 0, 1920, 1080));
}

View top(const char *name, int count, Alert alert)
{
    return {name, ViewSize([=](qreal scale) { return topFrame(scale, count, alert); }), true,
            [=](const Context &ctx) -> QWidget * {
                pose(ctx, RailEdge::top, count, alert);
                return new ExpandedRail(state());
            }};
}

// A screen too narrow for the whole strip: its action area gives way.
View narrowTop(const char *name, int width)
{
    return {name, {width, 600}, false, [=](const Context &ctx) -> QWidget * {
                pose(ctx, RailEdge::top, 10, Alert::none, true);
                return new ExpandedRail(state());
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
        side("rail-expanded-left-prayer", RailEdge::left, 10, Alert::prayer),
        side("rail-expanded-left-reminder", RailEdge::left, 10, Alert::reminder),
        side("rail-expanded-left-all", RailEdge::left, 10, Alert::all),
        side("rail-expanded-right-focus", RailEdge::right, 10, Alert::focus),
        side("rail-expanded-right-calendar", RailEdge::right, 10, Alert::calendar),
        side("rail-expanded-right-prayer", RailEdge::right, 10, Alert::prayer),
        side("rail-expanded-right-reminder", RailEdge::right, 10, Alert::reminder),
        side("rail-expanded-right-all", RailEdge::right, 6, Alert::all),
        top("rail-expanded-top-1", 1, Alert::none),
        top("rail-expanded-top-6", 6, Alert::none),
        top("rail-expanded-top-10", 10, Alert::none),
        top("rail-expanded-top-focus", 6, Alert::focus),
        top("rail-expanded-top-calendar", 6, Alert::calendar),
        top("rail-expanded-top-prayer", 6, Alert::prayer),
        top("rail-expanded-top-reminder", 6, Alert::reminder),
        top("rail-expanded-top-all", 6, Alert::all),
        narrowTop("rail-expanded-top-narrow-760", 760),
        narrowTop("rail-expanded-top-narrow-700", 700),
    };
}

} // namespace kolu::gallery
