// Kolu's entry point. The window shell is not built yet: for now the program
// brings up the core (the data folder and the settings store) and says so.
#include "model/BuildInfo.h"
#include "model/LocalStore.h"
#include "model/UserDefaults.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kolu::buildinfo::kApplicationName));
    QApplication::setApplicationVersion(QString::fromLatin1(kolu::buildinfo::kShortVersion));

    const kolu::LocalStore store;
    const kolu::UserDefaults defaults;
    QTextStream(stdout) << "Kolu " << kolu::buildinfo::kShortVersion << " (build " << kolu::buildinfo::kBuildNumber
                        << "): core ready, data folder " << store.directory()
                        << ". The rail window is not part of this build yet.\n";
    return 0;
}
