#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <chrono>
#include <functional>

namespace kolu::test {

// Runs the event loop until `done` holds, for another process (X server,
// window manager, D-Bus peer, GStreamer) that answers at its own pace. The
// bound only turns a hang into a failure.
inline bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    QElapsedTimer elapsed;
    elapsed.start();
    // Asked once a round and answered with what it said last: a condition
    // that counts (the same picture several looks in a row) would otherwise
    // be asked once more after it held, and could say no to a new look.
    bool met = done();
    while (!met && elapsed.elapsed() < limit.count()) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
        met = done();
    }
    return met;
}

// Starts `program` and returns the first line it prints, empty when none
// came within a real-time bound: the address or display a daemon announces.
// Blocking, so it works before any application object exists.
inline QByteArray startAndReadLine(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.start(program, arguments);
    while (!process.canReadLine() && process.waitForReadyRead(20000)) { }
    return process.readLine().trimmed();
}

// Asks `process` to end, kills it when it does not, and waits for it (bounded).
inline void endProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}

// Runs a tool in `environment` to its end (bounded) and returns what it printed.
inline QString runToEnd(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000))
        endProcess(tool);
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

} // namespace kolu::test
