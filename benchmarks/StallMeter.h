#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace kolu::bench {

// The main thread's longest stall while the meter lives: a zero timer runs
// once per pass of the event loop, and the longest gap between its runs is
// the stall.
class StallMeter {
public:
    StallMeter()
    {
        m_pulse.setInterval(0);
        QObject::connect(&m_pulse, &QTimer::timeout, [this] { note(); });
        m_pulse.start();
        m_sinceLast.start();
    }

    // The longest gap so far, the one still open included.
    double longestMs()
    {
        note();
        return m_longest;
    }

private:
    void note()
    {
        m_longest = std::max(m_longest, double(m_sinceLast.nsecsElapsed()) / 1e6);
        m_sinceLast.restart();
    }

    QElapsedTimer m_sinceLast;
    double m_longest = 0;
    QTimer m_pulse;
};

} // namespace kolu::bench
