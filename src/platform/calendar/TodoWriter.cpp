#include "platform/calendar/TodoWriter.h"

#include "platform/calendar/ICalendarReader.h"

#include <map>
#include <optional>
#include <vector>

namespace kolu {

namespace {

icaltimetype utcTime(const QDateTime &moment)
{
    return icaltime_from_timet_with_zone(moment.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
}

icaltimetype dateValue(const QDate &date)
{
    icaltimetype value = icaltime_null_date();
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    return value;
}

QByteArray serialize(icalcomponent *component)
{
    char *text = icalcomponent_as_ical_string_r(component);
    QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

bool hasTodo(icalcomponent *root, const QString &uid)
{
    for (icalcomponent *item : itemComponents(root, ICAL_VTODO_COMPONENT)) {
        const char *itemUid = icalcomponent_get_uid(item);
        if (itemUid && QString::fromUtf8(itemUid) == uid
            && !icalcomponent_get_first_property(item, ICAL_RECURRENCEID_PROPERTY))
            return true;
    }
    return false;
}

bool isCompleted(icalcomponent *root, const QString &uid)
{
    for (icalcomponent *item : itemComponents(root, ICAL_VTODO_COMPONENT)) {
        const char *itemUid = icalcomponent_get_uid(item);
        if (!itemUid || QString::fromUtf8(itemUid) != uid
            || icalcomponent_get_first_property(item, ICAL_RECURRENCEID_PROPERTY))
            continue;
        icalproperty *status = icalcomponent_get_first_property(item, ICAL_STATUS_PROPERTY);
        return (status && icalproperty_get_status(status) == ICAL_STATUS_COMPLETED)
               || icalcomponent_get_first_property(item, ICAL_COMPLETED_PROPERTY);
    }
    return false;
}

// One content line as it stands in the file: its first physical line and any
// folded continuation, line ends included.
struct ContentLine {
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray name;  // upper case
    QByteArray value; // unfolded, as written
};

std::vector<ContentLine> contentLines(const QByteArray &bytes)
{
    std::vector<ContentLine> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype next = newline < 0 ? bytes.size() : newline + 1;
        const bool continuation = bytes[start] == ' ' || bytes[start] == '\t';
        if (continuation && !lines.empty()) {
            lines.back().end = next;
        } else {
            lines.push_back({start, next, {}, {}});
        }
        start = next;
    }
    for (ContentLine &line : lines) {
        QByteArray text = bytes.mid(line.begin, line.end - line.begin);
        text.replace("\r\n ", "").replace("\r\n\t", "").replace("\n ", "").replace("\n\t", "");
        while (text.endsWith('\n') || text.endsWith('\r'))
            text.chop(1);
        qsizetype nameEnd = 0;
        while (nameEnd < text.size() && text[nameEnd] != ':' && text[nameEnd] != ';')
            ++nameEnd;
        line.name = text.left(nameEnd).trimmed().toUpper();
        bool quoted = false;
        for (qsizetype i = nameEnd; i < text.size(); ++i) {
            if (text[i] == '"') {
                quoted = !quoted;
            } else if (text[i] == ':' && !quoted) {
                line.value = text.mid(i + 1);
                break;
            }
        }
    }
    return lines;
}

// Where in the file one to-do's own properties are.
struct TodoLines {
    size_t begin = 0;            // the BEGIN:VTODO line
    size_t end = 0;              // the END:VTODO line
    size_t firstNested = 0;      // the first line of a component inside it, or `end`
    std::vector<size_t> own;     // lines directly inside it
    QByteArray lineEnd = "\r\n"; // as the file writes them
};

std::optional<TodoLines> findTodo(const QByteArray &bytes, const std::vector<ContentLine> &lines, const QByteArray &uid)
{
    std::vector<QByteArray> open;
    std::optional<TodoLines> current;
    size_t currentDepth = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ContentLine &line = lines[i];
        if (line.name == "BEGIN") {
            const QByteArray kind = line.value.trimmed().toUpper();
            if (current && open.size() == currentDepth && current->firstNested == current->end)
                current->firstNested = i;
            open.push_back(kind);
            if (kind == "VTODO" && !current) {
                current = TodoLines{i, 0, 0, {}, {}};
                currentDepth = open.size();
                current->firstNested = current->end = size_t(-1);
            }
            continue;
        }
        if (line.name == "END") {
            if (current && open.size() == currentDepth) {
                current->end = i;
                if (current->firstNested == size_t(-1))
                    current->firstNested = i;
                const QByteArray text = bytes.mid(line.begin, line.end - line.begin);
                current->lineEnd = text.endsWith("\r\n") ? "\r\n" : "\n";
                bool matches = false;
                bool isOverride = false;
                for (size_t own : current->own) {
                    if (lines[own].name == "UID" && lines[own].value == uid)
                        matches = true;
                    if (lines[own].name == "RECURRENCE-ID")
                        isOverride = true;
                }
                if (matches && !isOverride)
                    return current;
                current.reset();
            }
            if (!open.empty())
                open.pop_back();
            continue;
        }
        if (current && open.size() == currentDepth)
            current->own.push_back(i);
    }
    return std::nullopt;
}

// `bytes` with the named properties of one to-do set to new values (or
// removed for no value). Each property's first line is replaced where it
// stands and any repeat removed; a missing one is added after the to-do's
// last property. Every other byte stays as it was.
QByteArray withChangedProperties(const QByteArray &bytes, const std::vector<ContentLine> &lines, const TodoLines &todo,
                                 const std::vector<std::pair<QByteArray, std::optional<QByteArray>>> &changes)
{
    std::map<size_t, QByteArray> replaced; // line index to its new text (empty: removed)
    QByteArray added;
    for (const auto &[name, value] : changes) {
        const QByteArray text = value ? name + ':' + *value + todo.lineEnd : QByteArray();
        bool placed = false;
        for (size_t own : todo.own) {
            if (lines[own].name != name)
                continue;
            replaced[own] = placed ? QByteArray() : text;
            placed = true;
        }
        if (!placed)
            added += text;
    }
    QByteArray result;
    result.reserve(bytes.size() + added.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == todo.firstNested)
            result += added;
        const auto change = replaced.find(i);
        if (change != replaced.end())
            result += change->second;
        else
            result.append(bytes.constData() + lines[i].begin, lines[i].end - lines[i].begin);
    }
    return result;
}

} // namespace

