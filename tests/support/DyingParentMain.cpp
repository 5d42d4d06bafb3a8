// A parent that dies while its child runs. It starts
// `sh -c 'echo $$ >pidfile; exec sleep 3600'` through the process runner and
// ends at once, without any clean-up, as soon as the pid file appears.
#include "platform/system/ProcessRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <unistd.h>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString pidFile = QString::fromLocal8Bit(argv[1]);
    kolu::SystemProcessRunner runner;
    auto task =
        runner.run(u"sh"_s, {u"-c"_s, u"echo $$ >\"$0.part\" && mv \"$0.part\" \"$0\" && exec sleep 3600"_s, pidFile},
                   std::chrono::hours(1), {});
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&pidFile] {
        if (QFile::exists(pidFile))
            ::_exit(0);
    });
    poll.start(10);
    return QCoreApplication::exec();
}
