#include "AppStateFixture.h"

#include "platform/notifications/NotificationScheduler.h"
#include "services/notifications/NotificationIdentifiers.h"

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class AppStateReminderActionsTest : public test::AppStateActionsTest {
protected:
    std::unique_ptr<AppState> state = makeState();

    void raise(const QString &id, const QString &title = u"Call the bank"_s)
    {
        ReminderItem item;
        item.id = id;
        item.title = title;
        raise(item);
    }
    void raise(const ReminderItem &item) { state->setActiveReminderAlert(ActiveReminderAlert{item, clock.now()}); }
    QStringList pending() const { return services.scheduler->pendingIdentifiers(); }
};

} // namespace

TEST_F(AppStateReminderActionsTest, SnoozingSchedulesTheAlertAgainAndReplacesAnEarlierSnooze)
{
    const QDateTime start = clock.now();
    state->snoozeReminder(10); // no alert: nothing
    EXPECT_TRUE(pending().isEmpty());
    raise(u"r-1"_s);
    layoutCalls = 0;
    state->snoozeReminder(10);
    EXPECT_FALSE(state->activeReminderAlert());
    EXPECT_EQ(layoutCalls, 1);
    EXPECT_EQ(state->reminderSnoozedUntil(u"r-1"_s), start.addSecs(600));
    ASSERT_EQ(pending().size(), 1);
    EXPECT_TRUE(pending().front().startsWith(notificationid::reminderSnoozePrefixFor(u"r-1"_s)));

    // A second snooze, five minutes later, for one minute.
    clock.advance(std::chrono::minutes(5));
    raise(u"r-1"_s);
    state->snoozeReminder(1);
    EXPECT_EQ(state->reminderSnoozedUntil(u"r-1"_s), start.addSecs(360));
    ASSERT_EQ(pending().size(), 1) << "the earlier snooze is replaced";
    clock.advance(std::chrono::seconds(61));
    services.scheduler->checkDueRequests();
    ASSERT_TRUE(waitUntil([&] { return !services.notifications->banners.empty(); }));
    EXPECT_EQ(services.notifications->banners[0].content.title, u"Call the bank reminder"_s);
    EXPECT_EQ(services.notifications->banners[0].content.body, u"Reminder in 1 minutes."_s);
    clock.advance(std::chrono::minutes(10));
    services.scheduler->checkDueRequests();
    QCoreApplication::processEvents();
    EXPECT_EQ(services.notifications->banners.size(), 1u) << "the first snooze never fires";

    state->setRailModule(RailModule::reminders, false);
    raise(u"r-2"_s);
    state->snoozeReminder(10);
    EXPECT_TRUE(state->activeReminderAlert()) << "a hidden module snoozes nothing";
    EXPECT_FALSE(state->reminderSnoozedUntil(u"r-2"_s));
}

TEST_F(AppStateReminderActionsTest, AddingAndCompletingRefetchTheOpenReminders)
{
    const auto add = [&](const QString &title) {
        ReminderDraft draft;
        draft.title = title;
        state->addReminder(draft);
    };
    const auto addAndWait = [&](const QString &title) {
        add(title);
        return waitUntil([&] {
            return std::any_of(state->reminders().begin(), state->reminders().end(),
                               [&](const ReminderItem &r) { return r.title == title; });
        });
    };
    add(u"Nowhere"_s); // no list to add to: the state is reported and the list still fetched
    ASSERT_TRUE(waitUntil([&] { return state->remindersConnection() != RemindersConnectionState::notDetermined(); }));
    EXPECT_NE(state->remindersConnection(), RemindersConnectionState::ready());
    EXPECT_TRUE(state->reminders().empty());

    ASSERT_TRUE(QDir().mkpath(home.path(u".local/share/calendars/Tasks"_s)));
    ASSERT_TRUE(addAndWait(u"Buy bread"_s));
    ASSERT_TRUE(addAndWait(u"Water plants"_s));
    EXPECT_EQ(state->remindersConnection(), RemindersConnectionState::ready());
    const ReminderItem bread = *std::find_if(state->reminders().begin(), state->reminders().end(),
                                             [](const ReminderItem &r) { return r.title == u"Buy bread"_s; });
    raise(bread);
    state->snoozeReminder(5);
    ASSERT_TRUE(state->reminderSnoozedUntil(bread.id));
    raise(bread);
    layoutCalls = 0;
    state->completeReminderAlert();
    EXPECT_FALSE(state->activeReminderAlert());
    EXPECT_EQ(layoutCalls, 1);
    ASSERT_TRUE(waitUntil([&] { return state->reminders().size() == 1; }));
    EXPECT_EQ(state->reminders().front().title, u"Water plants"_s);
    EXPECT_FALSE(state->reminderSnoozedUntil(bread.id));
    state->completeReminderAlert(); // no alert: nothing
    EXPECT_EQ(layoutCalls, 1);
}

TEST_F(AppStateReminderActionsTest, AFocusSnoozeStartsAFocusRunOfAtLeastOneMinute)
{
    state->mutate<AppState::Field::pomodoro>([](PomodoroState &p) {
        p.mode = PomodoroMode::breakTime;
        p.finishedPendingNotification = true;
        p.focusDuration = 1800;
    });
    state->setPomodoroAlertVisible(true);
    layoutCalls = 0;
    state->snoozePomodoro(0);
    EXPECT_FALSE(state->pomodoroAlertVisible());
    EXPECT_EQ(layoutCalls, 1);
    const PomodoroState &p = state->pomodoro();
    EXPECT_EQ(p.mode, PomodoroMode::focus);
    EXPECT_EQ(p.remaining, 60.0);
    EXPECT_TRUE(p.isRunning);
    EXPECT_FALSE(p.finishedPendingNotification);
    EXPECT_EQ(p.focusDuration, 1800.0) << "the configured length stays";
    state->snoozePomodoro(5);
    EXPECT_EQ(state->pomodoro().remaining, 300.0);
}
