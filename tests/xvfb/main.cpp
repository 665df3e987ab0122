// Test main for the real-window tests: a GUI application on the X display xvfb-run provides, so
// that the screen can be read back.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // The tests look at a real X screen; an inherited offscreen setting would make them blind.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
