#pragma once

#include <QWidget>

namespace kolu {

class SettingsRow;
class SettingsView;
class SymbolLabel;

// What Kolu reads from the desktop's calendars, to-do lists and notes, the
// access each needs, the outcome of the last request, and shortcuts to the
// calendar and reminders modules. Access here means a folder: asking for it
// checks the folder in use and, when there is none that works, lets the
// user choose one. The Open buttons go through the window's opener.
class DesktopAppsPage : public QWidget {
    Q_OBJECT
public:
    explicit DesktopAppsPage(SettingsView &view, QWidget *parent = nullptr);

private:
    void sync();
    void syncFolderDetails();
    void openFolder(const QString &path);

    SettingsView &m_view;
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
