// Entry point of the test executables that need an X server of their own
// with no other test's windows or pointer on it: starts Xvfb (a free display
// number picked by the server), points the application at it and stops it
// at the end. Listing the tests starts nothing.
#include <QApplication>
#include <QProcess>

#include "PostTestDrain.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
            return RUN_ALL_TESTS();

    QProcess server;
    server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                          QStringLiteral("tcp"), QStringLiteral("-noreset"), QStringLiteral("-screen"),
                                          QStringLiteral("0"), QStringLiteral("1024x768x24")});
    QByteArray number;
    while (server.waitForReadyRead(20000)) {
        number += server.readAllStandardOutput();
        if (number.contains('\n'))
            break;
    }
    number = number.trimmed();
    if (number.isEmpty()) {
        fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    qputenv("DISPLAY", ":" + number);
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication app(argc, argv);
        kolu::test::installPostTestDrain();
        result = RUN_ALL_TESTS();
    }
    server.kill();
    server.waitForFinished(5000);
    return result;
}
