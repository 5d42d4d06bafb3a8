#include "platform/calendar/VdirCalendarStore.h"

#include "model/UserDefaults.h"
#include "platform/calendar/CalendarFolders.h"
#include "platform/calendar/CalendarStoreWork.h"

#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

namespace kolu {

CalendarStore::~CalendarStore() = default;

VdirCalendarStore::VdirCalendarStore(UserDefaults &defaults, QString home, QTimeZone localZone)
    : m_defaults(defaults)
    , m_home(std::move(home))
    , m_localZone(std::move(localZone))
{
}

QString VdirCalendarStore::calendarRoot() const
{
    return resolveCalendarRoot(m_defaults.string(SettingsKey::calendarFolderPath), m_home);
}

QString VdirCalendarStore::remindersRoot() const
{
    return resolveCalendarRoot(m_defaults.string(SettingsKey::remindersFolderPath), m_home);
}

bool VdirCalendarStore::hasEventAccess() const
{
    return isUsableFolder(calendarRoot(), false);
}

bool VdirCalendarStore::hasReminderAccess() const
{
    return isUsableFolder(remindersRoot(), true);
}

QCoro::Task<std::vector<StoredEvent>> VdirCalendarStore::events(QDateTime from, QDateTime to)
{
    co_return co_await QtConcurrent::run(&loadEvents, calendarRoot(), from, to, m_localZone);
}

QCoro::Task<std::vector<ReminderItem>> VdirCalendarStore::openTodos()
{
    co_return co_await QtConcurrent::run(&loadOpenTodos, remindersRoot(), m_localZone);
}

QCoro::Task<TodoWriteResult> VdirCalendarStore::addTodo(NewTodo todo)
{
    co_return co_await QtConcurrent::run(&writeNewTodo, remindersRoot(),
                                         m_defaults.string(SettingsKey::remindersDefaultListName), std::move(todo),
                                         SaveDeviceWrapper());
}

QCoro::Task<TodoWriteResult> VdirCalendarStore::setTodoCompleted(QString id, bool completed, QDateTime now)
{
    co_return co_await QtConcurrent::run(&writeTodoCompletion, remindersRoot(), std::move(id), completed,
                                         std::move(now), SaveDeviceWrapper());
}

} // namespace kolu
