#include "platform/calendar/RecurrenceExpansion.h"

#include "platform/calendar/RuleStepping.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <set>

namespace kolu {

namespace {

bool overlaps(const QDateTime &start, const QDateTime &end, const QDateTime &from, const QDateTime &to)
{
    return start < to && (end > from || start >= from);
}

// How long each occurrence lasts: DTEND minus DTSTART, else DURATION, else
// nothing for a timed event and one day for a date. An event on dates lasts
// whole days, whatever clock changes they hold.
struct OccurrenceLength {
    qint64 seconds = 0;
    std::optional<qint64> days;

    QDateTime endOf(const QDateTime &start, const QTimeZone &localZone) const
    {
        if (days)
            return momentAt(start.toTimeZone(localZone).date().addDays(*days), QTime(0, 0), localZone);
        return start.addSecs(seconds);
    }
    // At least as long as any occurrence lasts.
    qint64 longestSeconds() const { return days ? *days * 86400 + 3600 : seconds; }
};

OccurrenceLength lengthOf(const ICalEvent &event, const QDateTime &start, const QTimeZone &localZone)
{
    OccurrenceLength length;
    if (event.end) {
        if (event.start.isDate() && event.end->isDate()) {
            length.days = std::max<qint64>(0, event.start.date().daysTo(event.end->date()));
            return length;
        }
        if (const auto end = momentOf(*event.end, localZone)) {
            length.seconds = std::max<qint64>(0, start.secsTo(*end));
            return length;
        }
    }
    if (event.durationSeconds) {
        length.seconds = *event.durationSeconds;
        if (event.start.isDate() && length.seconds % 86400 == 0)
            length.days = length.seconds / 86400;
        return length;
    }
    if (event.start.isDate())
        length.days = 1;
    return length;
}

// The last start a rule's UNTIL allows, read in the zone of the series.
struct UntilLimit {
    std::optional<QDateTime> moment;
    std::optional<QDate> date;

    bool allows(const QDateTime &start, const QTimeZone &localZone) const
    {
        if (date)
            return start.toTimeZone(localZone).date() <= *date;
        return !moment || start <= *moment;
    }
};

UntilLimit untilLimitOf(const icalrecurrencetype &rule, const WallTime &start, const QTimeZone &localZone)
{
    UntilLimit limit;
    if (icaltime_is_null_time(rule.until))
        return limit;
    if (rule.until.is_date) {
        limit.date = QDate(rule.until.year, rule.until.month, rule.until.day);
        if (!limit.date->isValid())
            limit.date = QDate(1900, 1, 1);
        return limit;
    }
    WallTime until;
    until.value = rule.until;
    until.value.zone = nullptr;
    if (icaltime_is_utc(rule.until)) {
        auto utc = std::make_shared<ICalZone>();
        utc->utc = true;
        until.zone = utc;
    } else {
        until.zone = start.zone;
    }
    limit.moment = momentOf(until, localZone).value_or(QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
    return limit;
}

// More than any clock change moves a wall-clock time.
constexpr qint64 kClockChangeMarginSeconds = 3 * 3600;

// The window of one expansion and how far it may go.
struct Window {
    QDateTime from;
    QDateTime to;
    QDateTime startsBefore; // no later than `to`
    int count = kMaxOccurrencesPerSeries;
    std::stop_token stop;
    int candidatesLeft = kMaxRecurrenceSteps; // shared by the series' rules
    qint64 fromSeconds = from.toSecsSinceEpoch();
    qint64 toSeconds = to.toSecsSinceEpoch();

    bool holds(const QDateTime &start, const QDateTime &end) const { return overlaps(start, end, from, to); }
};

// Whether a wall-clock time in the series' zone near `moment` can be moved by
// a clock change: never in UTC or a zone without changes in the days around.
bool mayChangeClocksNear(const WallTime &reference, const QDateTime &moment, const QTimeZone &localZone)
{
    if (reference.zone && reference.zone->utc)
        return false;
    const QTimeZone zone = reference.zone ? reference.zone->systemZone : localZone;
    if (!zone.isValid())
        return true;
    if (!zone.hasTransitions())
        return zone.offsetFromUtc(moment.addDays(-2)) != zone.offsetFromUtc(moment);
    const QTimeZone::OffsetData next = zone.nextTransition(moment.addDays(-2));
    return next.atUtc.isValid() && next.atUtc <= moment.addDays(1);
}

// Adds the starts a rule produces that may overlap the window, the earliest
// `window.count` of those that start before `window.startsBefore`, examining
// no more candidates than the window has left; sets `cut` when it leaves any
// out.
void addRuleStarts(const icalrecurrencetype &original, const ICalEvent &master, const QDateTime &firstStart,
                   const OccurrenceLength &length, Window &window, const QTimeZone &localZone,
                   std::vector<QDateTime> &starts, bool &cut)
{
    const QDateTime &from = window.from;
    const QDateTime &to = window.to;
    const UntilLimit until = untilLimitOf(original, master.start, localZone);
    icalrecurrencetype rule = original;
    rule.until = icaltime_null_time();
    icaltimetype dtstart = master.start.value;
    dtstart.zone = nullptr;
    std::optional<TimesOfDay> times = timesApartFrom(rule, dtstart);
    qint64 remaining = -1; // occurrences left of a counted rule, counted from `first`
    if (times && rule.count > 0) {
        // Counted by the instants, not by the days.
        remaining = rule.count;
        rule.count = 0;
    }

    // The iterator can start near the window instead of at the first
    // occurrence, which may lie years back: a rule stepping in hours, minutes
    // or seconds from a later start on its own grid (the iterator's own jump
    // loses their phase), any other rule by the iterator's jump. A counted
    // rule can only do so when its occurrences can be counted by periods.
    // A clock change moves wall-clock times by a few hours at most: a rule
    // stepping within the day starts that little before the window (every
    // step before it costs as much as one inside), or not at all before it
    // where no clock changes near it; any other rule two days before.
    const auto period = fixedPeriodSeconds(rule);
    const bool withinTheDay = rule.count == 0 && remaining < 0 && period && *period < 86400;
    // A rule that holds one occurrence in every period of the same length is
    // stepped by sums, not by the iterator, which costs far more per step.
    const bool evenlySpaced = period && rule.interval >= 1 && hasNoByParts(rule) && !times;
    const QDateTime jump =
        withinTheDay
            ? from.addSecs(-length.longestSeconds()
                           - (mayChangeClocksNear(master.start, from, localZone) ? kClockChangeMarginSeconds : 0))
            : from.addSecs(-length.longestSeconds()).addDays(-2);
    icaltimetype first = dtstart;
    std::optional<icaltimetype> jumpTo;
    if (jump > firstStart && remaining < 0) {
        const icaltimetype jumpWall = wallClockIn(jump, master.start, localZone);
        if (withinTheDay || (evenlySpaced && rule.count == 0)) {
            first = inPhase(rule, dtstart, jumpWall);
        } else if (rule.count == 0) {
            jumpTo = jumpWall;
        } else if (const auto periods = jumpByPeriods(rule, dtstart, jumpWall)) {
            if (periods->skipped >= rule.count)
                return;
            first = periods->start;
            remaining = rule.count - periods->skipped;
            rule.count = 0;
        }
    }
    if (evenlySpaced && remaining < 0 && rule.count > 0)
        remaining = rule.count;
    // Times listed apart from the days skip to a little before the window.
    qint64 skipBefore = 0;
    if (times && remaining < 0 && jump > firstStart)
        skipBefore = wallSeconds(
            wallClockIn(from.addSecs(-length.longestSeconds() - kClockChangeMarginSeconds), master.start, localZone));
    RuleSteps steps(rule, dtstart, first, jumpTo, std::move(times), skipBefore,
                    evenlySpaced ? *period * rule.interval : 0);
    if (!steps.valid())
        return;
    int found = 0;
    for (;;) {
        if (remaining == 0)
            break;
        if (window.candidatesLeft <= 0 || window.stop.stop_requested()) {
            cut = true;
            break;
        }
        --window.candidatesLeft;
        const std::optional<icaltimetype> next = steps.next(window.candidatesLeft, window.stop);
        if (!next) {
            cut = cut || steps.exhausted();
            break;
        }
        if (remaining > 0)
            --remaining;
        WallTime wall = master.start;
        wall.value = *next;
        wall.value.zone = nullptr;
        const auto start = momentOf(wall, localZone);
        if (!start || *start >= to || !until.allows(*start, localZone))
            break;
        if (window.holds(*start, length.endOf(*start, localZone))) {
            // Starts come in order: the first one past either bound ends the walk.
            if (found >= window.count || *start >= window.startsBefore) {
                cut = true;
                break;
            }
            starts.push_back(*start);
            ++found;
        }
    }
}

bool isExcluded(const QDateTime &start, const std::set<qint64> &moments, const std::set<QDate> &dates,
                const QTimeZone &localZone)
{
    return moments.count(start.toSecsSinceEpoch()) > 0
           || (!dates.empty() && dates.count(start.toTimeZone(localZone).date()) > 0);
}

// More than any zone's offset from UTC, with a clock change on top.
constexpr qint64 kZoneMarginSeconds = 2 * 86400;

// A wall-clock time counted as if the wall clock were UTC, when it forms a
// time at all.
std::optional<qint64> plainWallSeconds(const icaltimetype &time)
{
    const QDate date(time.year, time.month, time.day);
    if (!date.isValid() || time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0
        || time.second > 60)
        return std::nullopt;
    return (date.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * 86400 + time.hour * 3600 + time.minute * 60
           + time.second;
}

// Whether a single event surely lies outside the window, told from its
// wall-clock times alone: most single events of a large calendar do, and
// placing them in their zones costs far more. Zones a file defines itself
// are not trusted to keep their offsets within the margin.
bool surelyOutside(const ICalEvent &event, qint64 from, qint64 to,
                   const std::optional<OccurrenceLength> &fallbackLength)
{
    const auto trusted = [](const WallTime &time) {
        return !time.zone || time.zone->utc || time.zone->systemZone.isValid();
    };
    const std::optional<qint64> start = plainWallSeconds(event.start.value);
    if (!start || !trusted(event.start))
        return false;
    // At least as long as the event lasts, on the wall clock, whichever of
    // its lengths is taken.
    qint64 span = event.start.isDate() ? 86400 : 0;
    if (event.end) {
        const std::optional<qint64> end = plainWallSeconds(event.end->value);
        if (!end || !trusted(*event.end))
            return false;
        span = std::max(span, *end - *start);
    }
    if (event.durationSeconds)
        span = std::max(span, *event.durationSeconds);
    if (fallbackLength)
        span = std::max(span, fallbackLength->longestSeconds());
    if (*start - kZoneMarginSeconds >= to)
        return true;
    return *start + kZoneMarginSeconds < from && *start + span + 2 * kZoneMarginSeconds <= from;
}

void addSingle(const ICalEvent &event, const Window &window, const QTimeZone &localZone,
               std::optional<OccurrenceLength> fallbackLength, std::vector<EventOccurrence> &result, bool &cut)
{
    if (event.cancelled || surelyOutside(event, window.fromSeconds, window.toSeconds, fallbackLength))
        return;
    const auto start = momentOf(event.start, localZone);
    if (!start)
        return;
    OccurrenceLength length = lengthOf(event, *start, localZone);
    if (!event.end && !event.durationSeconds && fallbackLength)
        length = *fallbackLength;
    const QDateTime end = length.endOf(*start, localZone);
    if (!window.holds(*start, end))
        return;
    if (*start >= window.startsBefore)
        cut = true;
    else
        result.push_back({&event, *start, end});
}

} // namespace

std::vector<EventOccurrence> occurrencesInWindow(const EventSeries &series, const QDateTime &from, const QDateTime &to,
                                                 const QTimeZone &localZone)
{
    return boundedOccurrencesInWindow(series, from, to, localZone, {}).occurrences;
}

BoundedOccurrences boundedOccurrencesInWindow(const EventSeries &series, const QDateTime &from, const QDateTime &to,
                                              const QTimeZone &localZone, const ExpansionBound &bound)
{
    BoundedOccurrences bounded;
    if (bound.stop.stop_requested() || bound.count <= 0) {
        bounded.cut = true;
        return bounded;
    }
    Window window{from,        to,         bound.startsBefore ? std::min(*bound.startsBefore, to) : to,
                  bound.count, bound.stop, std::max(bound.candidates, 0)};
    std::vector<EventOccurrence> &result = bounded.occurrences;
    bool &cut = bounded.cut;
    if (!series.master) {
        for (const ICalEvent *single : series.overrides)
            addSingle(*single, window, localZone, std::nullopt, result, cut);
    } else if (series.master->rules.empty() && series.master->recurrenceDates.empty()) {
        addSingle(*series.master, window, localZone, std::nullopt, result, cut);
    } else {
        const ICalEvent &master = *series.master;
        const auto firstStart = momentOf(master.start, localZone);
        if (!firstStart || master.cancelled)
            return bounded;
        const OccurrenceLength length = lengthOf(master, *firstStart, localZone);

        std::vector<QDateTime> starts;
        const auto addStart = [&](const QDateTime &start) {
            if (!window.holds(start, length.endOf(start, localZone)))
                return;
            if (start >= window.startsBefore)
                cut = true;
            else
                starts.push_back(start);
        };
        addStart(*firstStart);
        for (const ICalRule &rule : master.rules)
            addRuleStarts(rule.expanded(), master, *firstStart, length, window, localZone, starts, cut);
        for (const WallTime &date : master.recurrenceDates) {
            if (const auto start = momentOf(date, localZone))
                addStart(*start);
        }

        std::set<qint64> excludedMoments;
        std::set<QDate> excludedDates;
        for (const WallTime &date : master.exceptionDates) {
            if (date.isDate() && !master.start.isDate()) {
                excludedDates.insert(date.date());
            } else if (const auto moment = momentOf(date, localZone)) {
                excludedMoments.insert(moment->toSecsSinceEpoch());
            }
        }
        // Occurrences an override replaces are not listed in their original place.
        for (const ICalEvent *override : series.overrides) {
            if (const auto original = momentOf(*override->recurrenceId, localZone))
                excludedMoments.insert(original->toSecsSinceEpoch());
        }

        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        for (const QDateTime &start : starts) {
            if (result.size() >= static_cast<size_t>(window.count)) {
                cut = true;
                break;
            }
            if (!isExcluded(start, excludedMoments, excludedDates, localZone))
                result.push_back({&master, start, length.endOf(start, localZone)});
        }
        for (const ICalEvent *override : series.overrides)
            addSingle(*override, window, localZone, length, result, cut);
    }
    bounded.examined = std::max(bound.candidates, 0) - window.candidatesLeft;
    std::stable_sort(result.begin(), result.end(),
                     [](const EventOccurrence &a, const EventOccurrence &b) { return a.start < b.start; });
    if (result.size() > static_cast<size_t>(window.count)) {
        result.resize(static_cast<size_t>(window.count));
        cut = true;
    }
    return bounded;
}

} // namespace kolu
