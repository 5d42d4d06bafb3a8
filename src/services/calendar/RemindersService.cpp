#include "services/calendar/RemindersService.h"

#include "model/Clock.h"

#include <QCollator>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

std::optional<QString> nonEmpty(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

RemindersConnectionState stateOf(const TodoWriteResult &result)
{
    switch (result.status) {
    case TodoWriteResult::Status::saved: return RemindersConnectionState::ready();
    case TodoWriteResult::Status::noList:
        return RemindersConnectionState::failed(u"No default Reminders list is available."_s);
    case TodoWriteResult::Status::notFound: return RemindersConnectionState::failed(u"Reminder could not be found."_s);
    case TodoWriteResult::Status::failed: break;
    }
    return RemindersConnectionState::failed(result.message);
}

QCoro::Task<std::pair<RemindersConnectionState, std::vector<ReminderItem>>> openReminders(CalendarStore &store,
                                                                                          int limit)
{
    std::vector<ReminderItem> items = co_await store.openTodos();
    RemindersService::sortForDisplay(items);
    if (items.size() > static_cast<size_t>(limit))
        items.resize(static_cast<size_t>(limit));
    co_return std::pair{RemindersConnectionState::ready(), std::move(items)};
}

QCoro::Task<RemindersConnectionState> addTodo(CalendarStore &store, NewTodo todo)
{
    co_return stateOf(co_await store.addTodo(std::move(todo)));
}

QCoro::Task<RemindersConnectionState> completeTodo(CalendarStore &store, QString id, bool completed, QDateTime now)
{
    co_return stateOf(co_await store.setTodoCompleted(std::move(id), completed, std::move(now)));
}

} // namespace

RemindersService::RemindersService(CalendarStore &store, Clock &clock, QTimeZone localZone)
    : m_store(store)
    , m_clock(clock)
    , m_localZone(std::move(localZone))
{
}

QCoro::Task<std::pair<RemindersConnectionState, std::vector<ReminderItem>>>
RemindersService::fetchOpenReminders(int limit)
{
    if (!m_store.hasReminderAccess())
        co_return std::pair{RemindersConnectionState::denied(), std::vector<ReminderItem>{}};
    co_return co_await openReminders(m_store, std::max(limit, 0));
}

QCoro::Task<RemindersConnectionState> RemindersService::addReminder(ReminderDraft draft)
{
    const auto title = nonEmpty(draft.title);
    if (!title)
        co_return RemindersConnectionState::ready();
    if (!m_store.hasReminderAccess())
        co_return RemindersConnectionState::denied();

    NewTodo todo;
    todo.title = *title;
    todo.notes = nonEmpty(draft.notes);
    if (const auto url = normalizedURL(draft.url))
        todo.url = url->toString(QUrl::FullyEncoded);
    // The file format allows 0 (none) to 9 only.
    todo.priority = std::clamp(draft.priority, 0, 9);
    todo.isFlagged = draft.isFlagged;
    if (draft.hasDate) {
        const QDateTime local = draft.dueDate.toTimeZone(m_localZone);
        if (draft.hasTime) {
            // Minutes only: seconds are never part of a due time.
            const QTime time(local.time().hour(), local.time().minute());
            todo.dueTime = QDateTime(local.date(), time, m_localZone).toUTC();
            todo.alarmAtDueTime = true;
        } else {
            todo.dueDate = local.date();
        }
    }
    todo.createdAt = m_clock.now();
    co_return co_await addTodo(m_store, std::move(todo));
}

QCoro::Task<RemindersConnectionState> RemindersService::setCompleted(QString id, bool completed)
{
    if (!m_store.hasReminderAccess())
        co_return RemindersConnectionState::denied();
    co_return co_await completeTodo(m_store, std::move(id), completed, m_clock.now());
}

std::optional<QUrl> RemindersService::normalizedURL(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty())
        return url;
    if (trimmed.contains(u' '))
        return std::nullopt;
    const QUrl secure(QString(u"https://" + trimmed), QUrl::StrictMode);
    if (secure.isValid())
        return secure;
    return std::nullopt;
}

void RemindersService::sortForDisplay(std::vector<ReminderItem> &items)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items.begin(), items.end(), [&collator](const ReminderItem &a, const ReminderItem &b) {
        if (a.dueDate && b.dueDate)
            return *a.dueDate < *b.dueDate;
        if (a.dueDate || b.dueDate)
            return a.dueDate.has_value();
        return collator.compare(a.title, b.title) < 0;
    });
}

} // namespace kolu
