// Test entry: one QApplication for every test, on the offscreen platform unless told otherwise,
// in the C locale, so that the system's texts in the messages read the same on every machine
// (the programs the tests start inherit it), and so in Russian, the program's own language,
// with Qt's Russian texts, as the program starts on such a system.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/application.h"
#include "app/language.h"

int main(int argc, char** argv) {
    qputenv("LC_ALL", "C");
    // LANGUAGE would name a language even in the C locale.
    qunsetenv("LANGUAGE");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    app::SetUpApplication(application);
    app::UseLanguage(editor::Language::Russian);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
