#include "platform/calendar/OccurrenceBudget.h"

#include <algorithm>

namespace kolu {

namespace {

bool earlier(const BudgetedOccurrence &a, const BudgetedOccurrence &b)
{
    return a.occurrence.start != b.occurrence.start ? a.occurrence.start < b.occurrence.start : a.order < b.order;
}

} // namespace

CandidateBudget::CandidateBudget(qint64 perRead)
    : m_readLeft(std::max<qint64>(perRead, 0))
{
}

void CandidateBudget::startFile()
{
    m_fileLeft = kCandidatesPerFileOnceSpent;
}

int CandidateBudget::forNextSeries() const
{
    const qint64 left = std::max<qint64>({m_readLeft, m_fileLeft, kCandidatesPerSeriesOnceSpent});
    return int(std::min<qint64>(left, kMaxRecurrenceSteps));
}

void CandidateBudget::spend(int examined)
{
    m_readLeft = std::max<qint64>(m_readLeft - examined, 0);
    m_fileLeft = std::max(m_fileLeft - examined, 0);
}

OccurrenceBudget::OccurrenceBudget(int limit)
    : m_limit(std::max(limit, 1))
{
}

int OccurrenceBudget::roomForNextFile() const
{
    // Added whole, the next file would be cut back to the largest file's
    // size or to what is left of the bound, whichever is more.
    const int largest = m_bySize.empty() ? 0 : m_bySize.rbegin()->first;
    return std::max(m_limit - m_total, largest);
}

void OccurrenceBudget::addFile(std::vector<BudgetedOccurrence> occurrences, bool cut)
{
    std::sort(occurrences.begin(), occurrences.end(), earlier);
    const std::size_t index = m_files.size();
    const int count = static_cast<int>(occurrences.size());
    m_files.push_back({std::move(occurrences), cut});
    m_total += count;
    m_bySize.insert({count, index});
    while (m_total > m_limit) {
        // The largest file gives up its latest; of two as large, the later one.
        const auto largest = std::prev(m_bySize.end());
        const auto [size, file] = *largest;
        m_bySize.erase(largest);
        m_files[file].kept.pop_back();
        m_files[file].cut = true;
        m_bySize.insert({size - 1, file});
        --m_total;
    }
}

std::vector<std::pair<std::size_t, int>> OccurrenceBudget::cutFiles() const
{
    std::vector<std::pair<std::size_t, int>> result;
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        if (m_files[i].cut)
            result.emplace_back(i, static_cast<int>(m_files[i].kept.size()));
    }
    return result;
}

std::vector<BudgetedOccurrence> OccurrenceBudget::takeKept()
{
    std::vector<BudgetedOccurrence> result;
    result.reserve(static_cast<std::size_t>(m_total));
    for (File &file : m_files)
        std::move(file.kept.begin(), file.kept.end(), std::back_inserter(result));
    std::sort(result.begin(), result.end(),
              [](const BudgetedOccurrence &a, const BudgetedOccurrence &b) { return a.order < b.order; });
    m_files.clear();
    m_bySize.clear();
    m_total = 0;
    return result;
}

EarliestOccurrences::EarliestOccurrences(int room)
    : m_room(std::max(room, 0))
{
}

ExpansionBound EarliestOccurrences::boundForNextSeries(int candidates, std::stop_token stop) const
{
    ExpansionBound bound;
    bound.candidates = candidates;
    bound.count = std::min(kMaxOccurrencesPerSeries, m_room);
    if (!m_heap.empty() && static_cast<int>(m_heap.size()) >= m_room)
        bound.startsBefore = m_heap.front().occurrence.start;
    bound.stop = std::move(stop);
    return bound;
}

void EarliestOccurrences::add(const QString &seriesId, const BoundedOccurrences &expanded, std::size_t &order)
{
    m_cut = m_cut || expanded.cut;
    for (const EventOccurrence &occurrence : expanded.occurrences) {
        BudgetedOccurrence item{seriesId, occurrence, order++};
        if (static_cast<int>(m_heap.size()) < m_room) {
            m_heap.push_back(std::move(item));
            std::push_heap(m_heap.begin(), m_heap.end(), earlier);
            continue;
        }
        m_cut = true;
        // The series' occurrences come in order of start: once one is no
        // earlier than the latest kept, neither is any after it.
        if (m_heap.empty() || !earlier(item, m_heap.front()))
            break;
        std::pop_heap(m_heap.begin(), m_heap.end(), earlier);
        m_heap.back() = std::move(item);
        std::push_heap(m_heap.begin(), m_heap.end(), earlier);
    }
}

std::vector<BudgetedOccurrence> EarliestOccurrences::take()
{
    return std::exchange(m_heap, {});
}

} // namespace kolu
