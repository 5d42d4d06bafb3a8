// A large calendar: 20,000 event files, about 21,000 occurrences in the
// upcoming week. Scheduling their alerts, the main thread's longest stall
// while the Calendar card's refresh lands, reading the calendar again when
// nothing changed, the cost of a parked minute with and without that
// calendar, and of a refresh once the processor caches went cold.
#include "platform/calendar/CalendarFileCache.h"
#include "platform/calendar/CalendarStoreWork.h"
#include "platform/notifications/NotificationScheduler.h"
#include "services/notifications/NotificationService.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "StallMeter.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <ctime>
#include <optional>
#include <thread>

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr int kAlerts = 21'000;
constexpr int kEventFiles = 20'000;
constexpr int kDailyEvents = 200; // seven occurrences each in the week

class SilentServer final : public NotificationServer {
public:
    QCoro::Task<quint32> notify(NotificationContent, quint32) override { co_return 1U; }
    QCoro::Task<NotificationAuthorization> authorization() override { co_return NotificationAuthorization{true, true}; }
};

double processCpuMs()
{
    timespec spent{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &spent);
    return double(spent.tv_sec) * 1e3 + double(spent.tv_nsec) / 1e6;
}

std::vector<NotificationRequest> meetingRequests(const QDateTime &now)
{
    std::vector<NotificationRequest> requests;
    requests.reserve(kAlerts);
    for (int i = 0; i < kAlerts; ++i)
        requests.push_back({u"meeting-event-%1@example.com-%2-10"_s.arg(i).arg(1'773'480'000 + i * 29),
                            {u"Upcoming meeting"_s, u"Event %1 starts in 10 minutes."_s.arg(i), true},
                            now.addSecs(600 + (i * 7919) % (7 * 86400)),
                            {}});
    return requests;
}

// 21,000 alerts added to an empty scheduler, then the same 21,000 again, as
// a refresh replaces them.
void addAlerts(benchmark::State &state)
{
    test::ManualClock clock;
    SilentServer server;
    const std::vector<NotificationRequest> requests = meetingRequests(clock.now());
    const bool replacing = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scheduler = std::make_unique<NotificationScheduler>(server, clock);
        if (replacing) {
            for (const NotificationRequest &request : requests)
                scheduler->add(request);
        }
        std::vector<NotificationRequest> batch = requests;
        state.ResumeTiming();
        for (NotificationRequest &request : batch)
            scheduler->add(std::move(request));
        state.PauseTiming();
        scheduler.reset();
        state.ResumeTiming();
    }
    state.counters["alerts"] = kAlerts;
}
BENCHMARK(addAlerts)->ArgName("replacing")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Checks with nothing due, as the tick makes them.
void checkNothingDue(benchmark::State &state)
{
    test::ManualClock clock;
    SilentServer server;
    NotificationScheduler scheduler(server, clock);
    for (NotificationRequest &request : meetingRequests(clock.now()))
        scheduler.add(std::move(request));
    for (auto _ : state)
        scheduler.checkDueRequests();
    state.counters["alerts"] = kAlerts;
}
BENCHMARK(checkNothingDue)->Unit(benchmark::kMicrosecond);

