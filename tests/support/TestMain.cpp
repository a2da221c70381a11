#ifdef PARLINO_TEST_GUI
#include <QApplication>
#endif
#include <QCoreApplication>

#include <gtest/gtest.h>

// One application object for the whole test binary; widget tests get QApplication on the offscreen platform.
int main(int argc, char** argv)
{
#ifdef PARLINO_TEST_GUI
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
