#pragma once

#include "platform/calendar/RecurrenceExpansion.h"

#include <QString>

#include <cstddef>
#include <set>
#include <utility>
#include <vector>

namespace kolu {

// The most occurrences one read lists for its window, across all files: a
// calendar of thousands of series that repeat every minute would otherwise
// expand to millions (the per-file and per-series bounds multiply).
inline constexpr int kMaxOccurrencesPerRead = 20000;

// The candidate instants the rules of one read may examine: each series up to
// kMaxRecurrenceSteps while the read has them to give. Once the read's are
// spent, each file still has kCandidatesPerFileOnceSpent for its own series,
// and each series at least kCandidatesPerSeriesOnceSpent: enough for
// ordinary series near the window, so rules that list every second in one
// file cannot keep the events of the others from being listed.
inline constexpr qint64 kMaxCandidatesPerRead = 2'000'000;
inline constexpr int kCandidatesPerFileOnceSpent = 5'000;
inline constexpr int kCandidatesPerSeriesOnceSpent = 100;

class CandidateBudget {
public:
    explicit CandidateBudget(qint64 perRead);

    void startFile();
    int forNextSeries() const;
    void spend(int examined);

private:
    qint64 m_readLeft;
    int m_fileLeft = kCandidatesPerFileOnceSpent;
};

// One occurrence a read keeps, with its series and its place in the order
// the read would list it without a bound.
struct BudgetedOccurrence {
    QString seriesId;
    EventOccurrence occurrence;
    std::size_t order = 0;
};

// Shares a read's bound among its files, one file at a time. While the files
// together hold more than the bound, the file that holds the most gives up
// its latest occurrence: a file that floods cannot crowd out the events of
// the others, and every file keeps its earliest.
class OccurrenceBudget {
public:
    explicit OccurrenceBudget(int limit);

    // The most occurrences the next file could keep, however many it has.
    int roomForNextFile() const;

    // Takes the next file's earliest occurrences (at most roomForNextFile());
    // `cut` says it had more.
    void addFile(std::vector<BudgetedOccurrence> occurrences, bool cut);

    // The files (in the order added) that lost occurrences to a bound, with
    // how many they keep.
    std::vector<std::pair<std::size_t, int>> cutFiles() const;

    // What is kept, in the order the read would list it without a bound.
    std::vector<BudgetedOccurrence> takeKept();

private:
    struct File {
        std::vector<BudgetedOccurrence> kept; // by start, then order
        bool cut = false;
    };

    int m_limit;
    int m_total = 0;
    std::vector<File> m_files;
    std::set<std::pair<int, std::size_t>> m_bySize; // (kept count, file)
};

// Keeps the earliest occurrences of one file within `room`, as its series are
// expanded one after the other.
class EarliestOccurrences {
public:
    explicit EarliestOccurrences(int room);

    // The bound for the next series: no more than would fit, and, once full,
    // only starts earlier than the latest kept.
    ExpansionBound boundForNextSeries(int candidates, std::stop_token stop) const;

    void add(const QString &seriesId, const BoundedOccurrences &expanded, std::size_t &order);

    bool cut() const { return m_cut; }
    std::vector<BudgetedOccurrence> take();

private:
    int m_room;
    bool m_cut = false;
    std::vector<BudgetedOccurrence> m_heap; // the latest start on top
};

} // namespace kolu
