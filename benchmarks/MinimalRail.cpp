// The yardstick for Kolu's launch, idle and memory figures: the least a Qt
// Widgets program does to show an 18 x 680 frameless window at the right
// edge of a 1440 x 900 screen and wake for the same two timers (the 1 s tick
// and the 0.35 s pointer poll). scripts/bench-shell.sh measures both.
#include "shell/FirstFrameReport.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    kolu::reportFirstFrame(u"Minimal Rail"_s);
    QWidget rail(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    rail.setWindowTitle(u"Minimal Rail"_s);
    rail.setGeometry(1422, 110, 18, 680);
    rail.show();

    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start(1000);
    QPoint last;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&last] { last = QCursor::pos(); });
    poll.start(350);
    return QApplication::exec();
}
