// Entry point of the test executables that need no display.
#include <QCoreApplication>

#include "PostTestDrain.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    kolu::test::installPostTestDrain();
    return RUN_ALL_TESTS();
}
