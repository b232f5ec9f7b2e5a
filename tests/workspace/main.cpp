#include "console/startup/RuntimeClasses.h"

#include "controls/ControlClasses.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the console program does at its start.
    jx::RegisterRuntimeClasses();
    qvcontrols::registerControlClasses();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
