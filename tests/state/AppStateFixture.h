#pragma once

#include "platform/calendar/CalendarStore.h"
#include "platform/notifications/NotificationScheduler.h"
#include "services/calendar/CalendarService.h"
#include "services/calendar/RemindersService.h"
#include "services/clipboard/ClipboardService.h"
#include "services/notifications/NotificationIdentifiers.h"
#include "state/AppState.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>

#include <functional>
#include <memory>

// Records in these tests name only the fields a case needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace kolu::test {

// A status line as the state shows it: its sentence and its tint.
using Status = std::pair<QString, StatusTint>;
inline Status pairOf(const StatusLine &line)
{
    return {line.message, line.tint};
}
inline Status weatherStatus(const AppState &s)
{
    return pairOf(s.todayWeatherStatus());
}
inline Status prayerStatus(const AppState &s)
{
    return pairOf(s.prayerStatus());
}
inline Status wallpaperStatus(const AppState &s)
{
    return pairOf(s.wallpaperStatus());
}
inline Status fileTrayStatus(const AppState &s)
{
    return pairOf(s.fileTrayAirDropStatus());
}

// A state on test services in a temporary home, with the layout callback counted.
class AppStateActionsTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    TestAppServices services{defaults, clock, home};
    int layoutCalls = 0;

    std::unique_ptr<AppState> makeState(AppServices appServices)
    {
        auto state = std::make_unique<AppState>(defaults, clock, std::move(appServices));
        QObject::connect(state.get(), &AppState::chromeNeedsLayout, [this] { ++layoutCalls; });
        return state;
    }
    std::unique_ptr<AppState> makeState() { return makeState(services.take()); }

    // A state that has read its saved files, without starting it.
    std::unique_ptr<AppState> makeLoadedState()
    {
        auto state = makeState();
        state->loadSavedState();
        return state;
    }

    template<typename Condition>
    static bool waitUntil(Condition condition)
    {
        return test::waitUntil(std::move(condition));
    }

    // The last banner shown, as "title: body".
    QString lastBanner() const
    {
        const auto &banners = services.notifications->banners;
        return banners.empty() ? QString()
                               : banners.back().content.title + QStringLiteral(": ") + banners.back().content.body;
    }

    // A file below the temporary home with `bytes` in it.
    QString makeFile(const QString &relative, const QByteArray &bytes = "x")
    {
        const QString path = home.path(relative);
        EXPECT_TRUE(test::writeFile(path, bytes));
        return path;
    }
};

// Calendar and to-do lists held in memory; `duringRead` runs while a to-do
// fetch waits for its answer.
class MemoryCalendarStore final : public CalendarStore {
public:
    bool hasEventAccess() const override { return true; }
    bool hasReminderAccess() const override { return true; }
    QCoro::Task<StoredEventList> events(QDateTime, QDateTime) override
    {
        co_return std::make_shared<const std::vector<StoredEvent>>(storedEvents);
    }
    QCoro::Task<std::vector<ReminderItem>> openTodos() override
    {
        if (duringRead)
            duringRead();
        co_return std::vector<ReminderItem>(todos);
    }
    QCoro::Task<TodoWriteResult> addTodo(NewTodo) override { co_return TodoWriteResult{}; }
    QCoro::Task<TodoWriteResult> setTodoCompleted(QString, bool, QDateTime) override { co_return TodoWriteResult{}; }
    void setOnFolderChange(std::function<void()> onChange) override { onFolderChange = std::move(onChange); }

    std::vector<StoredEvent> storedEvents;
    // What the state asked to be told when the calendar folders change.
    std::function<void()> onFolderChange;
    std::vector<ReminderItem> todos;
    std::function<void()> duringRead;
};

// An application state on real services over fakes, driven by a manual clock,
// with its calendar and to-do lists in memory.
class EngineTest : public AppStateActionsTest {
protected:
    MemoryCalendarStore *calendar = nullptr;
    std::unique_ptr<AppState> state;

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
        return AppStateActionsTest::makeState(std::move(taken));
    }

    void advance(std::chrono::milliseconds by) { clock.advance(by); }

    // Canned answers of the weather and prayer-times services.
    void answerWeather(int status = 200)
    {
        services.server.respond(QStringLiteral("/v1/search"), {status, kBerlinAnswer});
        services.server.respond(QStringLiteral("/v1/forecast"), {200, kForecastAnswer});
    }
    void answerPrayers(int status = 200)
    {
        services.server.setHandler([status](const RecordedRequest &request) -> std::optional<CannedResponse> {
            if (!request.path.startsWith(QStringLiteral("/v1/timingsByCity/")))
                return std::nullopt;
            return CannedResponse{status, kPrayerAnswer};
        });
    }
    int requestsTo(const QString &pathStart) const
    {
        const auto &requests = services.server.requests();
        return int(std::count_if(requests.begin(), requests.end(),
                                 [&](const RecordedRequest &r) { return r.path.startsWith(pathStart); }));
    }

    static constexpr char kBerlinAnswer[] =
        R"({"results":[{"id":2950159,"name":"Berlin","latitude":52.52437,"longitude":13,"country":"Germany"}]})";
    static constexpr char kForecastAnswer[] =
        R"({"latitude":52.52,"current":{"time":"2026-03-14T09:00","temperature_2m":-3.5,"weather_code":71}})";
    static constexpr char kPrayerAnswer[] = R"({"code":200,"status":"OK","data":{"timings":{
        "Fajr":"2026-03-14T04:30:00+00:00","Sunrise":"2026-03-14T06:01:00+00:00",
        "Dhuhr":"2026-03-14T12:05:00+00:00","Asr":"2026-03-14T15:20:00+00:00",
        "Maghrib":"2026-03-14T18:10:00+00:00","Isha":"2026-03-14T19:30:00+00:00"}}})";
};

} // namespace kolu::test

// The state tests read as the code they test.
using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
