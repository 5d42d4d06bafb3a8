// Feeds arbitrary bytes to the iCalendar reader as the content of one item
// file: it must neither crash nor hang, whatever the bytes, and what it reads
// goes through recurrence expansion and the to-do editor as a real file would.
#include "platform/calendar/ICalendarReader.h"
#include "platform/calendar/RecurrenceExpansion.h"
#include "platform/calendar/TodoWriter.h"

#include <QHash>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace kolu;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ICalFile file = readICalendar(bytes);

    const QTimeZone zone("Europe/Berlin");
    const QDateTime from(QDate(2026, 3, 1), QTime(23, 0), Qt::UTC);
    const QDateTime to = from.addDays(7);
    QHash<QString, EventSeries> series;
    for (const ICalEvent &event : file.events) {
        EventSeries &entry = series[event.uid];
        if (event.recurrenceId)
            entry.overrides.push_back(&event);
        else if (!entry.master)
            entry.master = &event;
    }
    for (const EventSeries &entry : std::as_const(series)) {
        const auto occurrences = occurrencesInWindow(entry, from, to, zone);
        if (occurrences.size() > static_cast<size_t>(kMaxOccurrencesPerSeries) * (1 + entry.overrides.size()))
            std::abort();
    }
    if (!file.todos.empty()) {
        const TodoEditResult edit = withTodoCompletion(bytes, file.todos.front().uid, true, from);
        if (edit.status == TodoEditResult::Status::edited) {
            const ICalFile again = readICalendar(edit.bytes);
            if (again.todos.empty())
                std::abort();
        }
    }
    return 0;
}
