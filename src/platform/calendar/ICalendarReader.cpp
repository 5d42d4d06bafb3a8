#include "platform/calendar/ICalendarReader.h"

#include "model/TextCut.h"
#include "platform/calendar/CalendarFileReading.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <cstring>
#include <mutex>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Calendars hold nothing before or after these years; anything outside is
// treated as damage, which also keeps zone and recurrence arithmetic bounded.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2200;

void configureLibical()
{
    static std::once_flag once;
    std::call_once(once, [] {
        icalerror_set_errors_are_fatal(0);
        // Sets up the library's zone table once, before parsers run in parallel.
        icaltimezone_get_utc_timezone();
    });
}

std::optional<QString> text(const char *value)
{
    if (!value)
        return std::nullopt;
    return QString::fromUtf8(value);
}

// `value` cut to at most `length` units, never inside what a reader sees as
// one character.
std::optional<QString> cut(std::optional<QString> value, qsizetype length)
{
    if (value)
        cutWhole(*value, length);
    return value;
}

// Zones of the system database, looked up once per process: opening a zone
// reads its file, and thousands of items usually share a handful of zones.
QTimeZone systemZoneNamed(const QByteArray &id)
{
    static QMutex mutex;
    static QHash<QByteArray, QTimeZone> cache;
    QMutexLocker lock(&mutex);
    const auto found = cache.constFind(id);
    if (found != cache.constEnd())
        return *found;
    QTimeZone zone;
    if (QTimeZone::isTimeZoneIdAvailable(id)) {
        zone = QTimeZone(id);
    } else {
        // Names written by other systems' calendars.
        const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(id);
        if (!iana.isEmpty())
            zone = QTimeZone(iana);
    }
    cache.insert(id, zone);
    return zone;
}

// A zone id that carries a vendor prefix such as "/example.org/Tzfile/Europe/Berlin".
QTimeZone systemZoneForPrefixedId(const QByteArray &id)
{
    if (!id.startsWith('/'))
        return {};
    const QList<QByteArray> parts = id.split('/');
    for (qsizetype first = 1; first + 1 < parts.size(); ++first) {
        const QByteArray candidate = parts.mid(first).join('/');
        if (QTimeZone::isTimeZoneIdAvailable(candidate))
            return systemZoneNamed(candidate);
    }
    return {};
}

// A VTIMEZONE is trusted only when its rules are yearly and start in a sane
// year: expanding anything else can take unbounded time.
bool isSafeZoneDefinition(icalcomponent *vtimezone)
{
    for (icalcomponent *part = icalcomponent_get_first_component(vtimezone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(vtimezone, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(part);
        if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
            continue;
        icalproperty *start = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
        if (!start)
            return false;
        const icaltimetype value = icalvalue_get_datetime(icalproperty_get_value(start));
        if (value.year < kFirstYear - 400 || value.year > kLastYear)
            return false;
        for (icalproperty *rule = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); rule;
             rule = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
            if (recurrence.freq != ICAL_YEARLY_RECURRENCE || recurrence.interval != 1)
                return false;
        }
        int dates = 0;
        for (icalproperty *date = icalcomponent_get_first_property(part, ICAL_RDATE_PROPERTY); date;
             date = icalcomponent_get_next_property(part, ICAL_RDATE_PROPERTY)) {
            if (++dates > 1000)
                return false;
        }
    }
    return true;
}

struct ZoneDeleter {
    void operator()(icaltimezone *zone) const { icaltimezone_free(zone, 1); }
};

// The zones one file refers to, resolved once per file.
class ZoneTable {
public:
    explicit ZoneTable(icalcomponent *root)
    {
        collectDefinitions(root);
        m_utc = std::make_shared<ICalZone>();
        m_utc->utc = true;
    }

    std::shared_ptr<const ICalZone> zoneFor(icalproperty *property, const icaltimetype &value)
    {
        if (value.is_date)
            return nullptr;
        if (icaltime_is_utc(value))
            return m_utc;
        icalparameter *parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        const char *tzid = parameter ? icalparameter_get_tzid(parameter) : nullptr;
        if (!tzid || !*tzid)
            return nullptr;
        const QByteArray id(tzid);
        const auto known = m_zones.constFind(id);
        if (known != m_zones.constEnd())
            return *known;
        auto zone = std::make_shared<ICalZone>();
        zone->systemZone = systemZoneNamed(id);
        if (!zone->systemZone.isValid()) {
            zone->defined = definitionFor(id);
            if (!zone->defined)
                zone->systemZone = systemZoneForPrefixedId(id);
        }
        // An unknown zone reads as floating: the user's own zone is the best guess.
        std::shared_ptr<const ICalZone> result;
        if (zone->systemZone.isValid() || zone->defined)
            result = zone;
        m_zones.insert(id, result);
        return result;
    }

private:
    void collectDefinitions(icalcomponent *component)
    {
        if (icalcomponent_isa(component) == ICAL_VTIMEZONE_COMPONENT) {
            addDefinition(component);
            return;
        }
        for (icalcomponent *child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child;
             child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(child);
            if (kind == ICAL_VTIMEZONE_COMPONENT || kind == ICAL_VCALENDAR_COMPONENT)
                collectDefinitions(child);
        }
    }

    void addDefinition(icalcomponent *vtimezone)
    {
        icalproperty *idProperty = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY);
        const char *tzid = idProperty ? icalproperty_get_tzid(idProperty) : nullptr;
        if (tzid && *tzid && !m_definitions.contains(QByteArray(tzid)))
            m_definitions.insert(QByteArray(tzid), vtimezone);
    }

    // Built only for zones the system does not know: most files carry a
    // copy of a well-known zone that is never needed.
    std::shared_ptr<icaltimezone> definitionFor(const QByteArray &id) const
    {
        icalcomponent *vtimezone = m_definitions.value(id);
        if (!vtimezone || !isSafeZoneDefinition(vtimezone))
            return nullptr;
        icaltimezone *zone = icaltimezone_new();
        icalcomponent *copy = icalcomponent_new_clone(vtimezone);
        if (!icaltimezone_set_component(zone, copy)) {
            icalcomponent_free(copy);
            icaltimezone_free(zone, 1);
            return nullptr;
        }
        return std::shared_ptr<icaltimezone>(zone, ZoneDeleter());
    }

    std::shared_ptr<ICalZone> m_utc;
    QHash<QByteArray, icalcomponent *> m_definitions;
    QHash<QByteArray, std::shared_ptr<const ICalZone>> m_zones;
};

