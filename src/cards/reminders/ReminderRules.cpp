#include "cards/reminders/ReminderRules.h"

#include "cards/FolderTexts.h"

#include "style/DateText.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace kolu::reminderrules {

ReminderFilter selectedFilter(const QString &raw)
{
    const std::optional<ReminderFilter> stored = fromRawValue<ReminderFilter>(raw);
    const std::vector<ReminderFilter> offered = offeredFilters();
    if (stored && std::ranges::find(offered, *stored) != offered.end())
        return *stored;
    return ReminderFilter::today;
}

QString label(ReminderFilter filter)
{
    switch (filter) {
    case ReminderFilter::overdue: return QCoreApplication::translate("RemindersCard", "Overdue");
    case ReminderFilter::today: return QCoreApplication::translate("RemindersCard", "Today");
    case ReminderFilter::upcoming: return QCoreApplication::translate("RemindersCard", "Scheduled");
    case ReminderFilter::noDate:
    case ReminderFilter::flagged: break;
    }
    return {};
}

std::vector<ReminderFilter> offeredFilters()
{
    return {ReminderFilter::overdue, ReminderFilter::today, ReminderFilter::upcoming};
}

Day Day::of(const QDateTime &now, const QTimeZone &zone)
{
    const QDate today = now.toTimeZone(zone).date();
    return {today.startOfDay(zone), today.addDays(1).startOfDay(zone), today.addDays(2).startOfDay(zone)};
}

bool keeps(ReminderFilter filter, const ReminderItem &item, const Day &day)
{
    if (!item.dueDate)
        return false;
    const QDateTime &due = *item.dueDate;
    switch (filter) {
    case ReminderFilter::overdue: return due < day.startOfToday;
    case ReminderFilter::today: return due >= day.startOfToday && due < day.startOfTomorrow;
    case ReminderFilter::upcoming: return due >= day.startOfToday;
    case ReminderFilter::noDate:
    case ReminderFilter::flagged: break;
    }
    return false;
}

std::vector<ReminderItem> filtered(const std::vector<ReminderItem> &items, ReminderFilter filter, const Day &day)
{
    std::vector<ReminderItem> kept;
    std::copy_if(items.begin(), items.end(), std::back_inserter(kept),
                 [&](const ReminderItem &item) { return keeps(filter, item, day); });
    return kept;
}

std::vector<Section> sections(const std::vector<ReminderItem> &items, const Day &day, const QTimeZone &zone,
                              const DateText &dates)
{
    std::vector<Section> result;
    for (const ReminderItem &item : items) {
        if (!item.dueDate)
            continue;
        const QDateTime &due = *item.dueDate;
        QString key;
        if (due < day.startOfToday)
            key = QCoreApplication::translate("RemindersCard", "Overdue");
        else if (due < day.startOfTomorrow)
            key = QCoreApplication::translate("RemindersCard", "Today");
        else if (due < day.startOfDayAfter)
            key = QCoreApplication::translate("RemindersCard", "Tomorrow");
        else
            // The year keeps days a year apart in sections of their own.
            key = dates.format(due.toTimeZone(zone),
                               due.toTimeZone(zone).date().year() == day.startOfToday.date().year() ? u"EEEEMMMd"_s
                                                                                                    : u"yEEEEMMMd"_s);
        auto found = std::find_if(result.begin(), result.end(), [&](const Section &s) { return s.title == key; });
        if (found == result.end()) {
            result.push_back({key, due, {item}});
        } else {
            found->sortDate = std::min(found->sortDate, due);
            found->reminders.push_back(item);
        }
    }
    for (Section &section : result) {
        std::stable_sort(section.reminders.begin(), section.reminders.end(),
                         [](const ReminderItem &a, const ReminderItem &b) { return *a.dueDate < *b.dueDate; });
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const Section &a, const Section &b) { return a.sortDate < b.sortDate; });
    return result;
}

QString countText(int count, bool more)
{
    if (more)
        return QCoreApplication::translate("RemindersCard", "%1+ open reminders").arg(count);
    return count == 1 ? QCoreApplication::translate("RemindersCard", "%1 open reminder").arg(count)
                      : QCoreApplication::translate("RemindersCard", "%1 open reminders").arg(count);
}

EmptyContent emptyContent(const RemindersConnectionState &connection, bool listIsFull,
                          const std::optional<QString> &chosenFolder)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("RemindersCard", text); };
    switch (connection.kind) {
    case RemindersConnectionState::Kind::notDetermined:
        return {u"lock"_s,
                tr("Allow Reminders"),
                tr("Kolu reads your reminders from the to-do folder chosen in Kolu Settings."),
                false,
                {},
                {}};
    case RemindersConnectionState::Kind::denied:
        // Without a usable to-do folder nothing is blocked: one is still to
        // be chosen, or the chosen one brought back, as the calendar and
        // notes cards say of theirs.
        if (chosenFolder) {
            const GoneFolderText gone = goneFolderText(CardFolder::todos, *chosenFolder);
            return {u"checklist"_s, gone.title, gone.beforePath, true, gone.path, gone.afterPath};
        }
        return {
            u"checklist"_s, tr("No to-do folder"), tr("Choose the folder your reminders are kept in."), true, {}, {}};
    case RemindersConnectionState::Kind::ready:
        if (listIsFull)
            return {u"checklist"_s,
                    tr("More reminders than shown"),
                    tr("Only the earliest open reminders are listed; complete some to see the rest."),
                    false,
                    {},
                    {}};
        return {u"checkmark.circle"_s,
                tr("No open reminders"),
                tr("Open reminders from your to-do folder will appear here."),
                false,
                {},
                {}};
    case RemindersConnectionState::Kind::failed:
        return {u"exclamationmark.triangle"_s, tr("Could not load reminders"), connection.message, false, {}, {}};
    }
    return {};
}

QString connectionLine(const RemindersConnectionState &connection, const std::optional<QString> &chosenFolder)
{
    switch (connection.kind) {
    case RemindersConnectionState::Kind::notDetermined:
        return QCoreApplication::translate("RemindersCard", "Choose a to-do folder.");
    case RemindersConnectionState::Kind::denied:
        // The empty state's title, as a line.
        return chosenFolder ? QCoreApplication::translate("RemindersCard", "To-do folder can’t be read.")
                            : QCoreApplication::translate("RemindersCard", "No to-do folder.");
    case RemindersConnectionState::Kind::ready:
        return QCoreApplication::translate("RemindersCard", "Reminders are ready.");
    case RemindersConnectionState::Kind::failed: return connection.message;
    }
    return {};
}

QString dueText(const ReminderItem &item, const DateText &dates)
{
    if (!item.dueDate)
        return {};
    const QString date = dates.format(*item.dueDate, u"yMMMd"_s);
    if (!item.includesTime)
        return QString(date).replace(u' ', QChar::Nbsp);
    QString text = dates.format(*item.dueDate, u"yMMMdjmm"_s);
    // The joint is the first space after the date, or the last before it
    // where the locale puts the time first.
    qsizetype joint = -1;
    if (text.startsWith(date))
        joint = text.indexOf(u' ', date.size());
    else if (text.endsWith(date))
        joint = text.lastIndexOf(u' ', text.size() - date.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u' ' && i != joint)
            text[i] = QChar::Nbsp;
    }
    return text;
}

QString priorityMark(int priority)
{
    switch (priority) {
    case 1: return u"exclamationmark.3"_s;
    case 5: return u"exclamationmark.2"_s;
    case 9: return u"exclamationmark"_s;
    default: return {};
    }
}

} // namespace kolu::reminderrules
