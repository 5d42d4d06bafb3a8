// Kolu's entry point. The window shell is not built yet: the program runs
// Kolu's core without a window (it loads and saves its state, refreshes the
// modules' data, raises alerts as desktop notifications) until it is asked to
// quit, and then saves its state.
#include "model/BuildInfo.h"
#include "model/UserDefaults.h"
#include "platform/desktop/FolderPicker.h"
#include "platform/system/QuitSignals.h"
#include "state/AppServices.h"
#include "state/AppState.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kolu::buildinfo::kApplicationName));
    QApplication::setApplicationVersion(QString::fromLatin1(kolu::buildinfo::kShortVersion));
    QApplication::setQuitOnLastWindowClosed(false);

    kolu::UserDefaults defaults;
    kolu::Clock &clock = kolu::SystemClock::instance();
    kolu::AppState state(defaults, clock,
                         kolu::AppServices::createDefault(defaults, clock, nullptr, [] { QApplication::beep(); }));

    kolu::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &kolu::QuitSignals::quitRequested, &app, &QApplication::quit);
    QObject::connect(&app, &QApplication::aboutToQuit, &state, &kolu::AppState::persist);

    state.start();
    QTextStream(stdout) << "Kolu " << kolu::buildinfo::kShortVersion << " (build " << kolu::buildinfo::kBuildNumber
                        << ") is running without its window, which is not part of this build yet. Data: "
                        << state.store().directory() << ". Press Ctrl+C to save and quit.\n";
    return QApplication::exec();
}
