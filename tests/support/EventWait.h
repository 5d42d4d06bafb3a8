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
inline bool waitUntil(const std::function<bool()> &done,
                      std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < limit.count()) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
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

} // namespace kolu::test
