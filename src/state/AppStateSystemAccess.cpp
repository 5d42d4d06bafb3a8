// Access to the calendars, reminders, notes and the screenshots folders, and
// hiding the other applications; all report in one status line.
#include "state/AppState.h"

#include "model/CountText.h"
#include "platform/calendar/CalendarFolders.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/notes/NoteStore.h"
#include "services/clipboard/ClipboardService.h"
#include "services/notes/NotesService.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

struct AccessTexts {
    QString requesting;
    QString ready;
    QString needsSettings;
};

AccessTexts accessTexts(AppState::AccessArea area)
{
    switch (area) {
    case AppState::AccessArea::calendar:
        return {u"Requesting Calendar access..."_s, u"Calendar access is ready."_s,
                u"Calendar access needs Kolu Settings."_s};
    case AppState::AccessArea::reminders:
        return {u"Requesting Reminders access..."_s, u"Reminders access is ready."_s,
                u"Reminders access needs Kolu Settings."_s};
    case AppState::AccessArea::notes: break;
    }
    return {u"Requesting Notes automation..."_s, u"Notes automation is ready."_s,
            u"Notes automation needs Kolu Settings."_s};
}

} // namespace

void AppState::requestCalendarPermission()
{
    requestAccess(AccessArea::calendar);
}

void AppState::requestRemindersPermission()
{
    requestAccess(AccessArea::reminders);
}

void AppState::requestNotesPermission()
{
    requestAccess(AccessArea::notes);
}

void AppState::requestAccess(AccessArea area)
{
    setSystemAccessStatus({accessTexts(area).requesting, StatusTint::secondary});
    awaitAccessGrant(QPointer<AppState>(this), area);
}

QCoro::Task<> AppState::awaitAccessGrant(QPointer<AppState> self, AccessArea area)
{
    // There is no prompt on this desktop: calendars and reminders are there
    // when their folders are, notes when the notes folder can be used.
    bool granted = false;
    try {
        switch (area) {
        case AccessArea::calendar: granted = self->m_services.calendarStore->hasEventAccess(); break;
        case AccessArea::reminders: granted = self->m_services.remindersStore->hasReminderAccess(); break;
        case AccessArea::notes: granted = co_await self->notesService().requestAutomationAccess(); break;
        }
    } catch (...) {
        granted = false;
    }
    if (!self)
        co_return;
    const AccessTexts texts = accessTexts(area);
    if (!granted) {
        self->setSystemAccessStatus({texts.needsSettings, StatusTint::orange});
        co_return;
    }
    self->setSystemAccessStatus({texts.ready, StatusTint::green});
    switch (area) {
    case AccessArea::calendar:
        self->refreshCalendarEvents();
        // Without a to-do folder of their own the reminders are read from
        // the usual calendar folder, which this request may just have found.
        if (!self->chosenRemindersFolder())
            self->refreshReminders();
        break;
    case AccessArea::reminders: self->refreshReminders(); break;
    case AccessArea::notes:
        self->refreshAppleNoteFolders(true);
        self->refreshAppleNotes(true);
        break;
    }
}

void AppState::followNotesFolder()
{
    if (!m_services.makeNoteStore)
        return;
    m_services.noteStore = m_services.makeNoteStore();
    m_services.notesService->setStore(m_services.noteStore);
    followNotesFolderChanges();
    refreshAppleNoteFolders(true);
    refreshAppleNotes(true);
}

void AppState::followNotesFolderChanges()
{
    if (!m_services.noteStore)
        return;
    m_services.noteStore->setOnFolderChange([self = QPointer<AppState>(this)] {
        if (!self)
            return;
        self->refreshAppleNoteFolders(true);
        self->refreshAppleNotes(true);
    });
}

void AppState::requestDesktopPermission()
{
    // Recent screenshots are looked for in the folders where the desktop's
    // screenshot tools save, the same ones the Tray searches; one of them
    // that can be listed is enough.
    bool found = false;
    bool listable = false;
    for (const QString &folder : ClipboardService::defaultScreenshotFolders()) {
        found = found || QFileInfo::exists(folder);
        listable = listable || isUsableFolder(folder, false);
    }
    if (!found)
        setSystemAccessStatus({u"Desktop folder was not found."_s, StatusTint::orange});
    else if (listable)
        setSystemAccessStatus({u"Desktop access is ready."_s, StatusTint::green});
    else
        setSystemAccessStatus({u"Desktop access needs Kolu Settings."_s, StatusTint::orange});
}

void AppState::openRemindersAccessSettings()
{
    openDesktopAppsSettings();
}

void AppState::openDesktopAppsSettings()
{
    Q_EMIT showDesktopAppsSettings();
}

ApplicationHider &AppState::applicationHider() const
{
    if (!m_applicationHider)
        m_applicationHider = createSystemApplicationHider();
    return *m_applicationHider;
}

bool AppState::canMinimizeAllApplications() const
{
    return applicationHider().isAvailable();
}

void AppState::minimizeAllApplications()
{
    const int count = applicationHider().hideOtherApplications();
    if (count > 0) {
        setSystemAccessStatus({QString(u"Hid "_s + countText(count, u"app"_s, u"apps"_s) + u"."_s), StatusTint::green});
    } else {
        setSystemAccessStatus({u"No visible apps were found."_s, StatusTint::secondary});
    }
}

} // namespace kolu
