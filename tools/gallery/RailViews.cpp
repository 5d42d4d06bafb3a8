#include "RailViews.h"

#include "GalleryState.h"
#include "ManualClock.h"

#include "shell/StatusItem.h"
#include "shell/rail/RailView.h"
#include "state/AppState.h"

#include <QMenu>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

enum class Show { rest, pulse, calendar, prayer, reminder, focus };

QWidget *collapsedRail(const Context &context, RailEdge edge, Show show)
{
    AppState &s = state();
    s.setRailSize(context.scale > 1.0 ? RailSize::large : RailSize::standard);
    s.setRailEdge(edge);
    s.setRailVerticalPosition(RailVerticalPosition::center);
    s.setIsExpanded(false);
    s.setClipboardPulseActive(show == Show::pulse);

    CalendarEvent event;
    event.id = u"gallery-event"_s;
    event.title = u"Design review with the whole team"_s;
    event.startDate = clock().now().addSecs(600);
    s.setActiveCalendarAlert(show == Show::calendar ? std::optional(event) : std::nullopt);
    ActivePrayerAlert prayer;
    prayer.prayer.name = PrayerName::maghrib;
    s.setActivePrayerAlert(show == Show::prayer ? std::optional(prayer) : std::nullopt);
    ActiveReminderAlert reminder;
    reminder.reminder.id = u"gallery-reminder"_s;
    reminder.reminder.title = u"Call the bank about the card"_s;
    s.setActiveReminderAlert(show == Show::reminder ? std::optional(reminder) : std::nullopt);
    s.setPomodoroAlertVisible(show == Show::focus);
    return new RailView(s);
}

// The status-bar menu as it opens, "Agenda" under the pointer. Updates are
// not configured here, so their row is disabled.
QWidget *statusMenu()
{
    auto *canvas = new QWidget;
    auto *item = new StatusItem(
        state(), [] { return false; }, canvas);
    QMenu *menu = item->menu();
    menu->setParent(canvas, Qt::Widget);
    menu->move(16, 16);
    menu->setActiveAction(item->action(StatusCommand::openAgenda));
    menu->show();
    return canvas;
}

} // namespace

void appendRailViews(std::vector<View> &views)
{
    struct Edge {
        const char *name;
        RailEdge edge;
        QSize size;
    };
    // Side canvases are as wide as an alert's frame plus a margin; the top
    // one as tall as the handle, the pulse or a notification below it.
    static const Edge edges[] = {
        {"left", RailEdge::left, {450, 180}},
        {"right", RailEdge::right, {450, 180}},
        {"top", RailEdge::top, {380, 150}},
    };
    static const struct {
        const char *name;
        Show show;
    } shows[] = {
        {"collapsed", Show::rest}, {"pulse", Show::pulse},       {"calendar", Show::calendar},
        {"prayer", Show::prayer},  {"reminder", Show::reminder}, {"focus", Show::focus},
    };
    views.push_back(View{"status-menu", {300, 330}, false, [](const Context &) { return statusMenu(); }});
    static std::vector<std::string> names;
    names.reserve(std::size(edges) * std::size(shows));
    for (const Edge &edge : edges) {
        for (const auto &show : shows) {
            names.push_back(std::string("rail-") + edge.name + "-" + show.name);
            const RailEdge railEdge = edge.edge;
            const Show what = show.show;
            views.push_back(View{names.back().c_str(), edge.size, true,
                                 [railEdge, what](const Context &c) { return collapsedRail(c, railEdge, what); }});
        }
    }
}

} // namespace kolu::gallery
