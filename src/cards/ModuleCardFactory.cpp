#include "cards/ModuleCardFactory.h"

#include "cards/calendar/CalendarCard.h"
#include "cards/focus/FocusCard.h"
#include "cards/notes/NotesCard.h"
#include "cards/prayers/PrayersCard.h"
#include "cards/reminders/RemindersCard.h"
#include "cards/today/TodayCard.h"

#include <QWidget>

namespace kolu {

QWidget *createModuleCard(RailModule module, AppState &state, QWidget *parent)
{
    // One case per module; a module whose card exists returns it here.
    switch (module) {
    case RailModule::today:
        return new TodayCard(state, parent);

    case RailModule::calendar:
        return new CalendarCard(state, parent);

    case RailModule::prayers:
        return new PrayersCard(state, parent);

    case RailModule::notes:
        return new NotesCard(state, parent);

    case RailModule::focus:
        return new FocusCard(state, parent);

    case RailModule::links:
        break;

    case RailModule::fileTray:
        break;

    case RailModule::wallpapers:
        break;

    case RailModule::reminders:
        return new RemindersCard(state, parent);

    case RailModule::nowPlaying:
        break;
    }
    Q_UNUSED(state);
    Q_UNUSED(parent);
    return nullptr;
}

} // namespace kolu
