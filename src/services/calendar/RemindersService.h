#pragma once

#include "model/Records.h"
#include "platform/calendar/CalendarStore.h"

#include <QTimeZone>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <optional>
#include <utility>
#include <vector>

namespace kolu {

class Clock;

// Lists the open reminders, adds new ones and completes or reopens them, in
// the store's to-do lists. Every call answers with the state the reminders
// card shows.
class RemindersService {
public:
    RemindersService(CalendarStore &store, Clock &clock, QTimeZone localZone = QTimeZone::systemTimeZone());

    // At most `limit` open reminders (a negative limit counts as 0): those
    // with a due date first, earliest first, then the rest by title.
    QCoro::Task<std::pair<RemindersConnectionState, std::vector<ReminderItem>>> fetchOpenReminders(int limit);
    QCoro::Task<RemindersConnectionState> addReminder(ReminderDraft draft);
    QCoro::Task<RemindersConnectionState> setCompleted(QString id, bool completed);

    // The address typed in a draft: as written when it has a scheme, else
    // with "https://" in front when it has no spaces, else nothing.
    static std::optional<QUrl> normalizedURL(const QString &text);

    // Sorts open reminders by due date, then undated ones by title; stable.
    static void sortForDisplay(std::vector<ReminderItem> &items);

private:
    CalendarStore &m_store;
    Clock &m_clock;
    QTimeZone m_localZone;
};

} // namespace kolu
