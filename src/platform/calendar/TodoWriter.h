#pragma once

#include "platform/calendar/CalendarStore.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace kolu {

// A whole iCalendar file holding one new to-do with the identifier `uid`.
QByteArray composeTodoFile(const NewTodo &todo, const QString &uid);

struct TodoEditResult {
    enum class Status { edited, notFound, unreadable };
    Status status = Status::notFound;
    QByteArray bytes;
};

// `original` with the to-do `uid` marked completed at `now` or open again.
// Everything else in the file is kept. A file that the parser could not read
// without errors is `unreadable`: rewriting it would drop what it skipped.
TodoEditResult withTodoCompletion(const QByteArray &original, const QString &uid, bool completed, const QDateTime &now);

} // namespace kolu