// The date or date-time value of a property, read without libical's own
// zone lookup (which reaches for process-wide state).
std::optional<WallTime> wallTimeOf(icalproperty *property, ZoneTable &zones)
{
    if (!property)
        return std::nullopt;
    icalvalue *value = icalproperty_get_value(property);
    if (!value)
        return std::nullopt;
    icaltimetype time;
    switch (icalvalue_isa(value)) {
    case ICAL_DATETIME_VALUE: time = icalvalue_get_datetime(value); break;
    case ICAL_DATE_VALUE: time = icalvalue_get_date(value); break;
    case ICAL_DATETIMEPERIOD_VALUE: {
        const icaldatetimeperiodtype both = icalvalue_get_datetimeperiod(value);
        time = icaltime_is_null_time(both.time) ? both.period.start : both.time;
        break;
    }
    case ICAL_PERIOD_VALUE: time = icalvalue_get_period(value).start; break;
    default: return std::nullopt;
    }
    if (icaltime_is_null_time(time) || time.year < kFirstYear || time.year > kLastYear)
        return std::nullopt;
    WallTime result;
    result.value = time;
    result.zone = zones.zoneFor(property, time);
    result.value.zone = nullptr;
    return result;
}

std::vector<WallTime> wallTimesOf(icalcomponent *component, icalproperty_kind kind, ZoneTable &zones)
{
    std::vector<WallTime> times;
    for (icalproperty *property = icalcomponent_get_first_property(component, kind); property;
         property = icalcomponent_get_next_property(component, kind)) {
        if (auto time = wallTimeOf(property, zones))
            times.push_back(*time);
    }
    return times;
}

std::optional<QString> xProperty(icalcomponent *component, const char *name)
{
    for (icalproperty *property = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); property;
         property = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char *propertyName = icalproperty_get_x_name(property);
        if (propertyName && qstricmp(propertyName, name) == 0)
            return text(icalproperty_get_value_as_string(property));
    }
    return std::nullopt;
}