QByteArray composeTodoFile(const NewTodo &todo, const QString &uid)
{
    icalcomponent *calendar = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(calendar, icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar, icalproperty_new_prodid("-//Kolu//Kolu//EN"));

    icalcomponent *item = icalcomponent_new(ICAL_VTODO_COMPONENT);
    const icaltimetype created = utcTime(todo.createdAt);
    icalcomponent_add_property(item, icalproperty_new_uid(utf8(uid).constData()));
    icalcomponent_add_property(item, icalproperty_new_dtstamp(created));
    icalcomponent_add_property(item, icalproperty_new_created(created));
    icalcomponent_add_property(item, icalproperty_new_lastmodified(created));
    icalcomponent_add_property(item, icalproperty_new_summary(utf8(todo.title).constData()));
    if (todo.notes)
        icalcomponent_add_property(item, icalproperty_new_description(utf8(*todo.notes).constData()));
    if (todo.url)
        icalcomponent_add_property(item, icalproperty_new_url(utf8(*todo.url).constData()));
    icalcomponent_add_property(item, icalproperty_new_priority(todo.priority));
    icalcomponent_add_property(item, icalproperty_new_status(ICAL_STATUS_NEEDSACTION));
    if (todo.isFlagged) {
        icalproperty *flag = icalproperty_new_x("TRUE");
        icalproperty_set_x_name(flag, "X-KOLU-FLAGGED");
        icalcomponent_add_property(item, flag);
    }
    if (todo.dueTime) {
        icalcomponent_add_property(item, icalproperty_new_due(utcTime(*todo.dueTime)));
    } else if (todo.dueDate) {
        icalproperty *due = icalproperty_new_due(dateValue(*todo.dueDate));
        icalproperty_add_parameter(due, icalparameter_new_value(ICAL_VALUE_DATE));
        icalcomponent_add_property(item, due);
    }
    if (todo.alarmAtDueTime && todo.dueTime) {
        icalcomponent *alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icaltriggertype trigger;
        trigger.time = utcTime(*todo.dueTime);
        trigger.duration = icaldurationtype_null_duration();
        icalproperty *triggerProperty = icalproperty_new_trigger(trigger);
        icalproperty_add_parameter(triggerProperty, icalparameter_new_value(ICAL_VALUE_DATETIME));
        icalcomponent_add_property(alarm, triggerProperty);
        icalcomponent_add_property(alarm, icalproperty_new_description(utf8(todo.title).constData()));
        icalcomponent_add_component(item, alarm);
    }
    icalcomponent_add_component(calendar, item);
    const QByteArray bytes = serialize(calendar);
    icalcomponent_free(calendar);
    return bytes;
}

TodoEditResult withTodoCompletion(const QByteArray &original, const QString &uid, bool completed, const QDateTime &now)
{
    TodoEditResult result;
    const ICalComponentPtr root = parseICalendar(original);
    if (!root || !hasTodo(root.get(), uid))
        return result;
    if (icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT || icalcomponent_count_errors(root.get()) > 0) {
        result.status = TodoEditResult::Status::unreadable;
        return result;
    }
    const auto lines = contentLines(original);
    const auto target = findTodo(original, lines, uid.toUtf8());
    if (!target) {
        result.status = TodoEditResult::Status::unreadable;
        return result;
    }
    const QByteArray stamp = QByteArray(icaltime_as_ical_string(utcTime(now)));
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> changes{
        {"STATUS", QByteArray(completed ? "COMPLETED" : "NEEDS-ACTION")},
        {"COMPLETED", completed ? std::optional(stamp) : std::nullopt},
        {"PERCENT-COMPLETE", QByteArray(completed ? "100" : "0")},
        {"LAST-MODIFIED", stamp},
        {"DTSTAMP", stamp},
    };
    const QByteArray bytes = withChangedProperties(original, lines, *target, changes);
    // What is written must read back whole, with the edited to-do in it.
    const ICalComponentPtr check = parseICalendar(bytes);
    if (!check || icalcomponent_isa(check.get()) != ICAL_VCALENDAR_COMPONENT
        || icalcomponent_count_errors(check.get()) > 0 || !hasTodo(check.get(), uid)
        || isCompleted(check.get(), uid) != completed) {
        result.status = TodoEditResult::Status::unreadable;
        return result;
    }
    result.status = TodoEditResult::Status::edited;
    result.bytes = bytes;
    return result;
}

} // namespace kolu
