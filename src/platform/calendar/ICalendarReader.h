#pragma once

#include <libical/ical.h>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace kolu {

// The zone a wall-clock time of one file is written in: UTC, a zone from the
// system's database, a zone defined only by the file's own VTIMEZONE, or none
// (a floating time, read in the user's local zone).
struct ICalZone {
    bool utc = false;
    QTimeZone systemZone;                  // valid when the system knows the zone
    std::shared_ptr<icaltimezone> defined; // the file's own definition otherwise
};

// A date or date-time as written in a file, with its zone.
struct WallTime {
    icaltimetype value = icaltime_null_time();
    std::shared_ptr<const ICalZone> zone; // null: floating

    bool isDate() const { return value.is_date != 0; }
    // The calendar date of the value, whatever its zone.
    QDate date() const;
};

// The moment a wall-clock time in `zone` stands for. A time that a clock
// change skips is moved forward by the length of the gap; a time that it
// repeats means its first occurrence.
QDateTime momentAt(const QDate &date, const QTime &clock, const QTimeZone &zone);

// The moment a wall-clock time stands for, or nothing when the value lies
// outside the years a calendar can sensibly hold (a guard against hostile
// files) or does not form a date. A date is read as its local midnight.
std::optional<QDateTime> momentOf(const WallTime &time, const QTimeZone &localZone);

// The wall-clock time in `zone`'s terms of a moment (used to start a
// recurrence near a window).
icaltimetype wallClockIn(const QDateTime &moment, const WallTime &reference, const QTimeZone &localZone);

// The most characters kept of each text an item holds: a file can hold
// megabytes in one value, which would stall every view that lays it out. A
// title or a place needs a line or two, notes a few pages.
inline constexpr qsizetype kMaxTitleLength = 500;
inline constexpr qsizetype kMaxNotesLength = 20'000;
inline constexpr qsizetype kMaxAddressLength = 4'000;

struct ICalAttendee {
    std::optional<QString> name; // the CN parameter
    QString address;             // the value, usually "mailto:..."
};

// A recurrence rule kept small: the parsed form has room for every value of
// every list (nearly 3 KB), which a file of thousands of series multiplies.
class ICalRule {
public:
    explicit ICalRule(const icalrecurrencetype &rule);

    // The parsed form again; valid while this rule is.
    icalrecurrencetype expanded() const;

private:
    icalrecurrencetype_frequency m_frequency;
    icaltimetype m_until;
    int m_count;
    short m_interval;
    icalrecurrencetype_weekday m_weekStart;
    icalrecurrencetype_skip m_skip;
    std::vector<short> m_lists; // each list's values, each list ended by ICAL_RECURRENCE_ARRAY_MAX
    QByteArray m_rscale;
};

struct ICalEvent {
    QString uid;
    std::optional<QString> summary;
    std::optional<QString> location;
    std::optional<QString> description;
    std::optional<QString> url;
    bool cancelled = false;
    WallTime start;
    std::optional<WallTime> end;
    std::optional<qint64> durationSeconds;
    std::vector<ICalAttendee> attendees;
    std::vector<ICalRule> rules;
    std::vector<WallTime> recurrenceDates;
    std::vector<WallTime> exceptionDates;
    std::optional<WallTime> recurrenceId;
};

struct ICalTodo {
    QString uid;
    std::optional<QString> summary;
    std::optional<QString> description;
    std::optional<QString> url;
    std::optional<WallTime> due;
    int priority = 0;
    bool flagged = false;
    bool completed = false;
    bool cancelled = false;
};

struct ICalFile {
    std::vector<ICalEvent> events;
    std::vector<ICalTodo> todos;
    // Why nothing could be read from the file, when that is so.
    QString problem;
    // Why a line of it was left out, when one was (the first such).
    QString lineLeftOut;
};

// Reads every event and to-do of one file. Components that lack what they
// need (an event without a usable DTSTART) are left out; bytes that are not
// iCalendar give an empty result that says why. Lines beyond the bounds of
// withinLineBounds() are left out. Once `stop` is requested it ends soon,
// with nothing.
ICalFile readICalendar(const QByteArray &bytes, const std::stop_token &stop = {});

// Parses `bytes` into a component tree the caller owns, or null, leaving out
// the lines beyond the bounds of withinLineBounds() (`leftOut` is told why).
// The parser is fed one line at a time: once `stop` is requested it gets no
// more, and the answer is null.
struct ICalComponentDeleter {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using ICalComponentPtr = std::unique_ptr<icalcomponent, ICalComponentDeleter>;
ICalComponentPtr parseICalendar(const QByteArray &bytes, const std::stop_token &stop = {}, QString *leftOut = nullptr);

// The event or to-do children of a parsed tree (the tree itself when it is one).
std::vector<icalcomponent *> itemComponents(icalcomponent *root, icalcomponent_kind kind);

// A text property's value, or nothing when it is absent.
std::optional<QString> textProperty(icalcomponent *component, icalproperty_kind kind);

} // namespace kolu