std::optional<ICalEvent> readEvent(icalcomponent *component, ZoneTable &zones)
{
    auto start = wallTimeOf(icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY), zones);
    if (!start)
        return std::nullopt;
    ICalEvent event;
    event.uid = text(icalcomponent_get_uid(component)).value_or(QString());
    event.summary = cut(textProperty(component, ICAL_SUMMARY_PROPERTY), kMaxTitleLength);
    event.location = cut(textProperty(component, ICAL_LOCATION_PROPERTY), kMaxTitleLength);
    event.description = cut(textProperty(component, ICAL_DESCRIPTION_PROPERTY), kMaxNotesLength);
    event.url = cut(textProperty(component, ICAL_URL_PROPERTY), kMaxAddressLength);
    icalproperty *status = icalcomponent_get_first_property(component, ICAL_STATUS_PROPERTY);
    event.cancelled = status && icalproperty_get_status(status) == ICAL_STATUS_CANCELLED;
    event.start = *start;
    event.end = wallTimeOf(icalcomponent_get_first_property(component, ICAL_DTEND_PROPERTY), zones);
    if (icalproperty *duration = icalcomponent_get_first_property(component, ICAL_DURATION_PROPERTY)) {
        const icaldurationtype value = icalproperty_get_duration(duration);
        if (!icaldurationtype_is_bad_duration(value) && !value.is_neg)
            event.durationSeconds = icaldurationtype_as_int(value);
    }
    for (icalproperty *attendee = icalcomponent_get_first_property(component, ICAL_ATTENDEE_PROPERTY); attendee;
         attendee = icalcomponent_get_next_property(component, ICAL_ATTENDEE_PROPERTY)) {
        ICalAttendee entry;
        if (icalparameter *cn = icalproperty_get_first_parameter(attendee, ICAL_CN_PARAMETER))
            entry.name = cut(text(icalparameter_get_cn(cn)), kMaxTitleLength);
        entry.address = cut(text(icalproperty_get_attendee(attendee)), kMaxAddressLength).value_or(QString());
        event.attendees.push_back(std::move(entry));
    }
    for (icalproperty *rule = icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY); rule;
         rule = icalcomponent_get_next_property(component, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
        if (recurrence.freq != ICAL_NO_RECURRENCE)
            event.rules.emplace_back(recurrence);
    }
    event.recurrenceDates = wallTimesOf(component, ICAL_RDATE_PROPERTY, zones);
    event.exceptionDates = wallTimesOf(component, ICAL_EXDATE_PROPERTY, zones);
    event.recurrenceId = wallTimeOf(icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY), zones);
    return event;
}

ICalTodo readTodo(icalcomponent *component, ZoneTable &zones)
{
    ICalTodo todo;
    todo.uid = text(icalcomponent_get_uid(component)).value_or(QString());
    todo.summary = cut(textProperty(component, ICAL_SUMMARY_PROPERTY), kMaxTitleLength);
    todo.description = cut(textProperty(component, ICAL_DESCRIPTION_PROPERTY), kMaxNotesLength);
    todo.url = cut(textProperty(component, ICAL_URL_PROPERTY), kMaxAddressLength);
    todo.due = wallTimeOf(icalcomponent_get_first_property(component, ICAL_DUE_PROPERTY), zones);
    if (icalproperty *priority = icalcomponent_get_first_property(component, ICAL_PRIORITY_PROPERTY)) {
        const int value = icalproperty_get_priority(priority);
        todo.priority = value >= 0 && value <= 9 ? value : 0;
    }
    const auto flagged = xProperty(component, "X-KOLU-FLAGGED");
    todo.flagged = flagged && flagged->trimmed().compare(u"TRUE", Qt::CaseInsensitive) == 0;
    icalproperty *status = icalcomponent_get_first_property(component, ICAL_STATUS_PROPERTY);
    const icalproperty_status statusValue = status ? icalproperty_get_status(status) : ICAL_STATUS_NONE;
    todo.completed = statusValue == ICAL_STATUS_COMPLETED
                     || icalcomponent_get_first_property(component, ICAL_COMPLETED_PROPERTY) != nullptr;
    todo.cancelled = statusValue == ICAL_STATUS_CANCELLED;
    return todo;
}

void collectItems(icalcomponent *component, icalcomponent_kind kind, std::vector<icalcomponent *> &items, int depth)
{
    if (icalcomponent_isa(component) == kind) {
        items.push_back(component);
        return;
    }
    if (depth > 2)
        return;
    for (icalcomponent *child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child;
         child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind childKind = icalcomponent_isa(child);
        if (childKind == kind || childKind == ICAL_VCALENDAR_COMPONENT || childKind == ICAL_XROOT_COMPONENT)
            collectItems(child, kind, items, depth + 1);
    }
}

} // namespace

QDate WallTime::date() const
{
    return QDate(value.year, value.month, value.day);
}

