// Access to the calendars, reminders, notes and the desktop folder, and
// hiding the other applications; all report in one status line.
#include "state/AppState.h"

#include "services/calendar/CalendarService.h"
#include "services/notes/NotesService.h"
#include "services/calendar/RemindersService.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace kolu {

void AppState::setSystemAccessStatus(const QString &message, StatusTint tint)
{
    setSystemAccessStatusMessage(message);
    setSystemAccessStatusTint(tint);
}

void AppState::requestCalendarPermission()
{
    setSystemAccessStatus(u"Requesting Calendar access..."_s, StatusTint::secondary);
    awaitCalendarGrant(QPointer<AppState>(this));
}

QCoro::Task<> AppState::awaitCalendarGrant(QPointer<AppState> self)
{
    bool granted = false;
    try {
        granted = co_await self->calendarService().requestAccess();
    } catch (...) {
        granted = false;
    }
    if (!self)
        co_return;
    if (granted) {
        self->setSystemAccessStatus(u"Calendar access is ready."_s, StatusTint::green);
        self->refreshCalendarEvents();
    } else {
        self->setSystemAccessStatus(u"Calendar access needs Kolu Settings."_s, StatusTint::orange);
    }
}

void AppState::requestRemindersPermission()
{
    setSystemAccessStatus(u"Requesting Reminders access..."_s, StatusTint::secondary);
    awaitRemindersGrant(QPointer<AppState>(this));
}

QCoro::Task<> AppState::awaitRemindersGrant(QPointer<AppState> self)
{
    bool granted = false;
    try {
        granted = co_await self->remindersService().requestAccess();
    } catch (...) {
        granted = false;
    }
    if (!self)
        co_return;
    if (granted) {
        self->setSystemAccessStatus(u"Reminders access is ready."_s, StatusTint::green);
        self->refreshReminders();
    } else {
        self->setSystemAccessStatus(u"Reminders access needs Kolu Settings."_s, StatusTint::orange);
    }
}

void AppState::requestNotesPermission()
{
    setSystemAccessStatus(u"Requesting Notes automation..."_s, StatusTint::secondary);
    awaitNotesGrant(QPointer<AppState>(this));
}

QCoro::Task<> AppState::awaitNotesGrant(QPointer<AppState> self)
{
    bool granted = false;
    try {
        granted = co_await self->notesService().requestAutomationAccess();
    } catch (...) {
        granted = false;
    }
    if (!self)
        co_return;
    if (granted) {
        self->setSystemAccessStatus(u"Notes automation is ready."_s, StatusTint::green);
        self->refreshAppleNoteFolders(true);
        self->refreshAppleNotes(true);
    } else {
        self->setSystemAccessStatus(u"Notes automation needs Kolu Settings."_s, StatusTint::orange);
    }
}

void AppState::requestDesktopPermission()
{
    // The desktop folder as the user's XDG folders name it; without one
    // configured, Qt answers ~/Desktop, which may well not exist.
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        setSystemAccessStatus(u"Desktop folder was not found."_s, StatusTint::orange);
        return;
    }
    // A folder that can be listed is what the screenshot search needs.
    const bool readable = info.isDir() && info.isReadable() && info.isExecutable();
    if (readable)
        setSystemAccessStatus(u"Desktop access is ready."_s, StatusTint::green);
    else
        setSystemAccessStatus(u"Desktop access needs Kolu Settings."_s, StatusTint::orange);
}

void AppState::openRemindersAccessSettings()
{
    Q_EMIT showRemindersAccessSettings();
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
        setSystemAccessStatus(QString(u"Hid "_s + QString::number(count) + u" app"_s + (count == 1 ? u""_s : u"s"_s)
                                      + u"."_s),
                              StatusTint::green);
    } else {
        setSystemAccessStatus(u"No visible apps were found."_s, StatusTint::secondary);
    }
}

} // namespace kolu
