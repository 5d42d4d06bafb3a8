#pragma once

#include <QtGlobal>

#include <libical/ical.h>

#include <limits>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace kolu {

// How a recurrence rule's starts are stepped through on the wall clock, with
// shortcuts past libical's iterator where a rule allows them.

struct IteratorDeleter {
    void operator()(icalrecur_iterator *iterator) const { icalrecur_iterator_free(iterator); }
};
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorDeleter>;

// Wall-clock times counted in seconds as if the wall clock were UTC, which is
// how the rules step through them.
qint64 wallSeconds(const icaltimetype &time);
icaltimetype wallTimeAt(qint64 seconds, const icaltimetype &like);

// Whether the rule lists no BY parts and no calendar scale.
bool hasNoByParts(const icalrecurrencetype &rule);

// The length of one period of a rule on the wall clock, for the rules whose
// periods are all alike.
std::optional<qint64> fixedPeriodSeconds(const icalrecurrencetype &rule);

// An occurrence of the rule at or before the wall-clock time `before` that
// lies a whole number of periods after DTSTART, and how many occurrences
// precede it. Only for rules that hold exactly one occurrence in every
// period: those can be counted by periods instead of walked one by one.
struct PeriodJump {
    icaltimetype start;
    qint64 skipped = 0;
};

std::optional<PeriodJump> jumpByPeriods(const icalrecurrencetype &rule, const icaltimetype &dtstart,
                                        const icaltimetype &before);

// The last start at or before `before` on the grid of a rule stepping in
// hours, minutes or seconds: a whole number of intervals after DTSTART.
icaltimetype inPhase(const icalrecurrencetype &rule, const icaltimetype &dtstart, const icaltimetype &before);

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

// The times a yearly rule lists, taken out of `rule`; nothing, and `rule`
// as it was, for any other rule.
std::optional<TimesOfDay> timesApartFrom(icalrecurrencetype &rule, const icaltimetype &dtstart);

// The wall-clock starts a rule produces, one candidate after the other, by
// sums for a rule whose periods are all alike, else by the iterator.
class RuleSteps {
public:
    // With `times`, instants before the wall-clock time `skipBefore` are
    // passed over without being produced.
    RuleSteps(const icalrecurrencetype &rule, const icaltimetype &dtstart, const icaltimetype &first,
              const std::optional<icaltimetype> &jumpTo, std::optional<TimesOfDay> times, qint64 skipBefore,
              qint64 sumStep);

    bool valid() const { return m_sumStep > 0 || m_iterator; }
    bool exhausted() const { return m_exhausted; }

    // The next start; a day whose times all come before `skipBefore` counts
    // as one of `candidatesLeft` too. Nothing when the rule has no more, or
    // once `candidatesLeft` is spent or `stop` requested (then exhausted()).
    std::optional<icaltimetype> next(int &candidatesLeft, const std::stop_token &stop);

private:
    // The index of the first time of the day at or after `second` of it.
    qint64 firstTimeFrom(qint64 second) const;
    std::optional<icaltimetype> nextFromIterator();

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

} // namespace kolu
