#include "settings/pages/AccessFolderRequest.h"

#include "platform/calendar/CalendarFolders.h"
#include "model/SettingsKeys.h"
#include "platform/desktop/FolderPicker.h"
#include "platform/notes/LocalNoteStore.h"
#include "state/AppState.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>

namespace kolu {

namespace {

struct FolderTraits {
    SettingsKey key;
    // Whether the folder is of no use unless it takes writes: a to-do folder
    // that can only be read still shows its reminders.
    bool writable;
    QString pickerTitle;
    QString missing;
};

FolderTraits traits(AccessFolder folder)
{
    switch (folder) {
    case AccessFolder::calendar:
        return {SettingsKey::calendarFolderPath, false,
                QCoreApplication::translate("DesktopAppsPage", "Choose Calendar Folder"),
                QCoreApplication::translate("DesktopAppsPage", "Calendar access needs Kolu Settings.")};
    case AccessFolder::reminders:
        return {SettingsKey::remindersFolderPath, false,
                QCoreApplication::translate("DesktopAppsPage", "Choose To-do Folder"),
                QCoreApplication::translate("DesktopAppsPage", "Reminders access needs Kolu Settings.")};
    case AccessFolder::notes: break;
    }
    return {SettingsKey::notesFolderPath, true, QCoreApplication::translate("DesktopAppsPage", "Choose Notes Folder"),
            QCoreApplication::translate("DesktopAppsPage", "Notes automation needs Kolu Settings.")};
}

void checkAndReport(AppState &state, AccessFolder folder)
{
    switch (folder) {
    case AccessFolder::calendar: state.requestCalendarPermission(); break;
    case AccessFolder::reminders: state.requestRemindersPermission(); break;
    case AccessFolder::notes: state.requestNotesPermission(); break;
    }
}

void reportMissing(AppState &state, AccessFolder folder)
{
    state.setSystemAccessStatus({traits(folder).missing, StatusTint::orange});
}

QCoro::Task<> pickAccessFolder(QPointer<AppState> state, AccessFolder folder, bool askFirst)
{
    const FolderTraits folderTraits = traits(folder);
    // Built before the wait: no temporaries inside the awaited expression.
    FolderPickerOptions options{folderTraits.pickerTitle, QCoreApplication::translate("DesktopAppsPage", "Use Folder"),
                                true};
    QCoro::Task<std::optional<QString>> picking = state->folderPicker().chooseFolder(std::move(options));
    const std::optional<QString> chosen = co_await std::move(picking);
    if (!state)
        co_return;
    if (!chosen) {
        if (!askFirst)
            reportMissing(*state, folder);
        co_return;
    }
    if (!isUsableFolder(*chosen, folderTraits.writable)) {
        reportMissing(*state, folder);
        co_return;
    }
    state->defaults().set(folderTraits.key, QDir::cleanPath(*chosen));
    checkAndReport(*state, folder);
}

} // namespace

QString accessFolderPath(const AppState &state, AccessFolder folder)
{
    const std::optional<QString> configured = state.defaults().string(traits(folder).key);
    if (folder == AccessFolder::notes)
        return LocalNoteStore::rootsFor(configured).front().path;
    return resolveCalendarRoot(configured, QDir::homePath());
}

QStringList accessFolderCandidates(const AppState &state, AccessFolder folder)
{
    const std::optional<QString> configured = state.defaults().string(traits(folder).key);
    if (folder == AccessFolder::notes || (configured && !configured->trimmed().isEmpty()))
        return {accessFolderPath(state, folder)};
    return defaultCalendarRootCandidates(QDir::homePath());
}

bool isAccessFolderUsable(const AppState &state, AccessFolder folder)
{
    return isUsableFolder(accessFolderPath(state, folder), traits(folder).writable);
}

QCoro::Task<> requestAccessFolder(AppState &state, AccessFolder folder, bool askFirst)
{
    if (!askFirst && isAccessFolderUsable(state, folder)) {
        checkAndReport(state, folder);
        co_return;
    }
    co_await pickAccessFolder(QPointer<AppState>(&state), folder, askFirst);
}

} // namespace kolu
