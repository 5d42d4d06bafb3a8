#include "platform/calendar/ICalendarReader.h"

namespace kolu {

namespace {

template<size_t N>
void keepList(const short (&values)[N], std::vector<short> &into)
{
    for (size_t i = 0; i < N && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        into.push_back(values[i]);
    into.push_back(ICAL_RECURRENCE_ARRAY_MAX);
}

template<size_t N>
const short *restoreList(short (&values)[N], const short *from)
{
    size_t i = 0;
    for (; *from != ICAL_RECURRENCE_ARRAY_MAX; ++from) {
        if (i < N)
            values[i++] = *from;
    }
    if (i < N)
        values[i] = ICAL_RECURRENCE_ARRAY_MAX;
    return from + 1;
}

} // namespace

ICalRule::ICalRule(const icalrecurrencetype &rule)
    : m_frequency(rule.freq)
    , m_until(rule.until)
    , m_count(rule.count)
    , m_interval(rule.interval)
    , m_weekStart(rule.week_start)
    , m_skip(rule.skip)
    , m_rscale(rule.rscale)
{
    keepList(rule.by_second, m_lists);
    keepList(rule.by_minute, m_lists);
    keepList(rule.by_hour, m_lists);
    keepList(rule.by_day, m_lists);
    keepList(rule.by_month_day, m_lists);
    keepList(rule.by_year_day, m_lists);
    keepList(rule.by_week_no, m_lists);
    keepList(rule.by_month, m_lists);
    keepList(rule.by_set_pos, m_lists);
    m_lists.shrink_to_fit();
}

icalrecurrencetype ICalRule::expanded() const
{
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.freq = m_frequency;
    rule.until = m_until;
    rule.count = m_count;
    rule.interval = m_interval;
    rule.week_start = m_weekStart;
    rule.skip = m_skip;
    rule.rscale = m_rscale.isNull() ? nullptr : const_cast<char *>(m_rscale.constData());
    const short *at = m_lists.data();
    at = restoreList(rule.by_second, at);
    at = restoreList(rule.by_minute, at);
    at = restoreList(rule.by_hour, at);
    at = restoreList(rule.by_day, at);
    at = restoreList(rule.by_month_day, at);
    at = restoreList(rule.by_year_day, at);
    at = restoreList(rule.by_week_no, at);
    at = restoreList(rule.by_month, at);
    restoreList(rule.by_set_pos, at);
    return rule;
}

} // namespace kolu
