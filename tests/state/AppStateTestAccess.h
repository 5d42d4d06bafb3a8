#pragma once

#include "services/clipboard/ClipboardService.h"
#include "state/AppState.h"

#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <memory>

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

// Reaches the launch and capture steps that only the application state
// itself calls.
class LinksAndTrayTestAccess {
public:
    static void cleanInvalidFavoriteLinks(AppState &s) { s.cleanInvalidFavoriteLinks(); }
    static void loadWebSearchProviders(AppState &s) { s.loadWebSearchProviders(); }
    static void insertLink(AppState &s, const SavedLink &link) { s.insertLink(link); }
    static void addClipboardCaptureResult(AppState &s, const ClipboardItem &item)
    {
        s.addClipboardCaptureResult(ClipboardCaptureResult{item});
    }
    static void cleanupOlderClipboardImages(AppState &s) { s.cleanupOlderClipboardImages(); }
    static void markStateFilesLoaded(AppState &s) { s.m_stateFilesLoaded = true; }
};

namespace test {

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
        state->onChromeNeedsLayout = [this] { ++layoutCalls; };
        return state;
    }
    std::unique_ptr<AppState> makeState() { return makeState(services.take()); }

    template<typename Condition>
    static bool waitUntil(Condition condition)
    {
        return test::waitUntil(std::move(condition));
    }

    // A file below the temporary home with `bytes` in it.
    QString makeFile(const QString &relative, const QByteArray &bytes = "x")
    {
        const QString path = home.path(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
};

// A state as it is once launch has read its files, without starting it.
class LinksAndTrayTest : public AppStateActionsTest {
protected:
    std::unique_ptr<AppState> makeState()
    {
        auto state = AppStateActionsTest::makeState();
        LinksAndTrayTestAccess::markStateFilesLoaded(*state);
        return state;
    }
};

} // namespace test

} // namespace kolu
