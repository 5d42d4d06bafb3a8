// A calendar that floods: one 1.9 MB file of 12,000 events that each repeat
// every minute, beside one ordinary event two hours ahead. The upcoming
// week read from it: its time (and of that, the parsing), the process's
// peak memory, how many occurrences came back, and whether the ordinary
// event is among them.
// Aim: the week in 5 s or less, peaking at 300 MB or less, with the
// ordinary event listed.
//
// Rules that list every second, read the same way: one yearly series with
// every month, day, hour, minute and second listed (one), 1,000 of those
// beside 8,000 minutely series listing every second (3.4 MB, many), and
// about 27,000 minutely series in one 4 MB file (large).
// Aim: each within 10 s, peaking at 300 MB or less, with the ordinary
// event listed.
//
// Two more read the same way: one 1.1 MB file holding a line of 20,000
// parameters in a daily event (parameters), and 1,000 files of one minutely
// series each (files). Aim: the ordinary event listed within 5 s, and
// within 3 s beside the thousand files.
//
// The same line of 20,000 parameters behind an escaped quote
// (X-A;Q=a\"b;P0=...), which a reader that takes every quote as one
// counts as a single parameter: on an unknown property (escaped), on
// LOCATION (escapedLocation), and after a TZID parameter that ends at the
// colon, where the parser goes on reading parameters in the value
// (zoneValue). Aim: the ordinary event listed within 5 s. And the escaped
// line in a to-do beside an ordinary to-do (escapedTodo), the open to-dos
// read the same way. Aim: the ordinary to-do listed within 5 s.
//
// Each kind is also read once more and stopped half way through, as quitting
// stops it: stop_ms is how long that read took to end after the stop (aim:
// well under the 2 s a quit may take).
#include "platform/calendar/CalendarFileCache.h"
#include "platform/calendar/CalendarStoreWork.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <stop_token>
#include <thread>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

constexpr int kFloodingEvents = 12'000;

double peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QByteArray utcStamp(const QDateTime &moment)
{
    return moment.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s).toLatin1();
}

void writeOrdinaryEvent(const QString &root, const QDateTime &now)
{
    const QDateTime meeting = now.addSecs(2 * 3600);
    QFile ordinary(QDir(root).filePath(u"home/meeting.ics"_s));
    if (ordinary.open(QIODevice::WriteOnly))
        ordinary.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//flood//EN\r\nBEGIN:VEVENT\r\n"
                       "UID:meeting@example.com\r\nDTSTAMP:"
                       + utcStamp(meeting) + "\r\nDTSTART:" + utcStamp(meeting)
                       + "\r\nDURATION:PT1H\r\nSUMMARY:Planning\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
}

void writeFloodingCalendar(const QString &root, const QDateTime &now)
{
    QDir(root).mkpath(u"home"_s);
    QByteArray flood = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//flood//EN\r\n";
    for (int i = 0; i < kFloodingEvents; ++i) {
        const QDateTime start = now.addDays(-3).addSecs(i % 60);
        flood += "BEGIN:VEVENT\r\nUID:flood-" + QByteArray::number(i) + "@example.com\r\nDTSTAMP:" + utcStamp(start)
                 + "\r\nDTSTART:" + utcStamp(start) + "\r\nDTEND:" + utcStamp(start.addSecs(30))
                 + "\r\nRRULE:FREQ=MINUTELY\r\nSUMMARY:Tick " + QByteArray::number(i) + "\r\nEND:VEVENT\r\n";
    }
    flood += "END:VCALENDAR\r\n";
    QFile floodFile(QDir(root).filePath(u"home/flood.ics"_s));
    if (floodFile.open(QIODevice::WriteOnly))
        floodFile.write(flood);
    writeOrdinaryEvent(root, now);
}

QByteArray everyValue(int first, int last)
{
    QByteArrayList values;
    for (int value = first; value <= last; ++value)
        values.push_back(QByteArray::number(value));
    return values.join(',');
}

enum class Hostile { one, many, large, parameters, files, escaped, escapedLocation, zoneValue, escapedTodo };

