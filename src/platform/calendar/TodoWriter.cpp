#include "platform/calendar/TodoWriter.h"

#include "platform/calendar/ICalendarReader.h"

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

void replaceProperty(icalcomponent *component, icalproperty_kind kind, icalproperty *replacement)
{
    while (icalproperty *old = icalcomponent_get_first_property(component, kind)) {
        icalcomponent_remove_property(component, old);
        icalproperty_free(old);
    }
    if (replacement)
        icalcomponent_add_property(component, replacement);
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

bool holdsCleanTodo(const QByteArray &bytes, const QString &uid)
{
    const ICalComponentPtr root = parseICalendar(bytes);
    return root && icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT
        && icalcomponent_count_errors(root.get()) == 0 && hasTodo(root.get(), uid);
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

TodoEditResult withTodoCompletion(const QByteArray &original, const QString &uid, bool completed,
                                  const QDateTime &now)
{
    TodoEditResult result;
    const ICalComponentPtr root = parseICalendar(original);
    if (!root)
        return result;
    icalcomponent *target = nullptr;
    for (icalcomponent *item : itemComponents(root.get(), ICAL_VTODO_COMPONENT)) {
        const char *itemUid = icalcomponent_get_uid(item);
        if (itemUid && QString::fromUtf8(itemUid) == uid
            && !icalcomponent_get_first_property(item, ICAL_RECURRENCEID_PROPERTY)) {
            target = item;
            break;
        }
    }
    if (!target)
        return result;
    if (icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT || icalcomponent_count_errors(root.get()) > 0) {
        result.status = TodoEditResult::Status::unreadable;
        return result;
    }
    const icaltimetype stamp = utcTime(now);
    replaceProperty(target, ICAL_STATUS_PROPERTY,
                    icalproperty_new_status(completed ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION));
    replaceProperty(target, ICAL_COMPLETED_PROPERTY, completed ? icalproperty_new_completed(stamp) : nullptr);
    replaceProperty(target, ICAL_PERCENTCOMPLETE_PROPERTY, icalproperty_new_percentcomplete(completed ? 100 : 0));
    replaceProperty(target, ICAL_LASTMODIFIED_PROPERTY, icalproperty_new_lastmodified(stamp));
    replaceProperty(target, ICAL_DTSTAMP_PROPERTY, icalproperty_new_dtstamp(stamp));
    // What is written must read back whole, with the edited to-do in it.
    const QByteArray bytes = serialize(root.get());
    if (!holdsCleanTodo(bytes, uid)) {
        result.status = TodoEditResult::Status::unreadable;
        return result;
    }
    result.status = TodoEditResult::Status::edited;
    result.bytes = bytes;
    return result;
}

} // namespace kolu
