#pragma once

#include "services/ClipboardService.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <functional>
#include <memory>

namespace kolu {

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

class LinksAndTrayTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    TestAppServices services{defaults, clock, home};
    int layoutCalls = 0;

    std::unique_ptr<AppState> makeState()
    {
        auto state = std::make_unique<AppState>(defaults, clock, services.take());
        state->onChromeNeedsLayout = [this] { ++layoutCalls; };
        LinksAndTrayTestAccess::markStateFilesLoaded(*state);
        return state;
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

    // Runs the event loop until `done` holds; a bounded wait for work that
    // another thread does.
    static bool waitUntil(const std::function<bool()> &done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.hasExpired(10'000))
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
};

} // namespace test
} // namespace kolu
