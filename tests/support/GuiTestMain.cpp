// Entry point of the test executables that use the clipboard, widgets or
// other parts that need a display (Xvfb in CI, offscreen when none is set).
#include <QApplication>

#include "PostTestDrain.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kolu::test::installPostTestDrain();
    return RUN_ALL_TESTS();
}
