#include "GalleryState.h"

#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include "model/UserDefaults.h"

#include <QDir>

#include <memory>

namespace kolu::gallery {

namespace {

struct Shared {
    test::TemporaryHome home;
    UserDefaults defaults;
    // A Tuesday morning, so the week strip, greetings and times look ordinary.
    test::ManualClock clock{QDateTime(QDate(2026, 3, 10), QTime(8, 41), Qt::UTC)};
    test::TestAppServices services{defaults, clock, home};
    AppState appState{defaults, clock, services.take(), QDir(home.dataHome()).filePath(QStringLiteral("Kolu"))};
};

Shared &shared()
{
    static auto *instance = new Shared; // lives until the process ends
    return *instance;
}

} // namespace

AppState &state()
{
    return shared().appState;
}

test::ManualClock &clock()
{
    return shared().clock;
}

} // namespace kolu::gallery