namespace {

// The moment of a wall-clock time (counted as if the wall clock were UTC) in
// a zone known by its offset from UTC at any moment.
template<typename OffsetAt>
QDateTime momentOfWall(qint64 wall, const OffsetAt &offsetAt)
{
    // The offsets in force a day before and a day after: zones do not change
    // their clocks twice within a day.
    const int before = offsetAt(wall - 86400);
    const int after = offsetAt(wall + 86400);
    // No change of clocks near: every way below comes to the same moment.
    if (before == after)
        return QDateTime::fromSecsSinceEpoch(wall - before, Qt::UTC);
    const bool beforeFits = offsetAt(wall - before) == before;
    const bool afterFits = offsetAt(wall - after) == after;
    qint64 utc = wall - before; // a time in the gap moves forward by the gap
    if (beforeFits && afterFits)
        utc = std::min(wall - before, wall - after); // a repeated time: its first occurrence
    else if (afterFits)
        utc = wall - after;
    return QDateTime::fromSecsSinceEpoch(utc, Qt::UTC);
}

} // namespace

QDateTime momentAt(const QDate &date, const QTime &clock, const QTimeZone &zone)
{
    return momentOfWall(QDateTime(date, clock, Qt::UTC).toSecsSinceEpoch(),
                        [&](qint64 utc) { return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(utc, Qt::UTC)); });
}

std::optional<QDateTime> momentOf(const WallTime &time, const QTimeZone &localZone)
{
    const icaltimetype &v = time.value;
    if (v.year < kFirstYear || v.year > kLastYear)
        return std::nullopt;
    const QDate date(v.year, v.month, v.day);
    if (!date.isValid())
        return std::nullopt;
    if (v.is_date)
        return momentAt(date, QTime(0, 0), localZone);
    // A leap second reads as the second before it.
    const QTime clock(v.hour, v.minute, qMin(v.second, 59));
    if (!clock.isValid())
        return std::nullopt;
    if (!time.zone)
        return momentAt(date, clock, localZone);
    if (time.zone->utc)
        return QDateTime(date, clock, Qt::UTC);
    if (time.zone->systemZone.isValid())
        return momentAt(date, clock, time.zone->systemZone);
    icaltimezone *defined = time.zone->defined.get();
    return momentOfWall(QDateTime(date, clock, Qt::UTC).toSecsSinceEpoch(), [defined](qint64 utc) {
        icaltimetype moment = icaltime_from_timet_with_zone(static_cast<time_t>(utc), 0, nullptr);
        return icaltimezone_get_utc_offset_of_utc_time(defined, &moment, nullptr);
    });
}

icaltimetype wallClockIn(const QDateTime &moment, const WallTime &reference, const QTimeZone &localZone)
{
    QDateTime there;
    icaltimetype result = icaltime_null_time();
    if (reference.zone && reference.zone->defined) {
        result = icaltime_from_timet_with_zone(moment.toSecsSinceEpoch(), 0, reference.zone->defined.get());
    } else {
        if (!reference.zone)
            there = moment.toTimeZone(localZone);
        else if (reference.zone->utc)
            there = moment.toUTC();
        else
            there = moment.toTimeZone(reference.zone->systemZone);
        result.year = there.date().year();
        result.month = there.date().month();
        result.day = there.date().day();
        result.hour = there.time().hour();
        result.minute = there.time().minute();
        result.second = there.time().second();
    }
    result.zone = nullptr;
    result.is_daylight = 0;
    result.is_date = reference.value.is_date;
    if (result.is_date)
        result.hour = result.minute = result.second = 0;
    return result;
}

namespace {

// What the parser reads next, handed over in the pieces it asks for.
struct ParserInput {
    const char *at;
    const char *end;
    const std::stop_token *stop;
};

// Gives the parser at most `size` - 1 bytes, up to and with the next line
// end; nothing once all is read or a stop is requested.
char *nextPiece(char *out, size_t size, void *data)
{
    auto *input = static_cast<ParserInput *>(data);
    if (input->at == input->end || size < 2 || input->stop->stop_requested())
        return nullptr;
    const size_t room = std::min(size - 1, size_t(input->end - input->at));
    const auto *newline = static_cast<const char *>(std::memchr(input->at, '\n', room));
    const size_t length = newline ? size_t(newline - input->at) + 1 : room;
    std::memcpy(out, input->at, length);
    out[length] = '\0';
    input->at += length;
    return out;
}

struct ParserDeleter {
    void operator()(icalparser *parser) const { icalparser_free(parser); }
};

} // namespace

