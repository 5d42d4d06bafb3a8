#include "AppStateFixture.h"

#include "platform/notifications/NotificationScheduler.h"
#include "services/notifications/NotificationIdentifiers.h"

#include <QDir>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class AppStateReminderActionsTest : public test::AppStateActionsTest {
protected:
    std::unique_ptr<AppState> state = makeState();

    ReminderItem reminder(const QString &id, const QString &title)
    {
        ReminderItem item;
        item.id = id;
        item.title = title;
        return item;
    }

    void raise(AppState &state, const ReminderItem &item)
    {
        state.setActiveReminderAlert(ActiveReminderAlert{item, clock.now()});
    }

    // Adds a reminder through the state and waits for the refetch.
    void addAndWait(AppState &state, const QString &title)
    {
        ReminderDraft draft;
        draft.title = title;
        state.addReminder(draft);
        ASSERT_TRUE(test::waitUntil([&] {
            return std::any_of(state.reminders().begin(), state.reminders().end(),
                               [&](const ReminderItem &r) { return r.title == title; });
        }));
    }
};

} // namespace

TEST_F(AppStateReminderActionsTest, SnoozingSchedulesTheAlertAgainAndReplacesAnEarlierSnooze)
{
    const ReminderItem item = reminder(u"r-1"_s, u"Call the bank"_s);
    const QDateTime start = clock.now();

    raise(*state, item);
    layoutCalls = 0;
    state->snoozeReminder(10);
    EXPECT_FALSE(state->activeReminderAlert());
    EXPECT_EQ(layoutCalls, 1);
    EXPECT_EQ(state->reminderSnoozedUntil(u"r-1"_s), start.addSecs(600));
    const QString prefix = notificationid::reminderSnoozePrefixFor(u"r-1"_s);
    ASSERT_EQ(services.scheduler->pendingIdentifiers().size(), 1);
    EXPECT_TRUE(services.scheduler->pendingIdentifiers().front().startsWith(prefix));

    // A second snooze, five minutes later, for one minute.
    clock.advance(std::chrono::minutes(5));
    raise(*state, item);
    state->snoozeReminder(1);
    EXPECT_EQ(state->reminderSnoozedUntil(u"r-1"_s), start.addSecs(360));
    ASSERT_EQ(services.scheduler->pendingIdentifiers().size(), 1) << "the earlier snooze is replaced";

    clock.advance(std::chrono::seconds(61));
    services.scheduler->checkDueRequests();
    ASSERT_TRUE(test::waitUntil([&] { return !services.notifications->banners.empty(); }));
    EXPECT_EQ(services.notifications->banners.size(), 1u);
    EXPECT_EQ(services.notifications->banners[0].content.title, u"Call the bank reminder"_s);
    EXPECT_EQ(services.notifications->banners[0].content.body, u"Reminder in 1 minutes."_s);
    clock.advance(std::chrono::minutes(10));
    services.scheduler->checkDueRequests();
    QCoreApplication::processEvents();
    EXPECT_EQ(services.notifications->banners.size(), 1u) << "the first snooze never fires";
}

TEST_F(AppStateReminderActionsTest, ASnoozeNeedsAnAlertAndAVisibleModule)
{
    state->snoozeReminder(10);
    EXPECT_TRUE(services.scheduler->pendingIdentifiers().isEmpty());

    state->setRailModule(RailModule::reminders, false);
    raise(*state, reminder(u"r"_s, u"T"_s));
    state->snoozeReminder(10);
    EXPECT_TRUE(state->activeReminderAlert());
    EXPECT_TRUE(services.scheduler->pendingIdentifiers().isEmpty());
    EXPECT_FALSE(state->reminderSnoozedUntil(u"r"_s));
}

TEST_F(AppStateReminderActionsTest, AddingAndCompletingRefetchTheOpenReminders)
{
    ASSERT_TRUE(QDir().mkpath(home.path(u".local/share/calendars/Tasks"_s)));
    addAndWait(*state, u"Buy bread"_s);
    addAndWait(*state, u"Water plants"_s);
    EXPECT_EQ(state->remindersConnection(), RemindersConnectionState::ready());
    ASSERT_EQ(state->reminders().size(), 2u);

    const ReminderItem bread = *std::find_if(state->reminders().begin(), state->reminders().end(),
                                             [](const ReminderItem &r) { return r.title == u"Buy bread"_s; });
    raise(*state, bread);
    state->snoozeReminder(5);
    ASSERT_TRUE(state->reminderSnoozedUntil(bread.id));
    raise(*state, bread);
    layoutCalls = 0;
    state->completeReminderAlert();
    EXPECT_FALSE(state->activeReminderAlert());
    EXPECT_EQ(layoutCalls, 1);
    ASSERT_TRUE(test::waitUntil([&] { return state->reminders().size() == 1; }));
    EXPECT_EQ(state->reminders().front().title, u"Water plants"_s);
    EXPECT_FALSE(state->reminderSnoozedUntil(bread.id));

    state->completeReminderAlert(); // no alert: nothing
    EXPECT_EQ(layoutCalls, 1);
}

TEST_F(AppStateReminderActionsTest, AddingWithoutAListReportsTheStateAndStillFetches)
{
    ReminderDraft draft;
    draft.title = u"Nowhere"_s;
    state->addReminder(draft);
    ASSERT_TRUE(test::waitUntil(
        [&] { return state->remindersConnection() != RemindersConnectionState::notDetermined(); }));
    EXPECT_NE(state->remindersConnection(), RemindersConnectionState::ready());
    EXPECT_TRUE(state->reminders().empty());
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
