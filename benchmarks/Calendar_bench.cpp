// Reading a week of events from a large calendar root: 3 calendars, 5,000
// events, 200 of them weekly with exceptions and moved occurrences; and one
// event with a very long unfolded line.
#include "model/UserDefaults.h"
#include "platform/calendar/CalendarStoreWork.h"
#include "platform/calendar/VdirCalendarStore.h"
#include "services/calendar/CalendarService.h"

#include "AwaitTask.h"
#include "ManualClock.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const char *berlinZone = "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\n"
                         "TZOFFSETTO:+0200\r\nTZNAME:CEST\r\nDTSTART:19700329T020000\r\n"
                         "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\nBEGIN:STANDARD\r\n"
                         "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\nDTSTART:19701025T030000\r\n"
                         "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

QByteArray stamp(const QDateTime &moment)
{
    return moment.toString(u"yyyyMMdd'T'HHmmss"_s).toUtf8();
}

QByteArray eventFile(int index, const QDateTime &localStart, bool weekly)
{
    const QByteArray uid = "bench-" + QByteArray::number(index) + "@example.com";
    QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example//Bench//EN\r\n";
    text += berlinZone;
    text += "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Event " + QByteArray::number(index)
            + "\r\nLOCATION:Room " + QByteArray::number(index % 40)
            + "\r\nDESCRIPTION:Agenda and notes. Join https://meet.example.com/" + QByteArray::number(index)
            + "\r\nATTENDEE;CN=Ann Example:mailto:ann@example.com\r\nATTENDEE;CN=Bo Sample:mailto:bo@example.com"
              "\r\nDTSTART;TZID=Europe/Berlin:"
            + stamp(localStart) + "\r\nDTEND;TZID=Europe/Berlin:" + stamp(localStart.addSecs(3600)) + "\r\n";
    if (weekly) {
        text += "RRULE:FREQ=WEEKLY\r\n";
        for (int week : {3, 11, 40})
            text += "EXDATE;TZID=Europe/Berlin:" + stamp(localStart.addDays(7 * week)) + "\r\n";
    }
    text += "END:VEVENT\r\n";
    if (weekly) {
        const QDateTime moved = localStart.addDays(7 * 20);
        text += "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20260101T000000Z\r\nRECURRENCE-ID;TZID=Europe/Berlin:"
                + stamp(moved) + "\r\nSUMMARY:Moved\r\nDTSTART;TZID=Europe/Berlin:" + stamp(moved.addSecs(7200))
                + "\r\nDTEND;TZID=Europe/Berlin:" + stamp(moved.addSecs(10800)) + "\r\nEND:VEVENT\r\n";
    }
    text += "END:VCALENDAR\r\n";
    return text;
}

// Single events spread over 2026, weekly ones started in 2025.
void writeRoot(const QString &root)
{
    const QStringList calendars{u"home"_s, u"team"_s, u"work"_s};
    for (const QString &name : calendars)
        QDir(root).mkpath(name);
    for (int i = 0; i < 5000; ++i) {
        const bool weekly = i % 25 == 0; // 200 of them
        const QDateTime start =
            weekly ? QDateTime(QDate(2025, 6, 2).addDays(i % 7), QTime(8 + i % 9, 0))
                   : QDateTime(QDate(2026, 1, 1).addDays((i * 37) % 365), QTime(7 + i % 12, (i % 4) * 15));
        QFile file(QDir(root).filePath(QString(calendars[i % 3] + u"/event-" + QString::number(i) + u".ics")));
        if (file.open(QIODevice::WriteOnly))
            file.write(eventFile(i, start, weekly));
    }
}

void reportPeakMemory(benchmark::State &state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void upcomingWeek(benchmark::State &state)
{
    QTemporaryDir root;
    writeRoot(root.path());
    // The same calendar for another program to be timed against (see scripts/bench.sh).
    if (const QString copy = qEnvironmentVariable("KOLU_BENCH_CALENDAR_COPY"); !copy.isEmpty() && !QDir(copy).exists())
        writeRoot(copy);
    QTemporaryDir config;
    UserDefaults defaults(config.filePath(u"defaults.json"_s));
    defaults.set(SettingsKey::calendarFolderPath, root.path());
    const QTimeZone berlin("Europe/Berlin");
    test::ManualClock clock(QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC));
    VdirCalendarStore store(defaults, config.path(), berlin);
    CalendarService service(store, clock, berlin);
    size_t count = 0;
    for (auto _ : state) {
        const auto events = test::awaitTask(service.eventsForUpcomingDays(7), std::chrono::seconds(60));
        count = events->size();
        benchmark::DoNotOptimize(events);
    }
    state.counters["events"] = static_cast<double>(count);
    reportPeakMemory(state);
}
BENCHMARK(upcomingWeek)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// One event whose 4 MB description was written as a single unfolded line.
void longUnfoldedLine(benchmark::State &state)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath(u"notes"_s);
    QByteArray description;
    while (description.size() < 4 * 1000 * 1000)
        description += "Minutes of the meeting\\, with decisions\\; and follow-ups. ";
    QFile file(root.filePath(u"notes/minutes.ics"_s));
    if (file.open(QIODevice::WriteOnly))
        file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:minutes\r\nDTSTART:20260303T090000Z\r\n"
                   "DTEND:20260303T100000Z\r\nSUMMARY:Minutes\r\nDESCRIPTION:"
                   + description + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    file.close();
    const QTimeZone berlin("Europe/Berlin");
    const QDateTime from(QDate(2026, 3, 2), QTime(0, 0), Qt::UTC);
    size_t count = 0;
    for (auto _ : state) {
        const auto events = loadEvents(root.path(), from, from.addDays(7), berlin);
        count = events->size();
        benchmark::DoNotOptimize(events);
    }
    state.counters["events"] = static_cast<double>(count);
}
BENCHMARK(longUnfoldedLine)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
