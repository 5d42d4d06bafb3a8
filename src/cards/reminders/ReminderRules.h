#pragma once

#include "model/RawEnum.h"
#include "model/Records.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace kolu {

class DateText;

// The filters the reminders card offers. Only the first three are shown;
// the other two are names a stored value may hold. The raw value is the
// case name.
enum class ReminderFilter { overdue, today, upcoming, noDate, flagged };
template<>
struct EnumNames<ReminderFilter> {
    static constexpr std::array<std::string_view, 5> names{"overdue", "today", "upcoming", "noDate", "flagged"};
};

namespace reminderrules {

// The filter a stored value selects: one of the offered three, else today.
ReminderFilter selectedFilter(const QString &raw);
QString label(ReminderFilter filter);
// The three chips, in order.
std::vector<ReminderFilter> offeredFilters();

// The day boundaries the card works with, taken once per evaluation.
struct Day {
    QDateTime startOfToday;
    QDateTime startOfTomorrow;
    QDateTime startOfDayAfter;
    static Day of(const QDateTime &now, const QTimeZone &zone);
};

bool keeps(ReminderFilter filter, const ReminderItem &item, const Day &day);
std::vector<ReminderItem> filtered(const std::vector<ReminderItem> &items, ReminderFilter filter, const Day &day);

struct Section {
    QString title;
    QDateTime sortDate;
    std::vector<ReminderItem> reminders;

    friend bool operator==(const Section &, const Section &) = default;
};

// "Overdue", "Today", "Tomorrow", then one section per later day, earliest
// first; each section's reminders by due date, stable.
std::vector<Section> sections(const std::vector<ReminderItem> &items, const Day &day, const QTimeZone &zone,
                              const DateText &dates);

// The count line: `count` and a "+" when `more` open reminders wait past
// those the state keeps.
QString countText(int count, bool more);

struct EmptyContent {
    QString symbol;
    QString title;
    QString subtitle; // when `path` is set, the words before it
    bool offersSettings = false;
    QString path;
    QString afterPath;

    friend bool operator==(const EmptyContent &, const EmptyContent &) = default;
};
// The empty state for a connection. `listIsFull`: the list shown is cut at
// its limit, so reminders may exist that the filter would keep.
// `chosenFolder`: the to-do folder the user chose, if any; without a usable
// folder, a chosen one is named as gone rather than taken for none.
EmptyContent emptyContent(const RemindersConnectionState &connection, bool listIsFull,
                          const std::optional<QString> &chosenFolder = std::nullopt);
QString connectionLine(const RemindersConnectionState &connection,
                       const std::optional<QString> &chosenFolder = std::nullopt);

// The details line's date: abbreviated date, and the short time when set.
// The spaces inside the date and inside the time do not break a line, so a
// row too narrow for the whole text shows the time whole on a line of its
// own rather than cut.
QString dueText(const ReminderItem &item, const DateText &dates);
// "exclamationmark.3" and so on for the store's priorities 1, 5, 9.
QString priorityMark(int priority);

} // namespace reminderrules

} // namespace kolu
