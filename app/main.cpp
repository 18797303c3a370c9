// Quorinimage: the laser-show contour editor.
#include <QApplication>
#include <QTimer>

#include "app/application.h"
#include "window/recovery.h"

int Quorinimage(int argc, char** argv) {
    QApplication application(argc, argv);
    app::SetUpApplication(application);
    const auto windows = app::CreateWindows();
    windows->BaseForm->show();
    // Once the window is up: offer what an editor that did not close left behind, then keep
    // a copy of this one's unsaved work.
    QTimer::singleShot(0, windows->BaseForm.get(), [&windows] {
        editor::TBaseForm& form = *windows->BaseForm;
        auto keeper = std::make_unique<editor::RecoveryKeeper>(
            form, std::make_unique<editor::RecoveryStore>(editor::DefaultRecoveryFolder()));
        keeper->Start();
        form.KeepRecovery(std::move(keeper));
    });
    return QApplication::exec();
}

int main(int argc, char** argv) {
    return Quorinimage(argc, argv);
}
