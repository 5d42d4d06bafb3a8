#pragma once

#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/SharedCalendarRoots.h"
#include "platform/files/FolderPresenceWatch.h"

#include <QDir>
#include <QString>
#include <QTimeZone>

#include <memory>
#include <stop_token>

namespace kolu {

class UserDefaults;

// Calendars and to-do lists kept as folders of iCalendar files: a root folder
// holds one folder per calendar or list, each holding one ".ics" file per
// item. Synchronisation tools and command-line calendars share this layout,
// so whatever they keep shows here and what is written here reaches them.
class VdirCalendarStore final : public CalendarStore {
public:
    // Times without a zone are read in `localZone`. Stores given the same
    // `sharedRoots` parse a root they both read once; without it the store
    // parses on its own.
    explicit VdirCalendarStore(UserDefaults &defaults, QString home = QDir::homePath(),
                               QTimeZone localZone = QTimeZone::systemTimeZone(),
                               std::shared_ptr<SharedCalendarRoots> sharedRoots = {});
    // Reads still running end soon, with nothing.
    ~VdirCalendarStore() override;

    QString calendarRoot() const;
    QString remindersRoot() const;

    bool hasEventAccess() const override;
    bool hasReminderAccess() const override;
    QCoro::Task<StoredEventList> events(QDateTime from, QDateTime to) override;
    QCoro::Task<std::vector<ReminderItem>> openTodos() override;
    QCoro::Task<TodoWriteResult> addTodo(NewTodo todo) override;
    QCoro::Task<TodoWriteResult> setTodoCompleted(QString id, bool completed, QDateTime now) override;
    // Watches the roots events and to-dos were last read from.
    void setOnFolderChange(std::function<void()> onChange) override;

    // How many reads of events and to-dos went to a worker, so far.
    qint64 startedReadCount() const;

private:
    // A read on a worker, in its turn (see CalendarReadQueue). Made apart
    // from the coroutines that wait for it: a lambda built within an awaited
    // expression loses what it captured with the compiler used here.
    QFuture<StoredEventList> readEvents(const QString &root, const QDateTime &from, const QDateTime &to);
    QFuture<std::vector<ReminderItem>> readTodos(const QString &root);
    // Notes the root a read or a look at access went to, for the watch.
    void readFrom(QString &lastRoot, const QString &root) const;

    UserDefaults &m_defaults;
    QString m_home;
    QTimeZone m_localZone;
    std::shared_ptr<SharedCalendarRoots> m_sharedRoots;
    // Parsed files kept between refreshes; shared with the worker reading
    // them, so a read still running when the store goes keeps its cache.
    std::shared_ptr<CalendarRootFiles> m_eventFiles;
    std::shared_ptr<CalendarRootFiles> m_todoFiles;
    // Requested when the program quits or the store goes: a read under way
    // (a calendar that floods can take long) then ends soon, so quitting
    // does not wait for it.
    std::stop_source m_stop;
    mutable QString m_eventsRoot;
    mutable QString m_todosRoot;
    FolderPresenceWatchPtr m_watch;
};

} // namespace kolu