QByteArray eventFile(int index, const QDateTime &start, bool daily)
{
    const auto stamp = [](const QDateTime &moment) { return moment.toString(u"yyyyMMdd'T'HHmmss'Z'"_s).toUtf8(); };
    QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example//Bench//EN\r\nBEGIN:VEVENT\r\nUID:event-"
                      + QByteArray::number(index) + "@example.com\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Event "
                      + QByteArray::number(index) + "\r\nLOCATION:Room " + QByteArray::number(index % 40)
                      + "\r\nDTSTART:" + stamp(start) + "\r\nDTEND:" + stamp(start.addSecs(1800)) + "\r\n";
    if (daily)
        text += "RRULE:FREQ=DAILY\r\n";
    return text + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

// Single events spread over the week from `now`, and some daily ones.
void writeCalendar(const QString &root, const QDateTime &now)
{
    QDir(root).mkpath(u"work"_s);
    for (int i = 0; i < kEventFiles; ++i) {
        const bool daily = i < kDailyEvents;
        const QDateTime start =
            daily ? now.addDays(-1).addSecs(3600 + i * 60) : now.addSecs(1800 + qint64(i) * 7 * 86400 / kEventFiles);
        QFile file(QDir(root).filePath(u"work/event-%1.ics"_s.arg(i)));
        if (file.open(QIODevice::WriteOnly))
            file.write(eventFile(i, start, daily));
    }
}

// Lets a freshly written calendar's file times settle, as those of a
// calendar written long ago are: until then every read parses its files.
void letFileTimesSettle()
{
    std::this_thread::sleep_for(3s);
}

// The week read from the calendar as each refresh reads it, with nothing
// changed since the last read: every file parsed again (uncached), or
// neither parsed nor looked at one by one while the folder's watch reports
// nothing (cached).
void refreshUnchanged(benchmark::State &state)
{
    QTemporaryDir root;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    writeCalendar(root.path(), now);
    letFileTimesSettle();
    CalendarFileCache cache;
    CalendarFileCache *used = state.range(0) != 0 ? &cache : nullptr;
    size_t events = loadEvents(root.path(), now, now.addDays(7), QTimeZone::utc(), used)->size();
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMs();
        events = loadEvents(root.path(), now, now.addDays(7), QTimeZone::utc(), used)->size();
        cpu += processCpuMs() - before;
    }
    state.counters["events"] = double(events);
    state.counters["cpu_ms"] = cpu / double(state.iterations());
    state.counters["parsed_files"] = double(cache.parseCount());
    state.counters["checked_files"] = double(cache.checkCount());
}
BENCHMARK(refreshUnchanged)
    ->ArgName("cached")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

struct LargeCalendarApp {
    explicit LargeCalendarApp(bool withCalendar)
    {
        if (withCalendar) {
            writeCalendar(home.path(u"Calendars"_s), clock.now());
            defaults.set(SettingsKey::calendarFolderPath, home.path(u"Calendars"_s));
        }
        state.start();
        clock.advance(2s); // past the start-up refresh
        waitForEvents();
    }

    // Runs the event loop until the calendar's answer has landed. Measuring,
    // a zero timer runs once per pass of the loop and the longest gap between
    // passes is the main thread's longest stall; quiet, the loop idles in
    // between (as the program does), so the CPU it spends is the program's own.
    double waitForEvents(bool measureStalls = true)
    {
        QEventLoop loop;
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
        const auto connection = QObject::connect(&state, &AppState::changed, &loop, [&](AppState::Field field) {
            if (field == AppState::Field::calendarEvents)
                loop.quit();
        });
        std::optional<bench::StallMeter> stalls;
        if (measureStalls)
            stalls.emplace();
        bound.start(60'000);
        loop.exec();
        const double stall = stalls ? stalls->longestMs() : 0;
        QObject::disconnect(connection);
        return stall;
    }

    test::TemporaryHome home;
    test::ManualClock clock{QDateTime::currentDateTimeUtc()};
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state{defaults, clock, services.take()};
};

// The main thread's part once the answer is in: publishing the events, and
// scheduling their alerts in place of the previous answer's (a changed
// calendar), or finding that the answer is the one already published and
// scheduled (an unchanged calendar, as most refreshes find it).
void publishAndSchedule(benchmark::State &state)
{
    LargeCalendarApp app(true);
    const std::vector<CalendarEvent> events = app.state.calendarEvents();
    NotificationService &notifications = app.state.notificationService();
    double publish = 0;
    double schedule = 0;
    double publishUnchanged = 0;
    double scheduleUnchanged = 0;
    const auto elapsedMs = [](QElapsedTimer &timer) {
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        return elapsed;
    };
    for (auto _ : state) {
        state.PauseTiming();
        app.state.setCalendarEvents({});
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        app.state.setCalendarEvents(events);
        publish = std::max(publish, elapsedMs(timer));
        notifications.scheduleMeetingAlerts(events, {}, AppState::defaultCalendarAlertLeadMinutes);
        schedule = std::max(schedule, elapsedMs(timer));
        state.PauseTiming();
        notifications.scheduleCalendarAlerts(events, {}, AppState::defaultCalendarAlertLeadMinutes);
        timer.restart();
        app.state.setCalendarEvents(events);
        publishUnchanged = std::max(publishUnchanged, elapsedMs(timer));
        notifications.scheduleCalendarAlerts(events, {}, AppState::defaultCalendarAlertLeadMinutes);
        scheduleUnchanged = std::max(scheduleUnchanged, elapsedMs(timer));
        state.ResumeTiming();
    }
    state.counters["events"] = double(events.size());
    state.counters["publish_ms"] = publish;
    state.counters["schedule_ms"] = schedule;
    state.counters["publish_unchanged_ms"] = publishUnchanged;
    state.counters["schedule_unchanged_ms"] = scheduleUnchanged;
}
BENCHMARK(publishAndSchedule)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The Calendar card asks for the week; the answer lands with every alert
// scheduled (the first time) or replaced (each refresh after).
void openCalendar(benchmark::State &state)
{
    LargeCalendarApp app(true);
    double longestStall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        app.state.setCalendarEvents({});
        state.ResumeTiming();
        app.state.refreshCalendarEvents();
        longestStall = std::max(longestStall, app.waitForEvents());
    }
    state.counters["events"] = double(app.state.calendarEvents().size());
    state.counters["pending_alerts"] = double(app.services.scheduler->pendingIdentifiers().size());
    state.counters["longest_main_thread_stall_ms"] = longestStall;
}
BENCHMARK(openCalendar)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A parked minute of ticks (and the alert checks they pace): the CPU the
// main thread spends.
void parkedMinute(benchmark::State &state)
{
    LargeCalendarApp app(state.range(0) != 0);
    double spent = 0;
    for (auto _ : state) {
        const double before = processCpuMs();
        for (int second = 0; second < 60; ++second)
            app.clock.advance(1s);
        spent += processCpuMs() - before;
    }
    state.counters["events"] = double(app.state.calendarEvents().size());
    state.counters["cpu_ms_per_minute"] = spent / double(state.iterations());
}
// Four minutes stay clear of the five-minute refresh.
BENCHMARK(parkedMinute)->ArgName("calendar")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);

