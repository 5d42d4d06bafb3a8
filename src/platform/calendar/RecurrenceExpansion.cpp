#include "platform/calendar/RecurrenceExpansion.h"

#include <algorithm>
#include <limits>
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

// The sorted values of a BY list of times, or the one value DTSTART has.
template<size_t N>
std::vector<int> timeValues(const short (&values)[N], int fromStart, int last)
{
    std::vector<int> result;
    for (size_t i = 0; i < N && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        if (values[i] >= 0 && values[i] <= last)
            result.push_back(values[i]);
    }
    if (isUnused(values))
        result.push_back(fromStart);
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

// The times of day a yearly rule lists, apart from its days: the iterator
// works out the year's days anew at every step of such a rule, which makes
// each step cost a thousand times one of any other rule.
struct TimesOfDay {
    std::vector<int> hours;
    std::vector<int> minutes;
    std::vector<int> seconds;

    qint64 count() const { return qint64(hours.size()) * qint64(minutes.size()) * qint64(seconds.size()); }
    int secondOfDay(qint64 index) const
    {
        const qint64 perHour = qint64(minutes.size()) * qint64(seconds.size());
        const qint64 inHour = index % perHour;
        return hours[size_t(index / perHour)] * 3600 + minutes[size_t(inHour / qint64(seconds.size()))] * 60
               + seconds[size_t(inHour % qint64(seconds.size()))];
    }
};

std::optional<TimesOfDay> timesApartFrom(icalrecurrencetype &rule, const icaltimetype &dtstart)
{
    if (rule.freq != ICAL_YEARLY_RECURRENCE || dtstart.is_date || !isUnused(rule.by_set_pos) || rule.rscale
        || (isUnused(rule.by_hour) && isUnused(rule.by_minute) && isUnused(rule.by_second)))
        return std::nullopt;
    TimesOfDay times{timeValues(rule.by_hour, dtstart.hour, 23), timeValues(rule.by_minute, dtstart.minute, 59),
                     timeValues(rule.by_second, dtstart.second, 59)};
    if (times.count() == 0)
        return std::nullopt;
    // Cleared whole: the iterator sorts each list, which would bring the rest back.
    std::fill(std::begin(rule.by_hour), std::end(rule.by_hour), short(ICAL_RECURRENCE_ARRAY_MAX));
    std::fill(std::begin(rule.by_minute), std::end(rule.by_minute), short(ICAL_RECURRENCE_ARRAY_MAX));
    std::fill(std::begin(rule.by_second), std::end(rule.by_second), short(ICAL_RECURRENCE_ARRAY_MAX));
    return times;
}

// The wall-clock starts a rule produces, one candidate after the other, by
// sums for a rule whose periods are all alike, else by the iterator.
class RuleSteps {
public:
    // With `times`, instants before the wall-clock time `skipBefore` are
    // passed over without being produced.
    RuleSteps(const icalrecurrencetype &rule, const icaltimetype &dtstart, const icaltimetype &first,
              const std::optional<icaltimetype> &jumpTo, std::optional<TimesOfDay> times, qint64 skipBefore,
              qint64 sumStep)
        : m_dtstart(dtstart)
        , m_times(std::move(times))
        , m_skipBefore(std::max(skipBefore, wallSeconds(dtstart) + 1))
        , m_nextWall(wallSeconds(first))
        , m_sumStep(sumStep)
    {
        if (m_sumStep > 0)
            return;
        m_iterator.reset(icalrecur_iterator_new(rule, first));
        if (m_iterator && jumpTo && !icalrecur_iterator_set_start(m_iterator.get(), *jumpTo))
            m_iterator.reset(icalrecur_iterator_new(rule, dtstart));
    }

    bool valid() const { return m_sumStep > 0 || m_iterator; }
    bool exhausted() const { return m_exhausted; }

    // The next start; a day whose times all come before `skipBefore` counts
    // as one of `candidatesLeft` too. Nothing when the rule has no more, or
    // once `candidatesLeft` is spent or `stop` requested (then exhausted()).
    std::optional<icaltimetype> next(int &candidatesLeft, const std::stop_token &stop)
    {
        if (m_sumStep > 0) {
            const icaltimetype next = wallTimeAt(m_nextWall, m_dtstart);
            m_nextWall += m_sumStep;
            return next;
        }
        if (!m_times)
            return nextFromIterator();
        // DTSTART is the first occurrence, whatever the lists say.
        if (m_firstDay) {
            m_firstDay = false;
            return m_dtstart;
        }
        for (;;) {
            if (m_timeIndex >= m_times->count()) {
                const auto day = nextFromIterator();
                if (!day)
                    return std::nullopt;
                icaltimetype midnight = *day;
                midnight.hour = midnight.minute = midnight.second = 0;
                m_day = wallSeconds(midnight);
                m_timeIndex = firstTimeFrom(m_skipBefore - m_day);
                if (m_timeIndex < m_times->count())
                    continue;
                if (candidatesLeft <= 0 || stop.stop_requested()) {
                    m_exhausted = true;
                    return std::nullopt;
                }
                --candidatesLeft;
                continue;
            }
            return wallTimeAt(m_day + m_times->secondOfDay(m_timeIndex++), m_dtstart);
        }
    }

private:
    // The index of the first time of the day at or after `second` of it.
    qint64 firstTimeFrom(qint64 second) const
    {
        qint64 low = 0;
        qint64 high = m_times->count();
        while (low < high) {
            const qint64 middle = low + (high - low) / 2;
            if (m_times->secondOfDay(middle) < second)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

    std::optional<icaltimetype> nextFromIterator()
    {
        const icaltimetype next = icalrecur_iterator_next(m_iterator.get());
        if (icaltime_is_null_time(next))
            return std::nullopt;
        return next;
    }

    icaltimetype m_dtstart;
    std::optional<TimesOfDay> m_times;
    qint64 m_skipBefore = 0;
    IteratorPtr m_iterator;
    qint64 m_nextWall = 0;
    qint64 m_sumStep = 0;
    bool m_firstDay = true;
    bool m_exhausted = false;
    qint64 m_day = 0;
    qint64 m_timeIndex = std::numeric_limits<qint64>::max();
};

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
