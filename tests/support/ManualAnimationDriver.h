#pragma once

#include <QAnimationDriver>
#include <QCoreApplication>

#include <algorithm>

namespace kolu::test {

// Drives every Qt animation of the process from the test instead of the wall
// clock while it is installed: advanceBy() moves animation time forward and
// lets each running animation take its step.
class ManualAnimationDriver : public QAnimationDriver {
public:
    ManualAnimationDriver() { install(); }
    ~ManualAnimationDriver() override { uninstall(); }

    void advanceBy(qint64 ms)
    {
        // Small steps, as frames would come. Animations started since the
        // last step join on a later pass of the event loop, so each step
        // lets posted events run first.
        while (ms > 0) {
            QCoreApplication::processEvents();
            const qint64 step = std::min<qint64>(ms, 16);
            m_elapsed += step;
            ms -= step;
            advance();
        }
    }

    qint64 elapsed() const override { return m_elapsed; }

private:
    qint64 m_elapsed = 0;
};

} // namespace kolu::test
