// The one-second tick with a full state: a week of events, a day of prayers,
// a dozen reminders, a full clipboard history and a running focus timer. The
// tick runs on the main thread every second, so it must stay far below a
// frame; ticks with nothing to save must not touch the disk.
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <benchmark/benchmark.h>

#include <QDir>

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

void fill(AppState &state, const QDateTime &now, bool focusRunning)
{
    std::vector<ClipboardItem> clips;
    for (int i = 0; i < 40; ++i) {
        ClipboardItem item;
        item.id = QUuid::createUuid();
        item.kind = ClipboardItemKind::text;
        item.title = u"copied text %1"_s.arg(i);
        item.value = item.title;
        item.dateAdded = now.addSecs(-60 * i);
        clips.push_back(item);
    }
    state.setClipboardItems(clips);

    std::vector<CalendarEvent> events;
    for (int i = 0; i < 200; ++i) {
        const QDateTime start = now.addSecs(3600 + 50 * 60 * i);
        events.push_back(CalendarEvent{
            u"event-%1"_s.arg(i), u"Meeting %1"_s.arg(i), start, start.addSecs(1800), {}, {}, {u"AB"_s, u"CD"_s}});
    }
    state.setCalendarEvents(events);

    PrayerDay day{u"2026-03-14"_s, u"Makkah"_s, u"Saudi Arabia"_s, 4, now, {}};
    for (PrayerName name : allCases<PrayerName>())
        day.times.push_back(PrayerTime{name, now.addSecs(7200 * (int(name) + 1)), true});
    state.setPrayerDay(day);

    std::vector<ReminderItem> reminders;
    for (int i = 0; i < 12; ++i) {
        ReminderItem reminder;
        reminder.id = u"reminder-%1"_s.arg(i);
        reminder.title = u"Reminder %1"_s.arg(i);
        reminder.dueDate = now.addSecs(5400 * (i + 1));
        reminder.includesTime = true;
        reminders.push_back(reminder);
    }
    state.setReminders(reminders);

    if (focusRunning) {
        state.mutate<AppState::Field::pomodoro>([&](PomodoroState &p) {
            p.focusDuration = 86400;
            p.remaining = 86400;
            p.isRunning = true;
            p.startedAt = now;
        });
    }
}

void runTicks(benchmark::State &bench, bool focusRunning)
{
    test::TemporaryHome home;
    test::ManualClock clock;
    UserDefaults defaults;
    test::TestAppServices services{defaults, clock, home};
    AppState state(defaults, clock, services.take());
    state.start();
    fill(state, clock.now(), focusRunning);
    clock.advance(2s); // past the start-up refresh

    QDir data(state.store().directory());
    for (const QString &name : data.entryList(QDir::Files))
        data.remove(name);
    qint64 ticks = 0;
    for (auto _ : bench) {
        clock.advance(1s);
        ++ticks;
    }
    bench.counters["files_after_run"] = benchmark::Counter(double(data.entryList(QDir::Files).size()));
    bench.counters["ticks"] = benchmark::Counter(double(ticks));
}

void tickWithRunningFocusTimer(benchmark::State &bench)
{
    runTicks(bench, true);
}
BENCHMARK(tickWithRunningFocusTimer)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// Nothing changes that needs saving: no file may appear.
void tickWithNothingToSave(benchmark::State &bench)
{
    runTicks(bench, false);
}
BENCHMARK(tickWithNothingToSave)->Unit(benchmark::kMicrosecond)->Iterations(2000);

} // namespace
