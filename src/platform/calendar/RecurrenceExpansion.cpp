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
// nothing for a timed event and one day for a date.
qint64 lengthInSeconds(const ICalEvent &event, const QDateTime &start, const QTimeZone &localZone)
{
    if (event.end) {
        if (const auto end = momentOf(*event.end, localZone))
            return std::max<qint64>(0, start.secsTo(*end));
    }
    if (event.durationSeconds)
        return *event.durationSeconds;
    return event.start.isDate() ? 86400 : 0;
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

// Adds the starts a rule produces that may overlap the window.
void addRuleStarts(const icalrecurrencetype &original, const ICalEvent &master, const QDateTime &firstStart,
                   qint64 length, const QDateTime &from, const QDateTime &to, const QTimeZone &localZone,
                   std::vector<QDateTime> &starts)
{
    const UntilLimit until = untilLimitOf(original, master.start, localZone);
    icalrecurrencetype rule = original;
    rule.until = icaltime_null_time();
    icaltimetype dtstart = master.start.value;
    dtstart.zone = nullptr;

    IteratorPtr iterator(icalrecur_iterator_new(rule, dtstart));
    if (!iterator)
        return;
    // Without COUNT the iterator can start near the window instead of at the
    // first occurrence, which may lie years back.
    const QDateTime jump = from.addSecs(-length).addDays(-2);
    if (rule.count == 0 && jump > firstStart) {
        if (!icalrecur_iterator_set_start(iterator.get(), wallClockIn(jump, master.start, localZone)))
            iterator.reset(icalrecur_iterator_new(rule, dtstart));
        if (!iterator)
            return;
    }
    int found = 0;
    for (int step = 0; step < kMaxRecurrenceSteps && found < kMaxOccurrencesPerSeries; ++step) {
        const icaltimetype next = icalrecur_iterator_next(iterator.get());
        if (icaltime_is_null_time(next))
            break;
        WallTime wall = master.start;
        wall.value = next;
        wall.value.zone = nullptr;
        const auto start = momentOf(wall, localZone);
        if (!start || *start >= to || !until.allows(*start, localZone))
            break;
        if (overlaps(*start, start->addSecs(length), from, to)) {
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

void addSingle(const ICalEvent &event, const QDateTime &from, const QDateTime &to, const QTimeZone &localZone,
               std::optional<qint64> fallbackLength, std::vector<EventOccurrence> &result)
{
    if (event.cancelled)
        return;
    const auto start = momentOf(event.start, localZone);
    if (!start)
        return;
    qint64 length = lengthInSeconds(event, *start, localZone);
    if (!event.end && !event.durationSeconds && fallbackLength)
        length = *fallbackLength;
    const QDateTime end = start->addSecs(length);
    if (overlaps(*start, end, from, to))
        result.push_back({&event, *start, end});
}

} // namespace

std::vector<EventOccurrence> occurrencesInWindow(const EventSeries &series, const QDateTime &from,
                                                 const QDateTime &to, const QTimeZone &localZone)
{
    std::vector<EventOccurrence> result;
    if (!series.master) {
        for (const ICalEvent *single : series.overrides)
            addSingle(*single, from, to, localZone, std::nullopt, result);
    } else if (series.master->rules.empty() && series.master->recurrenceDates.empty()) {
        addSingle(*series.master, from, to, localZone, std::nullopt, result);
    } else {
        const ICalEvent &master = *series.master;
        const auto firstStart = momentOf(master.start, localZone);
        if (!firstStart || master.cancelled)
            return result;
        const qint64 length = lengthInSeconds(master, *firstStart, localZone);

        std::vector<QDateTime> starts;
        if (overlaps(*firstStart, firstStart->addSecs(length), from, to))
            starts.push_back(*firstStart);
        for (const icalrecurrencetype &rule : master.rules)
            addRuleStarts(rule, master, *firstStart, length, from, to, localZone, starts);
        for (const WallTime &date : master.recurrenceDates) {
            const auto start = momentOf(date, localZone);
            if (start && overlaps(*start, start->addSecs(length), from, to))
                starts.push_back(*start);
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
            if (result.size() >= static_cast<size_t>(kMaxOccurrencesPerSeries))
                break;
            if (!isExcluded(start, excludedMoments, excludedDates, localZone))
                result.push_back({&master, start, start.addSecs(length)});
        }
        for (const ICalEvent *override : series.overrides)
            addSingle(*override, from, to, localZone, length, result);
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const EventOccurrence &a, const EventOccurrence &b) { return a.start < b.start; });
    return result;
}

} // namespace kolu
