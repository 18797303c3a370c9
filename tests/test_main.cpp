// Test entry: one QApplication for every test, on the offscreen platform unless told otherwise,
// in the C locale, so that the system's texts in the messages read the same on every machine
// (the programs the tests start inherit it).
#include <gtest/gtest.h>

#include <QApplication>

#include "app/application.h"

int main(int argc, char** argv) {
    qputenv("LC_ALL", "C");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    app::SetUpApplication(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
