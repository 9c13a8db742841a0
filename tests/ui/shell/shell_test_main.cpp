#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

// The dialogs need an application object for the whole run; with no display named, they are
// drawn offscreen, also while CTest lists the tests.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
