#pragma once

#include "platform/notifications/NotificationScheduler.h"
#include "services/clipboard/ClipboardService.h"
#include "services/notifications/NotificationIdentifiers.h"
#include "state/AppState.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>

#include <memory>

// Records in these tests name only the fields a case needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace kolu::test {

// A status line as the state shows it: its sentence and its tint.
using Status = std::pair<QString, StatusTint>;
inline Status weatherStatus(const AppState &s) { return {s.todayWeatherStatusMessage(), s.todayWeatherStatusTint()}; }
inline Status prayerStatus(const AppState &s) { return {s.prayerStatusMessage(), s.prayerStatusTint()}; }
inline Status wallpaperStatus(const AppState &s) { return {s.wallpaperStatusMessage(), s.wallpaperStatusTint()}; }
inline Status fileTrayStatus(const AppState &s)
{
    return {s.fileTrayAirDropStatusMessage(), s.fileTrayAirDropStatusTint()};
}

// A state on test services in a temporary home, with the layout callback counted.
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
        QObject::connect(state.get(), &AppState::chromeNeedsLayout, [this] { ++layoutCalls; });
        return state;
    }
    std::unique_ptr<AppState> makeState() { return makeState(services.take()); }

    // A state that has read its saved files, without starting it.
    std::unique_ptr<AppState> makeLoadedState()
    {
        auto state = makeState();
        state->loadSavedState();
        return state;
    }

    template<typename Condition>
    static bool waitUntil(Condition condition)
    {
        return test::waitUntil(std::move(condition));
    }

    // A file below the temporary home with `bytes` in it.
    QString makeFile(const QString &relative, const QByteArray &bytes = "x")
    {
        const QString path = home.path(relative);
        EXPECT_TRUE(test::writeFile(path, bytes));
        return path;
    }
};

} // namespace kolu::test

// The state tests read as the code they test.
using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
