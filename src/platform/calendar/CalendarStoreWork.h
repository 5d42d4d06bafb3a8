#pragma once

#include "model/AtomicFile.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/OccurrenceBudget.h"

#include <QTimeZone>

#include <optional>
#include <stop_token>

namespace kolu {

class CalendarFileCache;

// The blocking work behind VdirCalendarStore, run on a worker thread. Each
// function takes everything it needs as values, so nothing is shared with the
// thread that asked but the parsed files a `cache` keeps between calls (each
// call takes its guard; without a cache every file is parsed).

// How much one read of events may list, and when it should give up: once
// `stop` is requested it ends soon, with nothing.
struct EventReadBound {
    int occurrences = kMaxOccurrencesPerRead;
    std::stop_token stop;
    qint64 candidates = kMaxCandidatesPerRead;
};

// The occurrences in [from, to): with a `cache`, the very list it gave last
// time while the files and the window are the same. Beyond the bound, each
// file keeps its earliest occurrences (see OccurrenceBudget), and a file cut
// short is named in the log (once for what it holds, with a cache).
StoredEventList loadEvents(const QString &root, const QDateTime &from, const QDateTime &to, const QTimeZone &localZone,
                           CalendarFileCache *cache = nullptr, const EventReadBound &bound = {});

// The open to-dos as reminders: a due day counts from its start in
// `localZone`; a to-do without a title is "Untitled"; an address that does
// not read as one is left out.
std::vector<ReminderItem> loadOpenTodos(const QString &root, const QTimeZone &localZone,
                                        CalendarFileCache *cache = nullptr, const std::stop_token &stop = {});

// The list new to-dos go to: `preferred` when such a folder exists, else the
// first list by name that holds to-dos, else the first list. Nothing when the
// root holds no list.
std::optional<QString> defaultTodoListPath(const QString &root, const std::optional<QString> &preferred);

// Into the default list; a root that holds no list yet first gets one,
// named after `preferredList` when that is a plain folder name, else
// "reminders". A failure names the list, or the root when it holds none,
// and says when that takes no writes. `wrap` lets tests fail a save part way.
TodoWriteResult writeNewTodo(const QString &root, const std::optional<QString> &preferredList, const NewTodo &todo,
                             const SaveDeviceWrapper &wrap = {});

TodoWriteResult writeTodoCompletion(const QString &root, const QString &id, bool completed, const QDateTime &now,
                                    const SaveDeviceWrapper &wrap = {});

} // namespace kolu
