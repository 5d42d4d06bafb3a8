#include "AppStateFixture.h"

namespace {

class AppStateReminderActionsTest : public test::AppStateActionsTest {
protected:
    std::unique_ptr<AppState> state = makeState();

    void raise(const ReminderItem &item) { state->setActiveReminderAlert(ActiveReminderAlert{item, clock.now()}); }
    QStringList pending() const { return services.scheduler->pendingIdentifiers(); }
};

} // namespace

TEST_F(AppStateReminderActionsTest,
       SnoozingSchedulesTheAlertAgainReplacingAnEarlierSnoozeAndAFocusSnoozeRunsAtLeastAMinute)
{
    const QDateTime start = clock.now();
    const ReminderItem item{.id = u"r-1"_s, .title = u"Call the bank"_s};
    state->snoozeReminder(10); // no alert: nothing
    EXPECT_TRUE(pending().isEmpty());
    raise(item);
    state->snoozeReminder(10); // the rail's own case sees it scheduled
    EXPECT_EQ(state->reminderSnoozedUntil(u"r-1"_s), start.addSecs(600));

    // A second snooze, five minutes later, for one minute.
    clock.advance(std::chrono::minutes(5));
    raise(item);
    state->snoozeReminder(1);
    EXPECT_EQ(state->reminderSnoozedUntil(u"r-1"_s), start.addSecs(360));
    ASSERT_EQ(pending().size(), 1) << "the earlier snooze is replaced";
    clock.advance(std::chrono::seconds(61));
    services.scheduler->checkDueRequests();
    ASSERT_TRUE(waitUntil([&] { return !services.notifications->banners.empty(); }));
    EXPECT_EQ(lastBanner(), u"Call the bank reminder: Reminder in 1 minute."_s);
    clock.advance(std::chrono::minutes(10));
    services.scheduler->checkDueRequests();
    QCoreApplication::processEvents();
    EXPECT_EQ(services.notifications->banners.size(), 1u) << "the first snooze never fires";

    state->setRailModule(RailModule::reminders, false);
    raise(ReminderItem{.id = u"r-2"_s});
    state->snoozeReminder(10);
    EXPECT_TRUE(state->activeReminderAlert()) << "a hidden module snoozes nothing";

    // A focus snooze starts a focus run of at least one minute.
    state->setPomodoro(
        PomodoroState{.mode = PomodoroMode::breakTime, .focusDuration = 1800, .finishedPendingNotification = true});
    state->setPomodoroAlertVisible(true);
    layoutCalls = 0;
    state->snoozePomodoro(0);
    EXPECT_FALSE(state->pomodoroAlertVisible());
    EXPECT_EQ(layoutCalls, 1);
    const PomodoroState expected{.focusDuration = 1800, .remaining = 60, .isRunning = true, .startedAt = clock.now()};
    EXPECT_EQ(state->pomodoro(), expected) << "the configured length stays";
    state->snoozePomodoro(5);
    EXPECT_EQ(state->pomodoro().remaining, 300.0);
}

TEST_F(AppStateReminderActionsTest, AddingAndCompletingRefetchTheOpenReminders)
{
    const auto add = [&](const QString &title) { state->addReminder(ReminderDraft{.title = title}); };
    const auto has = [&](const QString &title) {
        return std::find_if(state->reminders().begin(), state->reminders().end(),
                            [&](const ReminderItem &r) { return r.title == title; });
    };
    add(u"Nowhere"_s); // no list to add to: the state is reported and the list still fetched
    ASSERT_TRUE(waitUntil([&] { return state->remindersConnection() != RemindersConnectionState::notDetermined(); }));
    EXPECT_NE(state->remindersConnection(), RemindersConnectionState::ready());
    EXPECT_TRUE(state->reminders().empty());

    ASSERT_TRUE(QDir().mkpath(home.path(u".local/share/calendars/Tasks"_s)));
    add(u"Buy bread"_s);
    ASSERT_TRUE(waitUntil([&] { return has(u"Buy bread"_s) != state->reminders().end(); }));
    add(u"Water plants"_s);
    ASSERT_TRUE(waitUntil([&] { return state->reminders().size() == 2; }));
    EXPECT_EQ(state->remindersConnection(), RemindersConnectionState::ready());
    const ReminderItem bread = *has(u"Buy bread"_s);
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

    // A write that fails says so through the fetches that follow (another
    // program's saves bring them at once) until a write goes well.
    int published = 0;
    QObject::connect(state.get(), &AppState::changed,
                     [&](AppState::Field field) { published += field == AppState::Field::reminderList; });
    const auto notFound = RemindersConnectionState::failed(u"Reminder could not be found."_s);
    state->toggleReminder(ReminderItem{.id = u"gone"_s, .title = u"Gone"_s});
    ASSERT_TRUE(waitUntil([&] { return published == 2; })) << "the answer, then the list fetched again";
    EXPECT_EQ(state->remindersConnection(), notFound);
    state->refreshReminders();
    ASSERT_TRUE(waitUntil([&] { return published == 3; }));
    EXPECT_EQ(state->remindersConnection(), notFound);
    EXPECT_EQ(state->reminders().size(), 1u);
    state->toggleReminder(state->reminders().front());
    ASSERT_TRUE(waitUntil([&] { return state->reminders().empty(); }));
    EXPECT_EQ(state->remindersConnection(), RemindersConnectionState::ready());
}

TEST_F(AppStateReminderActionsTest, AToDoFolderThatComesBackIsReadWithoutARefresh)
{
    const QString root = home.path(u".local/share/calendars"_s);
    QDir(root).removeRecursively();
    state->start();
    state->refreshReminders();
    ASSERT_TRUE(waitUntil([&] { return state->remindersConnection().kind == RemindersConnectionState::Kind::denied; }));
    // Moved back (made here again): the state reads it on its own.
    ASSERT_TRUE(QDir().mkpath(root + u"/Tasks"_s));
    EXPECT_TRUE(waitUntil([&] { return state->remindersConnection().kind == RemindersConnectionState::Kind::ready; }));
}
