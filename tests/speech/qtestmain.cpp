#include <QApplication>

#include <gtest/gtest.h>

// GoogleTest with a QApplication, for tests of windows and of the event loop. Without a
// platform named, the windows stay off screen.
int main(int argc, char *argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
