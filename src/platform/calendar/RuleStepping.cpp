#include "platform/calendar/RuleStepping.h"

#include <QDateTime>

#include <algorithm>
#include <utility>

namespace kolu {

namespace {

template<size_t N>
bool isUnused(const short (&values)[N])
{
    return values[0] == ICAL_RECURRENCE_ARRAY_MAX;
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

} // namespace

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

bool hasNoByParts(const icalrecurrencetype &rule)
{
    return isUnused(rule.by_second) && isUnused(rule.by_minute) && isUnused(rule.by_hour) && isUnused(rule.by_day)
           && isUnused(rule.by_month_day) && isUnused(rule.by_year_day) && isUnused(rule.by_week_no)
           && isUnused(rule.by_month) && isUnused(rule.by_set_pos) && !rule.rscale;
}

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

RuleSteps::RuleSteps(const icalrecurrencetype &rule, const icaltimetype &dtstart, const icaltimetype &first,
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

std::optional<icaltimetype> RuleSteps::next(int &candidatesLeft, const std::stop_token &stop)
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

qint64 RuleSteps::firstTimeFrom(qint64 second) const
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

std::optional<icaltimetype> RuleSteps::nextFromIterator()
{
    const icaltimetype next = icalrecur_iterator_next(m_iterator.get());
    if (icaltime_is_null_time(next))
        return std::nullopt;
    return next;
}

} // namespace kolu
