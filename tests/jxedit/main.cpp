#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Grid layouts are kept in the user's settings; keep the tests' own apart.
    QTemporaryDir settings;
    setenv("XDG_CONFIG_HOME", settings.path().toUtf8().constData(), 1);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("jx-tests"));
    QApplication::setApplicationName(QStringLiteral("jxedit_tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
