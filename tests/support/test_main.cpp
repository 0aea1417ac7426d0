// Runs the tests of one test program inside the program's application object on the offscreen
// platform (unless the environment asks for another one).
#include "platform/QtUiApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QtUiApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
