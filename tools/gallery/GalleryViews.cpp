#include "GalleryViews.h"

#include "ExpandedRailViews.h"
#include "FocusViews.h"
#include "KitViews.h"
#include "PrayersNotesViews.h"
#include "RemindersViews.h"
#include "RailViews.h"
#include "SettingsViews.h"
#include "TodayCalendarViews.h"

namespace kolu::gallery {

const std::vector<View> &views()
{
    static const std::vector<View> all = [] {
        std::vector<View> kit = {
            {"kit-glass", {560, 300}, false, [](const Context &) { return glassPresets(); }},
            {"kit-card", {354, 420}, false, [](const Context &) { return onPanel(cardKit()); }},
            {"kit-controls", {354, 360}, false, [](const Context &) { return onPanel(controls()); }},
            {"kit-symbols", {560, 420}, false, [](const Context &) { return onPanel(symbols()); }},
            {"kit-type", {354, 300}, false, [](const Context &) { return onPanel(typography()); }},
            {"focus-idle", {336, 432}, false, [](const Context &) { return focusCard("idle"); }},
            {"focus-running", {336, 432}, false, [](const Context &) { return focusCard("running"); }},
            {"focus-paused", {336, 432}, false, [](const Context &) { return focusCard("paused"); }},
            {"focus-break", {336, 432}, false, [](const Context &) { return focusCard("break"); }},
            {"focus-complete", {336, 432}, false, [](const Context &) { return focusCard("complete"); }},
            {"focus-editing", {336, 432}, false, [](const Context &) { return focusCard("editing"); }},
        };
        for (View &view : remindersViews())
            kit.push_back(std::move(view));
        for (View &view : prayersNotesViews())
            kit.push_back(std::move(view));
        for (View &view : todayCalendarViews())
            kit.push_back(std::move(view));
        for (View &view : settingsViews())
            kit.push_back(std::move(view));
        appendRailViews(kit);
        for (View &view : expandedRailViews())
            kit.push_back(std::move(view));
        return kit;
    }();
    return all;
}

} // namespace kolu::gallery
