// The user's actions on reminders, on calendar alert leads and on the focus
// timer's alert.
#include "state/AppState.h"

#include "model/CountText.h"
#include "model/Error.h"
#include "state/AlertRules.h"
#include "services/notifications/NotificationService.h"
#include "services/calendar/RemindersService.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

} // namespace

void AppState::setReminders(std::vector<ReminderItem> items)
{
    mutate<Field::reminderList>([&](ReminderList &list) { list.items = std::move(items); });
}

void AppState::setRemindersConnection(RemindersConnectionState connection)
{
    mutate<Field::reminderList>([&](ReminderList &list) { list.connection = std::move(connection); });
}

void AppState::addReminder(ReminderDraft draft)
{
    finishReminderWrite(QPointer<AppState>(this), remindersService().addReminder(std::move(draft)), {});
}

void AppState::toggleReminder(ReminderItem item)
{
    finishReminderWrite(QPointer<AppState>(this), remindersService().setCompleted(item.id, !item.isCompleted), item.id);
}

QCoro::Task<> AppState::finishReminderWrite(QPointer<AppState> self, QCoro::Task<RemindersConnectionState> write,
                                            QString snoozeToDrop)
{
    RemindersConnectionState state = RemindersConnectionState::failed(QString());
    try {
        state = co_await std::move(write);
    } catch (const Error &error) {
        state = RemindersConnectionState::failed(error.description());
    } catch (...) {
        state = RemindersConnectionState::failed(QString());
    }
    if (!self)
        co_return;
    // Kept until a write goes well: the fetches that follow, the one below
    // as much as those of another program's saves, would otherwise replace
    // it at once, and a click would seem to have done nothing.
    if (state.kind == RemindersConnectionState::Kind::failed)
        self->m_reminderWriteFailure = state;
    else
        self->m_reminderWriteFailure.reset();
    self->setRemindersConnection(state);
    if (!snoozeToDrop.isEmpty())
        self->m_snoozedReminderDates.remove(snoozeToDrop);
    co_await refetchOpenReminders(self);
}

ReminderList AppState::keptOpenReminders(RemindersConnectionState connection, std::vector<ReminderItem> fetched)
{
    ReminderList list{std::move(connection), std::move(fetched), false};
    if (list.items.size() > std::size_t(maxOpenReminders)) {
        list.items.resize(std::size_t(maxOpenReminders));
        list.more = true;
    }
    return list;
}

QCoro::Task<> AppState::refetchOpenReminders(QPointer<AppState> self)
{
    if (!self)
        co_return;
    // Shares the numbering of the reminders refresh: whichever was asked last is shown.
    const quint64 request = self->beginRequest(RefreshKind::reminders);
    std::pair<RemindersConnectionState, std::vector<ReminderItem>> answer;
    try {
        answer = co_await self->remindersService().fetchOpenReminders(maxOpenReminders + 1);
    } catch (const Error &error) {
        // Keep the list shown; say why it was not renewed.
        if (self && self->isLatestRequest(RefreshKind::reminders, request))
            self->setRemindersConnection(RemindersConnectionState::failed(error.description()));
        co_return;
    } catch (...) {
        co_return;
    }
    if (!self || !self->isLatestRequest(RefreshKind::reminders, request))
        co_return;
    self->setReminderList(
        self->withReminderWriteFailure(keptOpenReminders(std::move(answer.first), std::move(answer.second))));
}

ReminderList AppState::withReminderWriteFailure(ReminderList list) const
{
    if (m_reminderWriteFailure && list.connection.kind == RemindersConnectionState::Kind::ready)
        list.connection = *m_reminderWriteFailure;
    return list;
}

void AppState::completeReminderAlert()
{
    if (!m_activeReminderAlert)
        return;
    const ActiveReminderAlert alert = *m_activeReminderAlert;
    setActiveReminderAlert(std::nullopt); // its reaction lays the rail out again
    toggleReminder(alert.reminder);
}

void AppState::snoozeReminder(int minutes)
{
    if (isModuleHidden(RailModule::reminders) || !m_activeReminderAlert)
        return;
    const ReminderItem reminder = m_activeReminderAlert->reminder;
    setActiveReminderAlert(std::nullopt);
    const QDateTime date = m_clock.now().addSecs(static_cast<qint64>(minutes) * 60);
    for (auto it = m_firedReminderAlertKeys.begin(); it != m_firedReminderAlertKeys.end();) {
        if (alertrules::isReminderKey(*it, reminder.id))
            it = m_firedReminderAlertKeys.erase(it);
        else
            ++it;
    }
    NotificationService &notifications = notificationService();
    notifications.cancelPendingNotifications({notificationid::reminderSnoozePrefixFor(reminder.id)});
    m_snoozedReminderDates.insert(reminder.id, date);
    notifications.scheduleReminderAlert(
        reminder, date, QString(reminder.title + u" reminder"_s),
        QString(u"Reminder in "_s + countText(minutes, u"minute"_s, u"minutes"_s) + u"."_s));
}

std::optional<QDateTime> AppState::reminderSnoozedUntil(const QString &reminderID) const
{
    const auto found = m_snoozedReminderDates.constFind(reminderID);
    return found == m_snoozedReminderDates.constEnd() ? std::nullopt : std::optional<QDateTime>(found.value());
}

int AppState::calendarAlertLeadMinutes(const CalendarEvent &event) const
{
    return m_calendarAlertLeadMinutesByEventID.value(event.id, defaultCalendarAlertLeadMinutes);
}

void AppState::setCalendarAlertLeadMinutes(int minutes, const CalendarEvent &event)
{
    // The field's reaction stores the leads and reschedules the meetings.
    mutate<Field::calendarAlertLeadMinutesByEventID>(
        [&](CalendarAlertLeads &leads) { leads.insert(event.id, minutes); });
}

void AppState::snoozePomodoro(int minutes)
{
    setPomodoroAlertVisible(false); // its reaction lays the rail out again
    const QDateTime now = m_clock.now();
    mutate<Field::pomodoro>([&](PomodoroState &pomodoro) {
        pomodoro.mode = PomodoroMode::focus;
        pomodoro.remaining = static_cast<double>(std::max(minutes, 1)) * 60.0;
        pomodoro.isRunning = true;
        pomodoro.startedAt = now;
        pomodoro.finishedPendingNotification = false;
    });
    persist();
}

} // namespace kolu
