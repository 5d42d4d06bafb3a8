#include "FocusViews.h"

#include "GalleryState.h"
#include "KitViews.h"

#include "DetailPanelView.h"

#include "cards/focus/FocusCard.h"
#include "state/AppState.h"
#include "style/widgets/MenuPicker.h"

#include "ManualClock.h"

#include <QMenu>

#include <cstring>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

QWidget *focusCard(const char *session)
{
    const QDateTime now = clock().now();
    PomodoroState p;
    p.focusDuration = 1500;
    p.breakDuration = 300;
    p.remaining = 1500;
    if (std::strcmp(session, "running") == 0) {
        p.isRunning = true;
        p.startedAt = now.addSecs(-520);
        p.remaining = 980;
    } else if (std::strcmp(session, "paused") == 0) {
        p.remaining = 610;
    } else if (std::strcmp(session, "break") == 0) {
        p.mode = PomodoroMode::breakTime;
        p.isRunning = true;
        p.startedAt = now.addSecs(-100);
        p.remaining = 200;
    } else if (std::strcmp(session, "complete") == 0) {
        p.remaining = 0;
    } else if (std::strcmp(session, "break-ready") == 0) {
        p.mode = PomodoroMode::breakTime;
        p.remaining = 300;
    } else if (std::strcmp(session, "longest") == 0) {
        p.focusDuration = 180 * 60; // "180:00", the widest time
        p.remaining = 180 * 60;
    }
    state().setPomodoro(p);
    const bool editing = std::strcmp(session, "editing") == 0;
    QWidget *panel = inDetailPanel(RailModule::focus, [editing](QWidget *built) {
        if (editing)
            static_cast<FocusCard *>(built)->beginDurationEdit();
    });
    if (std::strcmp(session, "sound-menu") == 0) {
        auto *picker = panel->findChild<MenuPicker *>(u"focusAlertSoundPicker"_s);
        showMenuInPicture(panel, picker, picker->menu());
    }
    return panel;
}

} // namespace kolu::gallery
