#include "GalleryState.h"

#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include "model/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

struct Shared {
    test::TemporaryHome home;
    UserDefaults defaults;
    // A Tuesday morning, so the week strip, greetings and times look ordinary.
    test::ManualClock clock{QDateTime(QDate(2026, 3, 10), QTime(8, 41), Qt::UTC)};
    test::TestAppServices services{defaults, clock, home};
    AppState appState{defaults, clock, services.take(), QDir(home.dataHome()).filePath(u"Kolu"_s)};
};

Shared *instance = nullptr;

Shared &shared()
{
    if (!instance) {
        instance = new Shared;
        // Goes with the application, so the private bus's daemon and the
        // temporary home do not outlive the gallery.
        qAddPostRoutine([] {
            delete instance;
            instance = nullptr;
        });
    }
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
