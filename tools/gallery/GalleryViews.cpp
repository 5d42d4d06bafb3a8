#include "GalleryViews.h"

#include "DetailPanelView.h"

#include "ExpandedRailViews.h"
#include "FocusViews.h"
#include "KitViews.h"
#include "LinksViews.h"
#include "MediaViews.h"
#include "PrayersNotesViews.h"
#include "RemindersViews.h"
#include "RailViews.h"
#include "SettingsAudioViews.h"
#include "SettingsViews.h"
#include "SoundscapeViews.h"
#include "TodayCalendarViews.h"
#include "TrayViews.h"

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
            {"focus-idle",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("idle"); }},
            {"focus-running",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("running"); }},
            {"focus-paused",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("paused"); }},
            {"focus-break",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("break"); }},
            {"focus-complete",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("complete"); }},
            {"focus-editing",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("editing"); }},
            {"focus-break-ready",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("break-ready"); }},
            {"focus-longest",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("longest"); }},
            {"focus-sound-menu",
             {kDetailPanelWidth, kDetailPanelHeight},
             false,
             [](const Context &) { return focusCard("sound-menu"); }},
        };
        for (View &view : remindersViews())
            kit.push_back(std::move(view));
        for (View &view : prayersNotesViews())
            kit.push_back(std::move(view));
        for (View &view : todayCalendarViews())
            kit.push_back(std::move(view));
        for (View &view : trayViews())
            kit.push_back(std::move(view));
        for (View &view : linksViews())
            kit.push_back(std::move(view));
        for (View &view : settingsViews())
            kit.push_back(std::move(view));
        for (View &view : settingsAudioViews())
            kit.push_back(std::move(view));
        for (View &view : mediaViews())
            kit.push_back(std::move(view));
        for (View &view : soundscapeViews())
            kit.push_back(std::move(view));
        appendRailViews(kit);
        for (View &view : expandedRailViews())
            kit.push_back(std::move(view));
        return kit;
    }();
    return all;
}

} // namespace kolu::gallery
