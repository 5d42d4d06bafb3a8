#pragma once

#include "model/Records.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kolu {

struct StoredAttendee {
    std::optional<QString> name;
    QString address; // as written, usually "mailto:..."

    friend bool operator==(const StoredAttendee &, const StoredAttendee &) = default;
};

// One occurrence of an event. A repeating event gives one per start, all
// with the series' identifier.
struct StoredEvent {
    QString seriesId;
    std::optional<QString> title;
    QDateTime start;
    QDateTime end;
    bool isAllDay = false;
    std::optional<QString> location;
    std::optional<QString> notes;
    std::optional<QString> url;
    std::vector<StoredAttendee> attendees;

    friend bool operator==(const StoredEvent &, const StoredEvent &) = default;
};

struct NewTodo {
    QString title;
    std::optional<QString> notes;
    std::optional<QString> url;
    int priority = 0;
    bool isFlagged = false;
    std::optional<QDate> dueDate;
    std::optional<QDateTime> dueTime;
    bool alarmAtDueTime = false;
    QDateTime createdAt;
};

struct TodoWriteResult {
    enum class Status { saved, noList, notFound, failed };
    Status status = Status::saved;
    QString message; // for `failed`
};

// Occurrences as a store hands them over: never changed once given, so a
// store may give the very same list again while its calendars are unchanged.
using StoredEventList = std::shared_ptr<const std::vector<StoredEvent>>;

// The user's calendars and to-do lists. Reading and writing run off the
// calling thread; results arrive on it.
class CalendarStore {
public:
    virtual ~CalendarStore();

    // Whether the calendars can be read.
    virtual bool hasEventAccess() const = 0;
    // Whether the to-do lists can be read (writing may still be refused).
    virtual bool hasReminderAccess() const = 0;

    // Occurrences that overlap [from, to), in the store's order; never null.
    virtual QCoro::Task<StoredEventList> events(QDateTime from, QDateTime to) = 0;
    // To-dos that are neither completed nor cancelled, in the store's order.
    virtual QCoro::Task<std::vector<ReminderItem>> openTodos() = 0;
    // Adds a to-do to the default list.
    virtual QCoro::Task<TodoWriteResult> addTodo(NewTodo todo) = 0;
    // Marks the to-do `id` completed at `now`, or open again.
    virtual QCoro::Task<TodoWriteResult> setTodoCompleted(QString id, bool completed, QDateTime now) = 0;

    // Calls `onChange` on this thread whenever the folders the store last
    // read from may hold something new without any file of theirs changing:
    // a calendar or list added or removed, or a folder that was missing come
    // back. Null stops it. A store without folders never calls it.
    virtual void setOnFolderChange(std::function<void()> onChange);
};

} // namespace kolu
