// The yardstick for Kolu's start-up: a Qt Widgets program that does nothing
// but start and say that it is ready.
#include <QApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream(stdout) << "ready\n";
    return QApplication::exec();
}
