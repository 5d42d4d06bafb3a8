#pragma once

#include "state/AppState.h"

#include <QWidget>

#include <functional>

namespace kolu {

class OrlixButton;
class SettingsRow;
class SymbolLabel;

// What Kolu reads from the desktop's calendars, to-do lists and notes, the
// access each needs, the outcome of the last request, and shortcuts to the
// calendar and reminders modules. Access here means a folder: asking for it
// checks the folder in use and, when there is none that works, lets the
// user choose one.
class DesktopAppsPage : public QWidget {
    Q_OBJECT
public:
    explicit DesktopAppsPage(AppState &state, QWidget *parent = nullptr);

    // How the page's Open buttons open a module on the rail; the state's
    // own opening until a host sets one that also holds the rail out.
    void setModuleOpener(std::function<void(RailModule)> open) { m_openModule = std::move(open); }

private:
    void stateChanged(AppState::Field field);
    void updateStatusRows();
    void updateFolderDetails();
    void updateMessage();
    void openFolder(const QString &path);

    AppState &m_state;
    std::function<void(RailModule)> m_openModule;
    SettingsRow *m_calendarStatus;
    SettingsRow *m_remindersStatus;
    SettingsRow *m_notesStatus;
    SettingsRow *m_calendarAccess;
    SettingsRow *m_remindersAccess;
    SettingsRow *m_notesAccess;
    SettingsRow *m_desktopAccess;
    SymbolLabel *m_message;
};

} // namespace kolu