// A line of 20,000 parameters that each hold 48 bytes, after `head`.
QByteArray parameterFlood(const QByteArray &head, const QByteArray &end)
{
    QByteArray line = head;
    for (int i = 0; i < 20'000; ++i)
        line += ";P" + QByteArray::number(i) + "=" + QByteArray(48, 'v');
    return line + end + "\r\n";
}

// The hostile file in a calendar of its own, read before the ordinary one.
void writeHostileCalendar(const QString &root, const QDateTime &now, Hostile kind)
{
    QDir(root).mkpath(u"a-flood"_s);
    QDir(root).mkpath(u"home"_s);
    const QByteArray yearly = "FREQ=YEARLY;BYMONTH=" + everyValue(1, 12) + ";BYMONTHDAY=" + everyValue(1, 31)
                              + ";BYHOUR=" + everyValue(0, 23) + ";BYMINUTE=" + everyValue(0, 59)
                              + ";BYSECOND=" + everyValue(0, 59);
    const QByteArray minutely = "FREQ=MINUTELY;BYSECOND=" + everyValue(0, 59);
    const QByteArray start = utcStamp(now.addYears(-1));
    const auto series = [&](const QByteArray &uid, const QByteArray &rule) -> QByteArray {
        return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:" + start + "\r\nDTSTART:" + start
               + "\r\nDURATION:PT30S\r\nSUMMARY:" + uid + "\r\nRRULE:" + rule + "\r\nEND:VEVENT\r\n";
    };
    QByteArray flood = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//flood//EN\r\n";
    if (kind == Hostile::files) {
        for (int i = 0; i < 1000; ++i) {
            QFile file(QDir(root).filePath(u"a-flood/tick-%1.ics"_s.arg(i)));
            if (file.open(QIODevice::WriteOnly))
                file.write(flood + series("tick-" + QByteArray::number(i), "FREQ=MINUTELY") + "END:VCALENDAR\r\n");
        }
        writeOrdinaryEvent(root, now);
        return;
    }
    const auto dailyWith = [&](const QByteArray &line) -> QByteArray {
        return "BEGIN:VEVENT\r\nUID:parameters\r\nDTSTAMP:" + start + "\r\nDTSTART:" + start
               + "\r\nDURATION:PT30M\r\nRRULE:FREQ=DAILY\r\n" + line + "END:VEVENT\r\n";
    };
    if (kind == Hostile::parameters) {
        flood += dailyWith(parameterFlood("X-A", ":x"));
    } else if (kind == Hostile::escaped) {
        flood += dailyWith(parameterFlood("X-A;Q=a\\\"b", ":x"));
    } else if (kind == Hostile::escapedLocation) {
        flood += dailyWith(parameterFlood("LOCATION;Q=a\\\"b", ":x"));
    } else if (kind == Hostile::zoneValue) {
        flood += dailyWith(parameterFlood("X-A;TZID=Europe/Berlin:", ":x"));
    } else if (kind == Hostile::escapedTodo) {
        flood += "BEGIN:VTODO\r\nUID:parameters\r\nDTSTAMP:" + start + "\r\nSUMMARY:Flood\r\n"
                 + parameterFlood("X-A;Q=a\\\"b", ":x") + "END:VTODO\r\n";
    } else if (kind == Hostile::large) {
        for (int i = 0; flood.size() < 4 * 1000 * 1000 - 200; ++i)
            flood += series("tick-" + QByteArray::number(i), "FREQ=MINUTELY");
    } else {
        for (int i = 0; i < (kind == Hostile::one ? 1 : 1000); ++i)
            flood += series("yearly-" + QByteArray::number(i), yearly);
        for (int i = 0; kind == Hostile::many && i < 8000; ++i)
            flood += series("minutely-" + QByteArray::number(i), minutely);
    }
    QFile file(QDir(root).filePath(u"a-flood/flood.ics"_s));
    if (file.open(QIODevice::WriteOnly))
        file.write(flood + "END:VCALENDAR\r\n");
    writeOrdinaryEvent(root, now);
    QFile todo(QDir(root).filePath(u"home/errand.ics"_s));
    if (todo.open(QIODevice::WriteOnly))
        todo.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//flood//EN\r\nBEGIN:VTODO\r\n"
                   "UID:errand@example.com\r\nDTSTAMP:"
                   + start + "\r\nSUMMARY:Errand\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
}

// One week read from a fresh cache, as the program's first refresh reads it,
// noted in the run's counters: the time it took, what it listed and whether
// the ordinary event was among it.
void readWeekOnce(benchmark::State &state, const QString &root, const QDateTime &now, double &seconds)
{
    CalendarFileCache cache;
    QElapsedTimer timer;
    timer.start();
    const StoredEventList week = loadEvents(root, now, now.addDays(7), QTimeZone::utc(), &cache);
    seconds += double(timer.nsecsElapsed()) / 1e9;
    state.counters["events"] = double(week->size());
    state.counters["ordinary_listed"] =
        std::any_of(week->begin(), week->end(),
                    [](const StoredEvent &event) { return event.seriesId == u"meeting@example.com"_s; })
            ? 1
            : 0;
}

void readFloodingWeek(benchmark::State &state)
{
    QTemporaryDir root;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    writeFloodingCalendar(root.path(), now);
    double seconds = 0;
    double parseSeconds = 0;
    double peakMb = 0; // before the parsing is measured apart
    for (auto _ : state) {
        readWeekOnce(state, root.path(), now, seconds);
        peakMb = peakMemoryMb();
        // The parsing alone, as the to-dos of the same folder read it.
        CalendarFileCache parseOnly;
        QElapsedTimer timer;
        timer.start();
        loadOpenTodos(root.path(), QTimeZone::utc(), &parseOnly);
        parseSeconds += double(timer.nsecsElapsed()) / 1e9;
    }
    state.counters["seconds"] = seconds / double(state.iterations());
    state.counters["parse_seconds"] = parseSeconds / double(state.iterations());
    state.counters["peak_mb"] = peakMb;
}
BENCHMARK(readFloodingWeek)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The week read once from a fresh cache; run each kind in a process of its
// own (--benchmark_filter) for its own peak.
// The open to-dos read once from a fresh cache, noted as readWeekOnce notes
// the week.
void readTodosOnce(benchmark::State &state, const QString &root, double &seconds)
{
    CalendarFileCache cache;
    QElapsedTimer timer;
    timer.start();
    const std::vector<ReminderItem> todos = loadOpenTodos(root, QTimeZone::utc(), &cache);
    seconds += double(timer.nsecsElapsed()) / 1e9;
    state.counters["todos"] = double(todos.size());
    state.counters["ordinary_listed"] =
        std::any_of(todos.begin(), todos.end(), [](const ReminderItem &todo) { return todo.title == u"Errand"_s; }) ? 1
                                                                                                                    : 0;
}

void readHostileWeek(benchmark::State &state)
{
    QTemporaryDir root;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const Hostile kind = Hostile(state.range(0));
    writeHostileCalendar(root.path(), now, kind);
    double seconds = 0;
    for (auto _ : state) {
        if (kind == Hostile::escapedTodo)
            readTodosOnce(state, root.path(), seconds);
        else
            readWeekOnce(state, root.path(), now, seconds);
    }
    state.counters["seconds"] = seconds / double(state.iterations());
    state.counters["peak_mb"] = peakMemoryMb();

    // Read again from a fresh cache, stopped half way.
    CalendarFileCache cache;
    std::stop_source quitting;
    QElapsedTimer sinceStop;
    std::thread read([&] {
        if (kind == Hostile::escapedTodo)
            loadOpenTodos(root.path(), QTimeZone::utc(), &cache, quitting.get_token());
        else
            loadEvents(root.path(), now, now.addDays(7), QTimeZone::utc(), &cache,
                       {kMaxOccurrencesPerRead, quitting.get_token()});
    });
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds / double(state.iterations()) / 2));
    sinceStop.start();
    quitting.request_stop();
    read.join();
    state.counters["stop_ms"] = double(sinceStop.nsecsElapsed()) / 1e6;
}
BENCHMARK(readHostileWeek)
    ->ArgName("one_many_large_parameters_files_escaped_escapedLocation_zoneValue_escapedTodo")
    ->DenseRange(int(Hostile::one), int(Hostile::escapedTodo))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
