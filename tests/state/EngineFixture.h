#pragma once

#include "state/AppState.h"

#include "model/SignalAwaiter.h"
#include "platform/CalendarStore.h"
#include "platform/NotificationScheduler.h"
#include "services/CalendarService.h"
#include "services/RemindersService.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <chrono>
#include <functional>

namespace kolu::test {

// Calendar and to-do lists held in memory. While `hold` is set, each read
// waits until release() is called.
class MemoryCalendarStore final : public CalendarStore {
public:
    bool hasEventAccess() const override { return true; }
    bool hasReminderAccess() const override { return true; }
    QCoro::Task<std::vector<StoredEvent>> events(QDateTime, QDateTime) override
    {
        co_await waitIfHeld();
        co_return std::vector<StoredEvent>(storedEvents);
    }
    QCoro::Task<std::vector<StoredTodo>> openTodos() override
    {
        co_await waitIfHeld();
        co_return std::vector<StoredTodo>(todos);
    }
    QCoro::Task<TodoWriteResult> addTodo(NewTodo) override { co_return TodoWriteResult{}; }
    QCoro::Task<TodoWriteResult> setTodoCompleted(QString, bool, QDateTime) override { co_return TodoWriteResult{}; }

    void release()
    {
        hold = false;
        m_gate.setObjectName(m_gate.objectName() + u'.');
    }

    std::vector<StoredEvent> storedEvents;
    std::vector<StoredTodo> todos;
    bool hold = false;

private:
    QCoro::Task<> waitIfHeld()
    {
        if (hold)
            co_await nextEmission(&m_gate, &QObject::objectNameChanged);
    }
    QObject m_gate;
};

// An application state on real services over fakes, driven by a manual clock.
class EngineTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    TestAppServices services{defaults, clock, home};
    int layouts = 0;

    MemoryCalendarStore *calendar = nullptr;

    std::unique_ptr<AppState> makeState()
    {
        AppServices taken = services.take();
        // The services go before the stores they read.
        taken.calendarService.reset();
        taken.remindersService.reset();
        auto store = std::make_unique<MemoryCalendarStore>();
        calendar = store.get();
        taken.calendarStore = std::move(store);
        taken.calendarService = std::make_unique<CalendarService>(*taken.calendarStore, clock, QTimeZone::utc());
        taken.remindersService = std::make_unique<RemindersService>(*taken.calendarStore, clock, QTimeZone::utc());
        auto state = std::make_unique<AppState>(defaults, clock, std::move(taken));
        state->onChromeNeedsLayout = [this] { ++layouts; };
        return state;
    }

    void advance(std::chrono::milliseconds by) { clock.advance(by); }

    // Runs the event loop until `done` holds; the bound only guards against a
    // hang (the local server answers through the event loop).
    static bool waitUntil(const std::function<bool()> &done)
    {
        QElapsedTimer guard;
        guard.start();
        while (!done() && guard.elapsed() < 10'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    // An event as the store holds it, `secondsAhead` from now.
    StoredEvent storedEvent(const QString &id, qint64 secondsAhead) const
    {
        StoredEvent event;
        event.seriesId = id;
        event.title = QString(QStringLiteral("Standup ") + id);
        event.start = clock.now().addSecs(secondsAhead);
        event.end = event.start.addSecs(900);
        return event;
    }

    QStringList bannerTitles() const
    {
        QStringList titles;
        for (const auto &banner : services.notifications->banners)
            titles << banner.content.title;
        return titles;
    }
};

} // namespace kolu::test
