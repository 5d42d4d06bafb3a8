#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>

namespace kolu::test {

// Runs the event loop until `done` holds or `limit` of real time has passed,
// for collaborators that answer at their own pace (another process, a bus).
inline bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < limit.count()) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

} // namespace kolu::test