// Parked minutes with the five-minute refresh among them (nothing changed in
// the calendar meanwhile): the CPU of the whole process, workers included,
// per minute.
void parkedWithRefresh(benchmark::State &state)
{
    const bool withCalendar = state.range(0) != 0;
    LargeCalendarApp app(withCalendar);
    const auto fiveMinutes = [&] {
        for (int second = 0; second < 300; ++second)
            app.clock.advance(1s);
        if (withCalendar)
            app.waitForEvents(false);
    };
    if (withCalendar) {
        letFileTimesSettle();
        fiveMinutes(); // the first refresh after the files settled
    }
    double spent = 0;
    for (auto _ : state) {
        const double before = processCpuMs();
        fiveMinutes();
        spent += processCpuMs() - before;
    }
    state.counters["events"] = double(app.state.calendarEvents().size());
    state.counters["cpu_ms_per_minute"] = spent / 5 / double(state.iterations());
}
BENCHMARK(parkedWithRefresh)->ArgName("calendar")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Writes over more memory than the processor caches hold, as five parked
// minutes of other programs do: what the calendar keeps is cold after it.
void coolTheCaches()
{
    static std::vector<char> other(size_t(128) << 20);
    for (size_t at = 0; at < other.size(); at += 64)
        other[at] = char(other[at] + 1);
    benchmark::ClobberMemory();
}

// The five-minute refresh with nothing changed in the calendar, after the
// processor caches went cold: the CPU of the whole process, workers
// included, for one refresh.
void refreshAfterIdle(benchmark::State &state)
{
    LargeCalendarApp app(true);
    letFileTimesSettle();
    for (int pass = 0; pass < 2; ++pass) { // watched, then looked at in full
        app.state.refreshCalendarEvents();
        app.waitForEvents(false);
    }
    double spent = 0;
    for (auto _ : state) {
        state.PauseTiming();
        coolTheCaches();
        state.ResumeTiming();
        const double before = processCpuMs();
        app.state.refreshCalendarEvents();
        app.waitForEvents(false);
        spent += processCpuMs() - before;
    }
    state.counters["events"] = double(app.state.calendarEvents().size());
    state.counters["cpu_ms_per_refresh"] = spent / double(state.iterations());
}
BENCHMARK(refreshAfterIdle)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace
