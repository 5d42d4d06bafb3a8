#include "platform/calendar/RecurrenceExpansion.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace kolu {

namespace {

struct IteratorDeleter {
    void operator()(icalrecur_iterator *iterator) const { icalrecur_iterator_free(iterator); }
};
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorDeleter>;

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

// Wall-clock times counted in seconds as if the wall clock were UTC, which is
// how the rules step through them.
qint64 wallSeconds(const icaltimetype &time)
{
    return QDateTime(QDate(time.year, time.month, time.day), QTime(time.hour, time.minute, time.second), Qt::UTC)
        .toSecsSinceEpoch();
}

icaltimetype wallTimeAt(qint64 seconds, const icaltimetype &like)
{
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    icaltimetype result = like;
    result.year = moment.date().year();
    result.month = moment.date().month();
    result.day = moment.date().day();
    result.hour = like.is_date ? 0 : moment.time().hour();
    result.minute = like.is_date ? 0 : moment.time().minute();
    result.second = like.is_date ? 0 : moment.time().second();
    return result;
}

template<size_t N>
bool isUnused(const short (&values)[N])
{
    return values[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

bool hasNoByParts(const icalrecurrencetype &rule)
{
    return isUnused(rule.by_second) && isUnused(rule.by_minute) && isUnused(rule.by_hour) && isUnused(rule.by_day)
           && isUnused(rule.by_month_day) && isUnused(rule.by_year_day) && isUnused(rule.by_week_no)
           && isUnused(rule.by_month) && isUnused(rule.by_set_pos) && !rule.rscale;
}

// The length of one period of a rule on the wall clock, for the rules whose
// periods are all alike.
std::optional<qint64> fixedPeriodSeconds(const icalrecurrencetype &rule)
{
    switch (rule.freq) {
    case ICAL_SECONDLY_RECURRENCE: return 1;
    case ICAL_MINUTELY_RECURRENCE: return 60;
    case ICAL_HOURLY_RECURRENCE: return 3600;
    case ICAL_DAILY_RECURRENCE: return 86400;
    case ICAL_WEEKLY_RECURRENCE: return 7 * 86400;
    default: return std::nullopt;
    }
}

// An occurrence of the rule at or before the wall-clock time `before` that
// lies a whole number of periods after DTSTART, and how many occurrences
// precede it. Only for rules that hold exactly one occurrence in every
// period: those can be counted by periods instead of walked one by one.
struct PeriodJump {
    icaltimetype start;
    qint64 skipped = 0;
};

std::optional<PeriodJump> jumpByPeriods(const icalrecurrencetype &rule, const icaltimetype &dtstart,
                                        const icaltimetype &before)
{
    if (!hasNoByParts(rule) || rule.interval < 1)
        return std::nullopt;
    const qint64 first = wallSeconds(dtstart);
    const qint64 target = wallSeconds(before);
    if (target <= first)
        return std::nullopt;
    if (const auto period = fixedPeriodSeconds(rule)) {
        const qint64 step = *period * rule.interval;
        const qint64 periods = (target - first) / step;
        return PeriodJump{wallTimeAt(first + periods * step, dtstart), periods};
    }
    // Months and years: only when every period has DTSTART's day.
    const QDate firstDate(dtstart.year, dtstart.month, dtstart.day);
    const QDate targetDate(before.year, before.month, before.day);
    const int monthsPerPeriod = rule.freq == ICAL_MONTHLY_RECURRENCE  ? rule.interval
                                : rule.freq == ICAL_YEARLY_RECURRENCE ? 12 * rule.interval
                                                                      : 0;
    if (monthsPerPeriod == 0 || firstDate.day() > 28)
        return std::nullopt;
    const int months = (targetDate.year() - firstDate.year()) * 12 + targetDate.month() - firstDate.month() - 1;
    const qint64 periods = std::max(0, months / monthsPerPeriod);
    const QDate jumped = firstDate.addMonths(static_cast<int>(periods) * monthsPerPeriod);
    icaltimetype start = dtstart;
    start.year = jumped.year();
    start.month = jumped.month();
    start.day = jumped.day();
    return PeriodJump{start, periods};
}

// The last start at or before `before` on the grid of a rule stepping in
// hours, minutes or seconds: a whole number of intervals after DTSTART.
icaltimetype inPhase(const icalrecurrencetype &rule, const icaltimetype &dtstart, const icaltimetype &before)
{
    const auto period = fixedPeriodSeconds(rule);
    if (!period || rule.interval < 1)
        return dtstart;
    const qint64 first = wallSeconds(dtstart);
    const qint64 step = *period * rule.interval;
    const qint64 target = wallSeconds(before);
    if (target <= first)
        return dtstart;
    return wallTimeAt(first + (target - first) / step * step, dtstart);
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

    bool holds(const QDateTime &start, const QDateTime &end) const { return overlaps(start, end, from, to); }
};

// Adds the starts a rule produces that may overlap the window, the earliest
// `window.count` of those that start before `window.startsBefore`; sets
// `cut` when it leaves any out.
void addRuleStarts(const icalrecurrencetype &original, const ICalEvent &master, const QDateTime &firstStart,
                   const OccurrenceLength &length, const Window &window, const QTimeZone &localZone,
                   std::vector<QDateTime> &starts, bool &cut)
{
    const QDateTime &from = window.from;
    const QDateTime &to = window.to;
    const UntilLimit until = untilLimitOf(original, master.start, localZone);
    icalrecurrencetype rule = original;
    rule.until = icaltime_null_time();
    icaltimetype dtstart = master.start.value;
    dtstart.zone = nullptr;

    // The iterator can start near the window instead of at the first
    // occurrence, which may lie years back: a rule stepping in hours, minutes
    // or seconds from a later start on its own grid (the iterator's own jump
    // loses their phase), any other rule by the iterator's jump. A counted
    // rule can only do so when its occurrences can be counted by periods.
    // A clock change moves wall-clock times by a few hours at most: a rule
    // stepping within the day starts that little before the window (every
    // step before it costs as much as one inside), any other two days before.
    const auto period = fixedPeriodSeconds(rule);
    const bool withinTheDay = rule.count == 0 && period && *period < 86400;
    // A rule that holds one occurrence in every period of the same length is
    // stepped by sums, not by the iterator, which costs far more per step.
    const bool evenlySpaced = period && rule.interval >= 1 && hasNoByParts(rule);
    const QDateTime jump = withinTheDay ? from.addSecs(-length.longestSeconds() - kClockChangeMarginSeconds)
                                        : from.addSecs(-length.longestSeconds()).addDays(-2);
    icaltimetype first = dtstart;
    std::optional<icaltimetype> jumpTo;
    qint64 remaining = -1; // occurrences left of a counted rule, counted from `first`
    if (jump > firstStart) {
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
    IteratorPtr iterator;
    qint64 nextWall = wallSeconds(first);
    const qint64 stepWall = evenlySpaced ? *period * rule.interval : 0;
    if (evenlySpaced) {
        if (remaining < 0 && rule.count > 0)
            remaining = rule.count;
    } else {
        iterator.reset(icalrecur_iterator_new(rule, first));
        if (!iterator)
            return;
        if (jumpTo && !icalrecur_iterator_set_start(iterator.get(), *jumpTo)) {
            iterator.reset(icalrecur_iterator_new(rule, dtstart));
            if (!iterator)
                return;
        }
    }
    int found = 0;
    for (int step = 0; step < kMaxRecurrenceSteps; ++step) {
        if (remaining == 0)
            break;
        if (window.stop.stop_requested()) {
            cut = true;
            break;
        }
        icaltimetype next;
        if (evenlySpaced) {
            next = wallTimeAt(nextWall, dtstart);
            nextWall += stepWall;
        } else {
            next = icalrecur_iterator_next(iterator.get());
            if (icaltime_is_null_time(next))
                break;
        }
        if (remaining > 0)
            --remaining;
        WallTime wall = master.start;
        wall.value = next;
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

void addSingle(const ICalEvent &event, const Window &window, const QTimeZone &localZone,
               std::optional<OccurrenceLength> fallbackLength, std::vector<EventOccurrence> &result, bool &cut)
{
    if (event.cancelled)
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
    const Window window{from, to, bound.startsBefore ? std::min(*bound.startsBefore, to) : to, bound.count, bound.stop};
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
        for (const icalrecurrencetype &rule : master.rules)
            addRuleStarts(rule, master, *firstStart, length, window, localZone, starts, cut);
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
    std::stable_sort(result.begin(), result.end(),
                     [](const EventOccurrence &a, const EventOccurrence &b) { return a.start < b.start; });
    if (result.size() > static_cast<size_t>(window.count)) {
        result.resize(static_cast<size_t>(window.count));
        cut = true;
    }
    return bounded;
}

} // namespace kolu
