// From start to ready: Kolu (its core loaded, its state read, its tick
// running) against a minimal Qt Widgets program, each started afresh on
// every iteration in an empty home. Wall time is the benchmark's time; the
// CPU time the process used up to that moment is the "cpu_ms" counter.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// User plus system time of a running process, from /proc.
double cpuMilliseconds(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which is in parentheses.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

void startToReady(benchmark::State &state, const char *program)
{
    double cpuTotal = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            environment.insert(QString::fromLatin1(name), home.filePath(QString::fromLatin1(name)));
        QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::SeparateChannels);

        QElapsedTimer elapsed;
        elapsed.start();
        process.start(QString::fromLocal8Bit(program), {});
        // The first line on standard output says the program is ready.
        while (!process.canReadLine() && process.state() != QProcess::NotRunning)
            process.waitForReadyRead(10000);
        const double wall = double(elapsed.nsecsElapsed()) / 1e9;
        const double cpu = cpuMilliseconds(process.processId());
        if (!process.canReadLine()) {
            state.SkipWithError("the program ended before it was ready");
            break;
        }
        state.SetIterationTime(wall);
        cpuTotal += cpu;

        process.terminate();
        if (!process.waitForFinished(10000))
            process.kill();
        process.waitForFinished(10000);
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpuTotal, benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(startToReady, kolu, KOLU_PROGRAM)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(startToReady, minimalQt, KOLU_MINIMAL_QT_PROGRAM)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace
