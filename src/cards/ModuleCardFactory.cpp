#include "cards/ModuleCardFactory.h"

#include "cards/calendar/CalendarCard.h"
#include "cards/focus/FocusCard.h"
#include "cards/links/LinksCard.h"
#include "cards/notes/NotesCard.h"
#include "cards/nowplaying/NowPlayingCard.h"
#include "cards/prayers/PrayersCard.h"
#include "cards/reminders/RemindersCard.h"
#include "cards/today/TodayCard.h"
#include "cards/tray/FileTrayCard.h"
#include "cards/wallpapers/WallpapersCard.h"

#include <QWidget>

namespace kolu {

QWidget *createModuleCard(RailModule module, AppState &state, QWidget *parent)
{
    // One case per module; a module whose card exists returns it here.
    switch (module) {
    case RailModule::today: return new TodayCard(state, parent);

    case RailModule::calendar: return new CalendarCard(state, parent);

    case RailModule::prayers: return new PrayersCard(state, parent);

    case RailModule::notes: return new NotesCard(state, parent);

    case RailModule::focus: return new FocusCard(state, parent);

    case RailModule::links: return new LinksCard(state, parent);

    case RailModule::fileTray: return new FileTrayCard(state, parent);

    case RailModule::wallpapers: return new WallpapersCard(state, parent);

    case RailModule::reminders: return new RemindersCard(state, parent);

    case RailModule::nowPlaying: return new NowPlayingCard(state, parent);
    }
    Q_UNUSED(state);
    Q_UNUSED(parent);
    return nullptr;
}

} // namespace kolu