ICalComponentPtr parseICalendar(const QByteArray &bytes, const std::stop_token &stop, QString *leftOut)
{
    configureLibical();
    const QByteArray bounded = foldLongLines(withinLineBounds(bytes, leftOut));
    // The parser reads up to the first NUL byte; a file with one inside is damaged anyway.
    const char *begin = bounded.constData();
    const auto *nul = static_cast<const char *>(std::memchr(begin, '\0', size_t(bounded.size())));
    ParserInput input{begin, nul ? nul : begin + bounded.size(), &stop};
    const std::unique_ptr<icalparser, ParserDeleter> parser(icalparser_new());
    icalparser_set_gen_data(parser.get(), &input);
    ICalComponentPtr root(icalparser_parse(parser.get(), &nextPiece));
    if (stop.stop_requested())
        return nullptr;
    return root;
}

std::vector<icalcomponent *> itemComponents(icalcomponent *root, icalcomponent_kind kind)
{
    std::vector<icalcomponent *> items;
    if (root)
        collectItems(root, kind, items, 0);
    return items;
}

std::optional<QString> textProperty(icalcomponent *component, icalproperty_kind kind)
{
    icalproperty *property = icalcomponent_get_first_property(component, kind);
    if (!property) {
        // The parser drops a property written with nothing after the colon
        // and leaves a note; such a property is there, but empty.
        const QByteArray note = QByteArray("No value for ") + icalproperty_kind_to_string(kind) + " property";
        for (icalproperty *error = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY); error;
             error = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
            const char *text = icalproperty_get_xlicerror(error);
            if (text && QByteArray(text).startsWith(note))
                return QString();
        }
        return std::nullopt;
    }
    icalvalue *value = icalproperty_get_value(property);
    if (!value)
        return QString();
    if (icalvalue_isa(value) == ICAL_TEXT_VALUE)
        return text(icalvalue_get_text(value));
    return text(icalproperty_get_value_as_string(property));
}

namespace {

// Items in one piece of a large file: the parsed tree of a piece is a few MB.
constexpr qsizetype kItemsPerPiece = 500;

ICalFile stopped()
{
    ICalFile file;
    file.problem = u"its reading was stopped"_s;
    return file;
}

ICalFile readWhole(const QByteArray &bytes, const std::stop_token &stop)
{
    ICalFile file;
    const ICalComponentPtr root = parseICalendar(bytes, stop, &file.lineLeftOut);
    if (stop.stop_requested())
        return stopped();
    if (!root) {
        const QByteArray upper = bytes.toUpper();
        if (bytes.trimmed().isEmpty())
            file.problem = u"it is empty"_s;
        else if (upper.contains("BEGIN:VCALENDAR") && !upper.contains("END:VCALENDAR"))
            file.problem = u"it ends part way through, before END:VCALENDAR"_s;
        else
            file.problem = u"it holds no iCalendar data the parser can read"_s;
        return file;
    }
    ZoneTable zones(root.get());
    // Each item is let go of as soon as it is read, so that the parsed tree
    // and what is read from it are not held whole at the same time.
    const auto release = [&root](icalcomponent *component) {
        if (component == root.get())
            return;
        if (icalcomponent *parent = icalcomponent_get_parent(component))
            icalcomponent_remove_component(parent, component);
        icalcomponent_free(component);
    };
    for (icalcomponent *component : itemComponents(root.get(), ICAL_VEVENT_COMPONENT)) {
        if (auto event = readEvent(component, zones))
            file.events.push_back(std::move(*event));
        release(component);
    }
    for (icalcomponent *component : itemComponents(root.get(), ICAL_VTODO_COMPONENT)) {
        file.todos.push_back(readTodo(component, zones));
        release(component);
    }
    return file;
}

} // namespace

ICalFile readICalendar(const QByteArray &original, const std::stop_token &stop)
{
    // Zones the system knows are taken from it, whatever the file defines.
    const QByteArray bytes =
        withoutZoneDefinitions(original, [](const QByteArray &id) { return systemZoneNamed(id).isValid(); });
    // A file too small to hold that many items is not even looked through.
    const std::vector<QByteArray> pieces =
        bytes.size() < kItemsPerPiece * 64 ? std::vector<QByteArray>() : calendarPieces(bytes, kItemsPerPiece);
    if (pieces.empty())
        return readWhole(bytes, stop);
    ICalFile file;
    for (const QByteArray &piece : pieces) {
        ICalFile part = readWhole(piece, stop);
        if (stop.stop_requested())
            return stopped();
        if (!part.problem.isEmpty())
            return readWhole(bytes, stop);
        if (file.lineLeftOut.isEmpty())
            file.lineLeftOut = part.lineLeftOut;
        std::move(part.events.begin(), part.events.end(), std::back_inserter(file.events));
        std::move(part.todos.begin(), part.todos.end(), std::back_inserter(file.todos));
    }
    return file;
}

} // namespace kolu
