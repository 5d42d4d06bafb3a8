#pragma once

#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <memory>
#include <vector>

namespace kolu {

// Reaches the members the tick and the launch call, and the alert engine's
// bookkeeping, so each can be tested on its own.
class AppStateTestAccess {
public:
    static void checkRemoteMessageIfNeeded(AppState &state, bool force) { state.checkRemoteMessageIfNeeded(force); }
    static void refreshNowPlayingIfNeeded(AppState &state) { state.refreshNowPlayingIfNeeded(); }
    static bool nowPlayingRefreshInFlight(const AppState &state) { return state.m_nowPlayingRefreshInFlight; }
    static QSet<QString> &firedReminderAlertKeys(AppState &state) { return state.m_firedReminderAlertKeys; }
    static QHash<QString, QDateTime> &snoozedReminderDates(AppState &state) { return state.m_snoozedReminderDates; }
};

namespace test {

// Lets queued work (worker threads, the private bus, the local server) come
// back; bounded, so something that never answers fails the test.
template<typename Condition>
bool waitUntil(Condition condition, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

// A state on test services, with the layout callback counted.
class AppStateActionsTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    TestAppServices services{defaults, clock, home};
    int layoutCalls = 0;

    std::unique_ptr<AppState> makeState(AppServices appServices)
    {
        auto state = std::make_unique<AppState>(defaults, clock, std::move(appServices));
        state->onChromeNeedsLayout = [this] { ++layoutCalls; };
        return state;
    }
    std::unique_ptr<AppState> makeState() { return makeState(services.take()); }
};

} // namespace test

} // namespace kolu
